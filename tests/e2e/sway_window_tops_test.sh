#!/usr/bin/env bash
# The cat on sway (headless): a native window and an xterm at the tops sway draws, title bars
# included; the cat climbs the native window and falls when sway moves it; another workspace
# empties the list; a reload keeps it; a restarted sway gives the floor, then the tops again.
# sway tells nothing when a floating window moves: the app looks for itself while the user gives
# input (real keys, from a virtual keyboard), and asks sway nothing while nobody does.
source "$(dirname "$0")/sway_lib.sh"

start_sway \
    'for_window [app_id="org.freedesktop.weston.wayland-terminal"] floating enable, resize set 500 260, move position 200 530' \
    'for_window [title="e2e-xterm"] floating enable, resize set 360 200, move position 860 0'
msg exec "weston-terminal"
msg exec "xterm -T e2e-xterm -e sleep 600"
wait_for 15 "the native window shows" has_window "Wayland Terminal"
wait_for 15 "the xterm shows" has_window e2e-xterm
native=$(sway_points "Wayland Terminal")
xterm=$(sway_points e2e-xterm)
[ "$(sway_frame e2e-xterm | awk '{print $2}')" -lt "$(tree | jq '.. | objects | select(.name? == "e2e-xterm") | .rect.y')" ] ||
    fail "sway drew no title bar over the xterm: $(sway_frame e2e-xterm)"

start_counting_proxy
CAT_SWAYSOCK=$IPC_PROXY start_cat_in_sway
ask '{"cmd":"calm","seconds":3600}' >/dev/null # no wandering, hunting or climbing of its own
grep -q "lost the window list" "$CAT_LOG" && fail "the channel was lost at start: $(cat "$CAT_LOG")"
both() { [ "$(tops | sort)" = "$(printf '%s\n' "$native" "$xterm" | sort)" ]; }
wait_for 10 "the cat's tops are the frames sway draws ($native / $xterm)" both
echo "ok: the cat's tops are the native window's ($native) and the xterm's with its title bar ($xterm)"
# sway 1.7 offers KDE's idle protocol; later ones the staging one.
grep -qE "idle: from the compositor's (org_kde_kwin_idle|ext_idle_notifier_v1)" "$CAT_LOG" ||
    fail "the idle time does not come from sway: $(grep idle: "$CAT_LOG")"
echo "ok: $(grep -o "idle: from the compositor's [a-z_0-9]*" "$CAT_LOG" | head -1)"

# The cat climbs the native window (the xterm's top, at the screen's top, is no climb) and
# stands on its top.
read -r nx ny nw nh <<<"$native"
native_top=$((ny + nh))
on_native() { cat_state | jq -e --argjson t "$native_top" '.platform > 0 and (.feetY - $t | fabs) <= 1 and (.kind == "idle" or .kind == "snacking")'; }
on_the_floor() { cat_state | jq -e '.platform == 0 and .feetY == 12 and .kind != "falling"'; }
ask '{"cmd":"due","what":"climb"}' >/dev/null
wait_for 40 "the cat climbs the native window" cat_is climbingUp
(while :; do ask '{"cmd":"due","what":"snack"}' >/dev/null 2>&1 || true; sleep 0.3; done) &
E2E_PIDS+=($!)
wait_for 15 "the cat stands on the native window's top at $native_top" on_native
echo "ok: the cat stands on the native window's top ($native_top)"
# What sway shows, for the developer to look at (grim reads the compositor's own output).
if command -v grim >/dev/null && [ -n "${E2E_SCREENS:-}" ]; then
    mkdir -p "$E2E_SCREENS"
    as_user env WAYLAND_DISPLAY="$(cd "$E2E_TMP/sway-run" && ls | grep -m1 "^wayland-[0-9]*$")" \
        grim "$E2E_TMP/sway-cat.png" && cp "$E2E_TMP/sway-cat.png" "$E2E_SCREENS/sway_cat_on_native.png"
