#!/usr/bin/env bash
# GNOME Shell under Wayland: the extension tells the cat every window, native Wayland and
# XWayland alike, at the frames the Shell draws. Off, the cat walks the floor and brings a letter
# saying how to turn it on; on, the tops come; a window moved by the Shell drops the cat; the
# extension turned off and on again gives the floor, then the tops.
source "$(dirname "$0")/gnome_shell_lib.sh"

start_gnome_shell
export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/purrlox LANG=C.UTF-8
export QT_QPA_PLATFORM=xcb

open_x11 e2e-x11 80x20
open_native e2e-native 560x360
shell_move e2e-x11 760 500
shell_move e2e-native 200 430 # its face down to the floor

CAT_LOG=$E2E_TMP/first.log start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
tops() { ask '{"cmd":"tops"}' | jq -c '[.windows[].frame | map(round)]'; }
# The Shell's frame of a window in the cat's y-up points: "[x,y,w,h]".
expected() {
    local x y w h
    read -r x y w h <<<"$(shell_frame "$1")"
    echo "[$x,$((SHELL_HEIGHT - y - h)),$w,$h]"
}
has_top() { tops | jq -e --argjson f "$1" 'index([$f]) != null'; }
no_tops() { [ "$(tops)" = "[]" ]; }

# Installed but not enabled, and no tray: the floor, one letter on how to turn the extension
# on and one on the tray.
wait_for 10 "the cat says the extension is off" grep -q "extension of GNOME Shell is not enabled" "$E2E_TMP/first.log"
letter() { ask '{"cmd":"letters"}' | jq -e --arg t "$1" '.letters[].text | select(contains($t))'; }
wait_for 5 "a letter says how to enable the extension" letter "gnome-extensions enable purrlox@purrlox.app"
wait_for 10 "a letter says the tray needs the AppIndicator extension" letter gnome-shell-extension-appindicator
[ "$(ask '{"cmd":"letters"}' | jq '.letters | length')" = 2 ] || fail "letters: $(ask '{"cmd":"letters"}')"
no_tops || fail "tops without the extension: $(tops)"
echo "ok: without the extension the cat walks the floor; letters on the extension and the tray"
stop_cat

# Enabled the way the letter says, and a tray (trayer, through XWayland) so no letter comes:
# a cat with letters waits with them rather than climb.
gnome-extensions enable $SHELL_UUID
trayer --edge bottom --align right --widthtype request --height 24 >"$E2E_TMP/trayer.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 10 "trayer takes the tray selection" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null && xdotool search --class trayer'
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
native=$(expected e2e-native)
x11=$(expected e2e-x11)
wait_for 5 "the native window's top at $native" has_top "$native"
wait_for 5 "the X11 window's top at $x11" has_top "$x11"
echo "ok: both tops as the Shell draws them: native $native, X11 $x11 (tops $(tops))"

# The cat climbs the native window (front-most and the one near it) and stands on its top.
on_native() { cat_state | jq -e --argjson top "$(jq '.[1] + .[3]' <<<"$native")" \
    '.platform > 0 and (.feetY - $top | fabs) <= 1 and (.kind == "idle" or .kind == "snacking")'; }
ask '{"cmd":"due","what":"climb"}' >/dev/null
wait_for 40 "the cat climbs the native window" cat_is climbingUp
keep_cat_still
wait_for 10 "the cat stands on the native window's top" on_native
echo "ok: the cat stands on the native window's top"

# The Shell moves the window down: the cat falls to the floor.
off_top() { cat_state | jq -e '.platform == 0'; }
shell_move e2e-native 200 560
wait_for 2 "the cat leaves the moved top" off_top
moved=$(expected e2e-native)
wait_for 2 "the moved top at $moved" has_top "$moved"
echo "ok: the window moved by the Shell dropped the cat; its top is now $moved"

# Off: the floor (one line); on again: the tops.
gnome-extensions disable $SHELL_UUID
wait_for 5 "the tops go with the extension" no_tops
gnome-extensions enable $SHELL_UUID
wait_for 5 "the tops come back" has_top "$moved"
wait_for 5 "and the X11 one" has_top "$x11"
echo "ok: the extension off gives the floor, on again the tops"

# The pointer where only the Shell knows it (XWayland's stays where it last saw it), left
# still: Mutter's idle monitor says so and the cat stalks it there.
grep -q "idle times from GNOME.s idle monitor" "$CAT_LOG" || fail "no idle times from Mutter: $(grep -i idle "$CAT_LOG")"
on_floor() { cat_state | jq -e '.platform == 0 and .kind != "falling" and .kind != "landing"'; }
wait_for 10 "the cat stands on the floor" on_floor
cx=$(cat_state | jq '.x | round')
px=$((cx > 640 ? cx - 300 : cx + 300))
shell_pointer_to $px 500 # input: a cat dozing after the long quiet wakes
awake() { cat_state | jq -e '.kind == "idle" or .kind == "snacking"'; }
wait_for 10 "the cat is awake" awake
sleep 4.3 # an ordinary hunt wants 4 s of stillness
ask '{"cmd":"due","what":"hunt"}' >/dev/null
wait_for 3 "the cat stalks the pointer" cat_is stalking
prey=$(cat_state | jq -r .activity)
[[ $prey =~ prey:\ \(([-0-9.]+),\ ([-0-9.]+)\) ]] || fail "no prey in $prey"
((${BASH_REMATCH[1]%.*} == px && ${BASH_REMATCH[2]%.*} == SHELL_HEIGHT - 500)) ||
    fail "the cat stalks ${BASH_REMATCH[1]},${BASH_REMATCH[2]}; the pointer is at $px,$((SHELL_HEIGHT - 500))"
echo "ok: the still pointer is stalked where the Shell has it ($prey)"
[ "$(grep -c 'lost the window list of GNOME Shell' "$CAT_LOG")" = 1 ] ||
    fail "expected one line about the lost list: $(grep 'lost the window' "$CAT_LOG")"
[ "$(ask '{"cmd":"letters"}' | jq '.letters | length')" = 0 ] ||
    fail "letters came again: $(ask '{"cmd":"letters"}')"
echo PASS
