#!/usr/bin/env bash
# Idle times and the pointer against xdotool's synthetic input: a move resets the motion and
# any-input times but not the key time, a key press resets the key time, our own warp resets
# none of them, and the pointer reads back where it is, in points, with its buttons.
source "$(dirname "$0")/lib.sh"
start_desktop
open_xterm e2e-keys 80x24+100+150 >/dev/null

idle_over() { jq -e --argjson s "$1" '.idle.any > $s' <<<"$(probe)"; }
wait_for 5 "a second without input" idle_over 1

start_watch
reading=$(last_reading)
jq -e '.idle.key > 0.9 and .idle.mouse > 0.9' <<<"$reading" >/dev/null ||
    fail "key and motion times should start at the last input: $(jq -c .idle <<<"$reading")"

# An absolute xdotool move is a warp, which the server reports as no motion at all; the relative
# step is motion through the (XTest) pointer device, as a real mouse's would be.
xdotool mousemove 40 50 mousemove_relative 10 10
moved() { jq -e '.idle.mouse < 0.5 and .idle.any < 0.5' <<<"$(last_reading)"; }
wait_for 5 "the motion time resets after a pointer move" moved
reading=$(last_reading)
jq -e '.idle.key > 0.9' <<<"$reading" >/dev/null ||
    fail "a pointer move reset the key time: $(jq -c .idle <<<"$reading")"
jq -e '.pointer.x == 50 and .pointer.y == 1020' <<<"$reading" >/dev/null ||
    fail "pointer at 50,60 px should read 50,1020 pt: $(jq -c .pointer <<<"$reading")"
echo "ok: pointer move resets motion and any-input idle, not key idle"

xdotool key a
keyed() { jq -e '.idle.key < 0.5 and .idle.any < 0.5' <<<"$(last_reading)"; }
wait_for 5 "the key time resets after a key press" keyed
echo "ok: key press resets key idle"

xdotool mousedown 1
pressed() { jq -e '.pointer.buttons == 256' <<<"$(last_reading)"; }
wait_for 5 "the left button reads as pressed" pressed
xdotool mouseup 1
released() { jq -e '.pointer.buttons == 0' <<<"$(last_reading)"; }
wait_for 5 "the left button reads as released" released
echo "ok: buttons"

# Our own warp: the X server counts it as input, the backend must not.
wait_for 5 "half a second without input" idle_over 0.6
reading=$(probe --warp 300,300)
jq -e '.idle.any >= 0.6 and .idle.mouse >= 0.6' <<<"$reading" >/dev/null ||
    fail "our own warp counted as input: $(jq -c .idle <<<"$reading")"
jq -e '.pointer.x == 300 and .pointer.y == 300' <<<"$reading" >/dev/null ||
    fail "warp to 300,300 pt landed at $(jq -c .pointer <<<"$reading")"
[ "$(xdotool getmouselocation --shell | head -2 | tr '\n' ' ')" = "X=300 Y=780 " ] ||
    fail "warp to 300,300 pt should put the pointer at 300,780 px: $(xdotool getmouselocation)"
echo "ok: our warp is not user input and lands in the right place"