fi

# While the user types, sway moves it: no event tells, the app's own look sees it, the cat falls.
keep_active
active_from=$(ipc_trees)
msg '[app_id="org.freedesktop.weston.wayland-terminal"] move position 200 650'
moved() { cat_state | jq -e '.platform == 0'; }
wait_for 3 "the cat leaves the moved window's top" moved
wait_for 5 "the cat lands on the floor" on_the_floor
echo "ok: 'swaymsg move position' while the user types made the cat fall"
sleep 1
stop_active
(($(ipc_trees) - active_from >= 4)) || fail "the app looked only $(($(ipc_trees) - active_from)) times while keys came"

# Nobody at the keyboard, a floating window showing: after one last look, nothing is asked.
sleep 2
quiet_from=$(ipc_calls)
sleep 4
[ "$(ipc_calls)" = "$quiet_from" ] || fail "$(($(ipc_calls) - quiet_from)) IPC calls in 4 s with no input"
echo "ok: no IPC call in 4 s without input, a floating native window showing"
# A command moves it meanwhile: seen with the first key that comes.
msg '[app_id="org.freedesktop.weston.wayland-terminal"] move position 200 600'
sleep 0.5
[ "$(ipc_calls)" = "$quiet_from" ] || fail "the app asked sway without input"
press_key
moved_native=$(sway_points "Wayland Terminal")
native_there() { tops | grep -qxF "$moved_native"; }
wait_for 2 "a key shows the window moved while nobody typed ($moved_native)" native_there
echo "ok: the first key after a quiet spell shows where a command moved the window"

# Another workspace shows nothing; back, both again.
empty() { [ -z "$(tops)" ]; }
msg workspace 2
wait_for 3 "an empty workspace gives an empty list" empty
msg workspace 1
both_moved() { [ "$(tops | sort)" = "$(printf '%s\n' "$moved_native" "$xterm" | sort)" ]; }
wait_for 3 "back on the first workspace, both windows again" both_moved
echo "ok: another workspace empties the list; coming back brings both windows"

# A reload keeps sway's windows and its IPC socket: the list stays, nothing is lost.
msg reload
sleep 1
both_moved || fail "the list after a reload: $(tops)"
grep -q "lost the window list" "$CAT_LOG" && fail "a reload lost the channel"
echo "ok: a reload keeps the list"

# A restarted sway takes its XWayland along, and the cat with it: this part runs the cat on an
# X server of its own, beside sway, to see the channel go and come back.
stop_cat_pids() {
    local pid
    for pid in $(own_pids "$E2E_PURRLOX"); do kill "$pid"; done
    wait_for 10 "the cat quits" test -z "$(own_pids "$E2E_PURRLOX")"
}
stop_cat_pids
rm -f "$CAT_SOCKET"
E2E_WIDTH=$SWAY_WIDTH E2E_HEIGHT=$SWAY_HEIGHT start_xserver
start_cat_in_sway "$DISPLAY"
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 10 "the cat beside sway sees both windows" both_moved
stop_sway
wait_for 5 "the cat walks on the floor while sway is gone" empty
grep -q "lost the window list of sway" "$CAT_LOG" || fail "no line said the list was lost"
start_sway \
    'for_window [app_id="org.freedesktop.weston.wayland-terminal"] floating enable, resize set 500 260, move position 200 440'
msg exec "weston-terminal"
wait_for 15 "the native window shows again" has_window "Wayland Terminal"
again() { [ "$(tops)" = "$(sway_points "Wayland Terminal")" ]; }
wait_for 10 "the channel comes back with the new sway's window" again
[ "$(grep -c "lost the window list of sway" "$CAT_LOG")" = 1 ] ||
    fail "the retries were not quiet: $(grep "lost the window list" "$CAT_LOG")"
echo "ok: a restarted sway gives the floor, then its windows again"
