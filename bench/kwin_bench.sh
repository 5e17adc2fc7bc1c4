#!/usr/bin/env bash
# The cat's window list on KDE Plasma (headless kwin_wayland, one native window, one xterm):
# - the time from a window moved inside KWin (the moving script's clock) to the cat's list of
#   tops holding the new frame (read through the automation socket, one connection read in a
#   tight loop);
# - what the KWin channel costs while nothing moves: the calls on the session bus between KWin
#   and Purrlox, and the app's CPU, over 10 s with the cat sitting, then 10 s with it walking
#   (its own panel moving, which the script must not report).
# Usage: bench/kwin_bench.sh build/purrlox   (needs the x11probe and cat-ask targets built)
source "$(dirname "$0")/../tests/e2e/cat_lib.sh"
source "$(dirname "$0")/../tests/e2e/kwin_lib.sh"
MOVES=${BENCH_MOVES:-20}
QUIET_S=${BENCH_QUIET_S:-10}
hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

start_kwin
open_two_windows
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 10 "the cat sees the native window" has_top "$(engine_frame "$(kwin_frame Wayland_Terminal)")"

# Moves the native window to (X, 300) inside KWin; prints KWin's clock at the move, in ms.
move_stamped() {
    kwin_js "moves the native window" "var ws = workspace.clientList ? workspace.clientList() : workspace.windowList();
for (var i = 0; i < ws.length; i++) if (ws[i].caption == 'Wayland Terminal') {
  var g = ws[i].frameGeometry; print('@ ' + Date.now());
  ws[i].frameGeometry = {x: $1, y: 300, width: g.width, height: g.height}; }
print('@ end');"
}

read -r _ _ nw nh <<<"$(kwin_frame Wayland_Terminal)"
# The bus's own record of each push splits the time into KWin's part and ours.
dbus-monitor --session "interface='app.purrlox.Purrlox.KWin'" >"$E2E_TMP/moves.txt" 2>&1 &
E2E_PIDS+=($!)
sleep 0.5
last_push() { sed -n 's/.*time=\([0-9]*\)\.\([0-9]\{3\}\).*member=windows.*/\1\2/p' "$E2E_TMP/moves.txt" | tail -1; }
latencies=()
kwin_parts=()
for ((i = 0; i < MOVES; i++)); do
    x=$((300 + (i % 2) * 100 + i))
    want="[$x,$((E2E_HEIGHT - 300 - nh)),$nw,$nh]"
    # The script's output comes after the move; the cat may already hold it by then.
    # One connection, read every 2 ms: fine enough, and it leaves the app time to run.
    rm -f "$E2E_TMP/ready"
    python3 -c '
import json, socket, sys, time
s = socket.socket(socket.AF_UNIX); s.connect(sys.argv[1]); f = s.makefile("rwb")
want = json.loads(sys.argv[2])
ready = False
while True:
    f.write(b"{\"cmd\":\"tops\"}\n"); f.flush()
    if any(w["frame"] == want for w in json.loads(f.readline())["windows"]): break
    if not ready:
        open(sys.argv[3], "w").close()
        ready = True
    time.sleep(0.002)
print(time.time_ns() // 1000000)' "$CAT_SOCKET" "$want" "$E2E_TMP/ready" >"$E2E_TMP/seen" &
    watcher=$!
    # Python starts slowly on a loaded machine: the move waits for its first reading.
    wait_for 10 "the reader reads" test -e "$E2E_TMP/ready"
    moved=$(move_stamped "$x" | head -1)
    wait "$watcher"
    seen=$(cat "$E2E_TMP/seen")
    latencies+=($((seen - moved)))
    kwin_parts+=($(($(last_push) - moved)))
done

sorted=$(printf '%s\n' "${latencies[@]}" | sort -n)
median=$(sed -n "$(((MOVES + 1) / 2))p" <<<"$sorted")
worst=$(tail -1 <<<"$sorted")
echo "load average $(cut -d" " -f1 /proc/loadavg) on $(nproc) cores"
echo "window move in KWin -> the cat's new list of tops: median ${median} ms, worst ${worst} ms over $MOVES moves (goal < 50 ms)"
median_of() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
echo "  of which KWin's part (the move to the push on the bus): median $(median_of "${kwin_parts[@]}") ms"

# Calls between KWin and Purrlox while nothing moves, and while the cat walks.
calls_over() {
    local what=$1 log=$E2E_TMP/monitor-$1.txt before
    dbus-monitor --session "interface='app.purrlox.Purrlox.KWin'" \
        "interface='org.kde.kwin.Scripting'" >"$log" 2>&1 &
    local monitor=$!
    sleep 0.5
    before=$(cpu_ticks "$CAT_PID")
    local x0 x1
    x0=$(cat_state | jq .x)
    sleep "$QUIET_S"
    local ticks=$(($(cpu_ticks "$CAT_PID") - before))
    x1=$(cat_state | jq .x)
    kill "$monitor"
    wait "$monitor" 2>/dev/null || true
    local windows pointer
    windows=$(grep -c 'member=windows' "$log" || true)
    pointer=$(grep -c 'member=pointer' "$log" || true)
    printf '%-8s over %s s (the cat moved %s points): %s window lists and %s pointer calls from KWin; app CPU %s %% of a core\n' \
        "$what" "$QUIET_S" "$(echo "$x1 - $x0" | bc)" "$windows" "$pointer" \
        "$(echo "scale=2; 100 * $ticks / ($hz * $QUIET_S)" | bc)"
}
(while :; do ask '{"cmd":"due","what":"snack"}' >/dev/null 2>&1 || true; sleep 0.5; done) &
snacker=$!
E2E_PIDS+=($snacker)
sleep 1
calls_over sitting
kill "$snacker"
wait "$snacker" 2>/dev/null || true
walking() { cat_is walking; }
ask '{"cmd":"due","what":"wander"}' >/dev/null
wait_for 30 "the cat walks" walking
calls_over walking
