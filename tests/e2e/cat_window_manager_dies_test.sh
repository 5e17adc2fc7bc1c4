#!/usr/bin/env bash
# The window manager is killed with no successor: its stacking list, work area and check window
# property stay behind, stale. The cat's window tops come back from the root's children (the
# bare clients, no decoration), the floor drops to the monitor's bottom, and a new manager is
# trusted again as soon as it runs.
source "$(dirname "$0")/cat_lib.sh"
start_desktop
wm=${E2E_PIDS[1]}
a=$(open_xterm e2e-wm-a 80x24+200+300)
b=$(open_xterm e2e-wm-b 40x10+900+500)
dock=$(open_xterm e2e-wm-dock 80x2+0+1040)
xprop -id "$dock" -f _NET_WM_WINDOW_TYPE 32a -set _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DOCK
xprop -id "$dock" -f _NET_WM_STRUT_PARTIAL 32c \
    -set _NET_WM_STRUT_PARTIAL "0, 0, 0, 60, 0, 0, 0, 0, 0, 0, 0, 1919"
start_cat
keep_cat_still
wait_for 30 "the cat sits at its spot" cat_is snacking

tops() { ask '{"cmd":"tops"}'; }
# The listed frame of a window in the cat's poll, as "x y w h" points.
top_frame() { jq -r --argjson id "$1" '.windows[] | select(.id == $id) | .frame | map(tostring) | join(" ")' <<<"$(tops)"; }
listed() { [ -n "$(top_frame "$1")" ]; }
both_listed() { listed "$a" && listed "$b"; }
wait_for 5 "both windows are listed under the manager" both_listed
wait_for 1 "the cat stands on the dock's edge" cat_placed 72
framed=$(top_frame "$a")
echo "ok: with openbox: window a at $framed, the floor at 72"

kill -9 "$wm"
wait_for 5 "the app sees the manager gone" grep -q "window manager: none runs" "$CAT_LOG"
xprop -root _NET_SUPPORTING_WM_CHECK _NET_CLIENT_LIST_STACKING | grep -q "window id" ||
    fail "the dead manager should have left its properties behind for this test"
bare_points() { points_of "$(window_pixels "$1")"; }
bare_a() { [ "$(top_frame "$a")" = "$(bare_points "$a")" ]; }
wait_for 2 "window a is listed bare" bare_a
listed "$b" || fail "window b should be listed from the root's children: $(tops)"
wait_for 1 "the floor is the monitor's bottom" cat_placed 12
echo "ok: no manager: window a at $(top_frame "$a") (was $framed), the floor at 12"

openbox --sm-disable >"$E2E_TMP/openbox2.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 10 "the new manager is trusted" grep -q "window manager: one runs" "$CAT_LOG"
framed_again() { [ "$(top_frame "$a")" = "$(points_of "$(xwininfo_frame "$a")")" ]; }
wait_for 5 "window a is listed with its new frame" framed_again
wait_for 5 "the floor is on the dock's edge again" cat_placed 72
echo "ok: a new manager: window a at $(top_frame "$a"), the floor at 72"
