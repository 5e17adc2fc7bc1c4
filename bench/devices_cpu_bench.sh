#!/usr/bin/env bash
# What the signal backends cost while nothing changes: the sitting cat on a desktop with a sound
# server, a session bus with a media player and a system bus, for BENCH_SECONDS (60). Prints the
# CPU of the whole app, of libpulse's thread and of the D-Bus thread, then the device poll's cost
# beside one system call (linux_devices_bench).
# Usage: bench/devices_cpu_bench.sh build/purrlox   (needs cat-ask, fake-services, x11probe and
# linux_devices_bench built)
source "$(dirname "$0")/../tests/e2e/cat_lib.sh"
source "$(dirname "$0")/../tests/e2e/devices_lib.sh"
SECONDS_EACH=${BENCH_SECONDS:-60}
POLL_BENCH=$(dirname "$E2E_PURRLOX")/bench/linux_devices_bench

start_desktop
start_buses
start_pulse
start_fake player mpris spotify
start_fake logind logind
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 40 "the cat sits" cat_is idle
sleep 2

hz=$(getconf CLK_TCK)
thread_ticks() { # PID COMM: CPU ticks of the threads with that name
    local sum=0 t
    for t in /proc/"$1"/task/*; do
        [ "$(cat "$t/comm")" = "$2" ] && sum=$((sum + $(awk '{print $14 + $15}' "$t/stat")))
    done
    echo $sum
}
process_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
grep -q purrlox-sound /proc/"$CAT_PID"/task/*/comm || fail "no sound thread in the app"
grep -q QDBusConnection /proc/"$CAT_PID"/task/*/comm || fail "no D-Bus thread in the app"

a=$(process_ticks "$CAT_PID") s=$(thread_ticks "$CAT_PID" purrlox-sound)
d=$(thread_ticks "$CAT_PID" QDBusConnection)
sleep "$SECONDS_EACH"
pct() { echo "scale=3; 100 * ($1) / ($hz * $SECONDS_EACH)" | bc; }
app=$(pct "$(process_ticks "$CAT_PID") - $a")
sound=$(pct "$(thread_ticks "$CAT_PID" purrlox-sound) - $s")
bus=$(pct "$(thread_ticks "$CAT_PID" QDBusConnection) - $d")
echo "over ${SECONDS_EACH} s beside the sitting cat (% of one core, clock ticks of 1/$hz s):"
printf '  the whole app          %7s %%\n' "$app"
printf '  libpulse thread        %7s %%\n' "$sound"
printf '  D-Bus thread           %7s %%\n' "$bus"
echo "  (the camera's inotify and the D-Bus handlers on the main thread run only on events)"
echo "goal: backends together under 0.1 % of a core"
echo
[ -x "$POLL_BENCH" ] && "$POLL_BENCH" --benchmark_min_time=0.5 2>/dev/null | grep -E "^BM_|Benchmark"
