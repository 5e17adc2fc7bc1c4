#!/usr/bin/env bash
# Without a compositing manager the panel cuts itself to the cat's drawing: what lies around the
# cat still shows, and clicks there still reach the window below. The compositor leaves while
# the cat is on screen.
source "$(dirname "$0")/cat_lib.sh"
command -v import >/dev/null && command -v compare >/dev/null || fail "imagemagick is missing"
start_desktop
compositor=${E2E_PIDS[-1]}
term=$(open_xterm e2e-under 80x40+100+100)
start_cat
keep_cat_still
wait_for 30 "the cat sits at its spot" cat_is snacking

kill "$compositor"
wait_for 5 "the compositor leaves" sh -c '! xwininfo -root -tree | grep -q "\"picom\""'
wait_for 5 "the app notices" grep -q "no compositing manager" "$CAT_LOG"

reading=$(cat_state)
panel=$(panel_pixels "$reading")
read -r px py pw ph <<<"$panel"
straddle_panel "$term" "$panel"
sleep 1 # a few frames of the snack, each re-cutting the window

# A click on the panel's clear corner, over the xterm, focuses the xterm.
other=$(open_xterm e2e-other 40x10+1200+100)
xdotool windowactivate --sync "$other"
xdotool mousemove $((px + pw / 2 - 20)) $((py + 5)) click 1
wait_for 5 "the xterm under the clear panel corner becomes active" \
    sh -c "[ \$(xprop -root _NET_ACTIVE_WINDOW | awk '{print \$NF}') = $(printf '0x%x' "$term") ]"
echo "ok: a click beside the cat reached the xterm below"

mkdir -p "${CAT_SHOTS:-$E2E_TMP}"
read -r changed top colours <<<"$(shoot_with_and_without "${CAT_SHOTS:-$E2E_TMP}/cat_nocomp_with.png" \
    "${CAT_SHOTS:-$E2E_TMP}/cat_nocomp_without.png" "$panel")"
echo "panel $panel: $changed of $((pw * ph)) pixels show the cat, $top differ in the clear top"
((changed > 1000)) || fail "the cat is hardly visible ($changed pixels)"
((changed < pw * ph / 2)) || fail "the panel covers what lies behind it ($changed pixels)"
[ "$top" = 0 ] || fail "the clear part of the panel hides what lies behind it ($top pixels)"
echo "ok: without a compositor the panel is cut to the cat"
