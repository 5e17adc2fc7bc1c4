#!/usr/bin/env bash
# The cat on a headless sway: how long from a `swaymsg move` to the cat's new list of tops
# (goal: under 50 ms), and what a sitting cat asks sway while nothing changes (goal: nothing,
# with tiled windows, and with a floating one while nobody gives input). The app's IPC goes
# through a small proxy that counts its messages; user input is keys from a virtual keyboard.
# Usage: bench/sway_bench.sh build/purrlox
source "$(dirname "$0")/../tests/e2e/sway_lib.sh"

start_sway 'for_window [title="bench-float"] floating enable, resize set 400 240, move position 700 300'
msg exec "weston-terminal"
msg exec "xterm -T bench-xterm -e sleep 600"
wait_for 15 "the native window shows" has_window "Wayland Terminal"
wait_for 15 "the xterm shows" has_window bench-xterm

start_counting_proxy
CAT_SWAYSOCK=$IPC_PROXY start_cat_in_sway
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 10 "the cat sees both tiled windows" sh -c "[ \$($CAT_ASK $CAT_SOCKET '{\"cmd\":\"tops\"}' | jq '.windows | length') = 2 ]"
cat_pid=$(own_pids "$E2E_PURRLOX" | head -1)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# latency COMMAND...: "IPC CAT" ms from the command to the app's new list of tops: IPC when the
# proxy handed the app the tree that carried it (the last one before cat-ask saw the change),
# CAT when cat-ask saw the new list (its own round trip included).
latency() {
    local before start end tree
    before=$(ask '{"cmd":"tops"}')
    start=$(now)
    msg "$@"
    until [ "$(ask '{"cmd":"tops"}')" != "$before" ]; do
        (($(echo "$(now) - $start > 5" | bc))) && fail "no new list after: $*"
    done
    end=$(now)
    tree=$(awk -v s="$start" -v e="$end" '$1 > s && $1 <= e' "$IPC_REPLIES" | tail -1)
    echo "$(echo "($tree - $start) * 1000" | bc -l | xargs printf '%.0f') $(echo "($end - $start) * 1000" | bc -l | xargs printf '%.0f')"
}
stats() {
    local rows
    rows=$(cat)
    for col in 1 2; do
        cut -d' ' -f$col <<<"$rows" | sort -n | awk -v c=$col '{a[NR]=$1; s+=$1} END {
            printf "%s median %d ms, mean %.0f ms, max %d ms (n=%d); ", c == 1 ? "tree to the app:" : "seen by cat-ask:",
                a[int((NR+1)/2)], s/NR, a[NR], NR}'
    done
}
# cat-ask's own round trip, part of every figure above.
ask_ms=$( (for _ in 1 2 3 4 5; do s=$(now); tops >/dev/null; echo "($(now) - $s) * 1000" | bc -l; done) | sort -n | sed -n 3p | xargs printf '%.0f')

# Quiet, tiled windows alone.
sleep 2
t0=$(ipc_calls) c0=$(cpu_ticks "$cat_pid")
sleep 20
t1=$(ipc_calls) c1=$(cpu_ticks "$cat_pid")
echo "sitting cat, tiled windows, 20 s: $((t1 - t0)) IPC calls, $((c1 - c0)) CPU ticks ($(getconf CLK_TCK)/s)"

# Tiled windows swapped: sway says so with a window event.
for i in 1 2 3 4 5 6 7 8; do
    if ((i % 2)); then latency '[app_id="org.freedesktop.weston.wayland-terminal"] move right'
    else latency '[app_id="org.freedesktop.weston.wayland-terminal"] move left'; fi
done | stats | sed "s/^/swaymsg move (tiled, event) to new tops: /; s/$/; cat-ask round trip ${ask_ms} ms included\n/"

# A floating X11 window moved: no IPC event, but XWayland hears the move and hints the channel
# (a native window waits for the app's own look, which only input starts).
msg '[title="bench-xterm"] title_format bench-float' >/dev/null
msg '[title="bench-xterm"] floating enable, move position 700 300'
sleep 1
for i in 1 2 3 4 5 6 7 8; do
    latency "[title=\"bench-xterm\"] move position $((600 + i * 20)) 300"
done | stats | sed "s/^/swaymsg move position (floating xterm, no IPC event) to new tops: /; s/$/\n/"
# A floating native window moved while the user types (a key every 0.3 s): nothing tells; the
# app's own look every 50 ms sees it.
msg '[app_id="org.freedesktop.weston.wayland-terminal"] floating enable, move position 100 300'
sleep 1
keep_active
for i in 1 2 3 4 5 6 7 8; do
    latency "[app_id=\"org.freedesktop.weston.wayland-terminal\"] move position $((100 + i * 20)) 300"
done | stats | sed "s/^/swaymsg move position (floating native, no event, user typing) to new tops: /; s/$/\n/"
# IPC calls per second with a floating window shown: while the user types, and with nobody at the
# keyboard (after sway's idle notice and the one last look it brings).
t0=$(ipc_calls) c0=$(cpu_ticks "$cat_pid")
sleep 10
t1=$(ipc_calls) c1=$(cpu_ticks "$cat_pid")
stop_active
echo "a floating window shown, user typing, 10 s: $((t1 - t0)) IPC calls ($(echo "scale=1; ($t1 - $t0) / 10" | bc)/s), $((c1 - c0)) CPU ticks"
sleep 2
t0=$(ipc_calls) c0=$(cpu_ticks "$cat_pid")
sleep 10
t1=$(ipc_calls) c1=$(cpu_ticks "$cat_pid")
echo "sitting cat, a floating window shown, no input, 10 s: $((t1 - t0)) IPC calls ($(echo "scale=1; ($t1 - $t0) / 10" | bc)/s), $((c1 - c0)) CPU ticks"
# The same sitting cat on X11 beside it, for comparison: Xvfb, openbox, an xterm, no input.
kill "$cat_pid"
while kill -0 "$cat_pid" 2>/dev/null; do sleep 0.1; done
rm -f "$CAT_SOCKET"
start_desktop
open_xterm bench-x11 80x24+300+200 >/dev/null
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
sleep 12 # walked in and sitting
c0=$(cpu_ticks "$CAT_PID")
sleep 20
c1=$(cpu_ticks "$CAT_PID")
echo "sitting cat on X11 beside it, 20 s: $((c1 - c0)) CPU ticks"
