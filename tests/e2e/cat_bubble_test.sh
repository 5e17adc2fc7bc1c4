#!/usr/bin/env bash
# The letter bubble as it opens and closes: it grows from 0.6 and fades in over several frames
# at the display rate, then rests (its transition clock stops); its tail hangs from the bottom
# edge with no gap and no border across it, clear of the cat; it shrinks away when read.
# Screenshots go to $E2E_SCREENS (default /work/screens) when that folder can be made.
source "$(dirname "$0")/cat_lib.sh"
SCREENS=${E2E_SCREENS:-/work/screens}
mkdir -p "$SCREENS" 2>/dev/null || SCREENS=""

start_desktop
xdotool mousemove 1500 200
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
state_has() { cat_state | jq -e "$@" >/dev/null; }
view() { widget CatView | jq -c .automation; }
ask '{"cmd":"deliver","text":"Time for a walk 🐾"}' >/dev/null
wait_for 90 "the cat comes back carrying the letter" state_has '.carrying == true and .kind == "idle"'

read -r cat_x cat_y <<<"$(cat_body_point)"
xdotool mousemove "$cat_x" "$cat_y"
sleep 0.3
xdotool click 1
wait_for 5 "the letter opens" state_has '.kind == "reading" and .reading != null'
view_is() { view | jq -e "$@" >/dev/null; }
wait_for 5 "the bubble has grown" view_is '.transition == "open" and .transitioning == false'
opened=$(view)
# Its first frame is the small, clear bubble; it grows and fades in without stepping back, over
# several frames, to its full size.
jq -e '.frames[0] | .[1] >= 0.6 and .[1] < 0.7 and .[2] < 0.2' <<<"$opened" >/dev/null ||
    fail "the bubble's first frame is not small and clear: $(jq -c '.frames[0]' <<<"$opened")"
jq -e '[.frames[] | .[1]] | . == sort' <<<"$opened" >/dev/null ||
    fail "the bubble's scale stepped back: $(jq -c '[.frames[] | .[1]]' <<<"$opened")"
jq -e '(.frames | length) >= 8 and .frames[-1][1] == 1 and .frames[-1][2] == 1 and
       .bubbleScale == 1 and .bubbleOpacity == 1' <<<"$opened" >/dev/null ||
    fail "the bubble did not grow in steps to full size: $opened"
echo "ok: the bubble grew from $(jq '.frames[0][1]' <<<"$opened") at opacity $(jq '.frames[0][2]' <<<"$opened") to 1 in $(jq '.frames | length' <<<"$opened") frames over $(jq '.frames[-1][0]' <<<"$opened") s"
sleep 0.5
jq -e '.transitioning == false' <<<"$(view)" >/dev/null || fail "the transition clock runs on"

# The tail, in a screenshot: straight down its middle from inside the bubble to its tip there
# is paper only (no ink border across it, no clear gap), then its ink outline at the tip.
bubble=$(widget LetterBubble)
bx=$(jq '.x | round' <<<"$bubble")
by=$(jq '.y | round' <<<"$bubble")
bw=$(jq '.width | round' <<<"$bubble")
bh=$(jq '.height | round' <<<"$bubble")
tail=$(cat_state | jq '[.x, .panel[0] + .panel[2] / 2] | .[0] - .[1] | if . > 95 then 95 elif . < -95 then -95 else . end | round')
column=$((bx + bw / 2 + tail))
# From 12 points above the bubble's edge (inside its bottom padding) to the widget's bottom: the
# edge lies 25 points above that (the tail's reach with its shadow).
import -window root -crop "1x37+${column}+$((by + bh - 37))" +repage "$E2E_TMP/tail.png"
[ -n "$SCREENS" ] && import -window root -crop "$((bw + 40))x$((bh + 120))+$((bx - 20))+$((by - 10))" +repage "$SCREENS/bubble_tail.png"
# One word a row, top down: paper is light, the ink outline dark, anything else (the desktop
# through a gap) other.
convert "$E2E_TMP/tail.png" -depth 8 -colorspace sRGB txt:- | sed -n 's/^[0-9]*,[0-9]*: *(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' |
    awk '{ s = $1 + $2 + $3; print (s > 660 ? "light" : s < 240 ? "dark" : "other") }' >"$E2E_TMP/tail.txt"
[ "$(wc -l <"$E2E_TMP/tail.txt")" = 37 ] || fail "could not read the tail's column: $(wc -l <"$E2E_TMP/tail.txt") rows"
# Paper from inside the bubble across its edge down to the tail's outline near the tip (20
# points below the edge, so row 32 of 37); then the outline and its shadow.
first=$(grep -n -m1 -v light "$E2E_TMP/tail.txt" | cut -d: -f1)
[ -n "$first" ] || fail "the tail has no outline at its tip"
((first >= 29)) || fail "something crosses the tail at row $first of 37 (the edge is row 13): $(tr '\n' ' ' <"$E2E_TMP/tail.txt")"
sed -n "${first},$((first + 2))p" "$E2E_TMP/tail.txt" | grep -q dark || fail "the tail's tip is not outlined: $(tr '\n' ' ' <"$E2E_TMP/tail.txt")"
echo "ok: the tail opens into the bubble: paper across the edge down to its outline at row $first of 37"

# Read: the bubble shrinks and fades away inside the panel's room, then the panel shrinks.
click_on ChunkyButton
wait_for 5 "the letter is read" state_has '.reading == null'
wait_for 5 "the bubble has gone" view_is '.transition == "close" and .transitioning == false'
closed=$(view)
jq -e '(.frames | length) >= 4 and .frames[0][2] > 0.8 and .frames[-1][2] == 0 and
       .frames[-1][1] < 0.61' <<<"$closed" >/dev/null || fail "the bubble did not shrink away: $closed"
wait_for 5 "the panel shrinks back" state_has '.panel[2] == 130'
echo "ok: the read bubble shrank and faded away in $(jq '.frames | length' <<<"$closed") frames"
