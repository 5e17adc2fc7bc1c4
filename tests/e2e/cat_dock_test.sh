#!/usr/bin/env bash
# A dock with a 60-pixel strut along the bottom comes and goes: the cat's feet follow the floor
# (72, then 12) at once, sitting still or walking, without waiting for a fall; a work area set
# by hand and restored takes the cat there and back.
source "$(dirname "$0")/cat_lib.sh"
start_desktop
start_cat
keep_cat_still
still=${E2E_PIDS[-1]}
wait_for 30 "the cat snacks where it walked in to" cat_is snacking

# open_dock: an xterm along the bottom edge that reserves 60 pixels as a dock.
open_dock() {
    dock=$(open_xterm "e2e-dock-$1" 80x2+0+1040)
    xprop -id "$dock" -f _NET_WM_WINDOW_TYPE 32a -set _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DOCK
    xprop -id "$dock" -f _NET_WM_STRUT_PARTIAL 32c \
        -set _NET_WM_STRUT_PARTIAL "0, 0, 0, 60, 0, 0, 0, 0, 0, 0, 0, 1919"
}

open_dock 1
wait_for 1 "the sitting cat stands on the dock's edge" cat_placed 72
echo "ok: a dock appears: the sitting cat's feet at $(cat_state | jq .feetY)"
xdotool windowkill "$dock"
wait_for 1 "the sitting cat is back on the bottom floor" cat_placed 12
echo "ok: the dock goes: the sitting cat's feet at $(cat_state | jq .feetY)"

kill "$still"
not_snacking() { ! cat_is snacking; }
wait_for 15 "the snack ends" not_snacking
wander() { ask '{"cmd":"due","what":"wander"}' >/dev/null && cat_is walking; }
wait_for 20 "the cat walks" wander
open_dock 2
wait_for 1 "the walking cat walks on the dock's edge" cat_placed 72
cat_is walking || echo "note: the walk ended meanwhile"
echo "ok: a dock appears under the walking cat: feet at $(cat_state | jq .feetY)"
xprop -id "$dock" -remove _NET_WM_STRUT_PARTIAL
wait_for 1 "the cat is back on the bottom floor when the strut goes" cat_placed 12
echo "ok: the strut goes: feet at $(cat_state | jq .feetY)"

# A work area set by hand (GTK's, which wins over struts) and then taken away.
ask '{"cmd":"calm","seconds":3600}' >/dev/null
xprop -root -f _GTK_WORKAREAS_D0 32c -set _GTK_WORKAREAS_D0 "0, 0, 1920, 900"
wait_for 1 "the cat stands on the raised floor" cat_placed 192
xprop -root -remove _GTK_WORKAREAS_D0
wait_for 1 "the cat is back on the bottom floor" cat_placed 12
echo "ok: a work area set by hand and restored"

# A work area ten pixels high along the top edge is no place for a cat: it is ignored, once.
xprop -root -f _GTK_WORKAREAS_D0 32c -set _GTK_WORKAREAS_D0 "0, 0, 1280, 10"
wait_for 2 "the app says why" grep -q "ignoring a work area of 1280 × 10" "$CAT_LOG"
cat_placed 12 || fail "the cat should stay on the bottom floor: $(cat_state)"
xprop -root -remove _GTK_WORKAREAS_D0
sleep 0.3
[ "$(grep -c "ignoring a work area" "$CAT_LOG")" = 1 ] || fail "one log line expected"
echo "ok: an implausible work area is ignored"
