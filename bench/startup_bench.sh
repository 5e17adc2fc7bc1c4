#!/usr/bin/env bash
# Time from launching Purrlox to the cat's first frame (its panel shown), with no focus log and
# with a ten-year one (75,000 stretches, about 9 MB), on one Xvfb + openbox + picom session.
# Each case runs BENCH_RUNS (5) times, alternating; the median is printed, as wall time and as
# the CPU time the process had used by then (steady on a shared, busy machine).
# Usage: bench/startup_bench.sh build/purrlox   (needs the make_focus_log and x11probe targets)
source "$(dirname "$0")/../tests/e2e/lib.sh"
RUNS=${BENCH_RUNS:-5}
MAKE_LOG=${MAKE_FOCUS_LOG:-$(dirname "$E2E_PURRLOX")/bench/make_focus_log}
[ -x "$MAKE_LOG" ] || fail "make_focus_log not found at $MAKE_LOG (build the make_focus_log target)"
start_desktop

mkdir -p "$E2E_TMP/empty/purrlox" "$E2E_TMP/tenyears/purrlox"
"$MAKE_LOG" "$E2E_TMP/tenyears/purrlox/focusLog.json" 75000
log_bytes=$(stat -c %s "$E2E_TMP/tenyears/purrlox/focusLog.json")

# first_frame DATA_HOME: "wall cpu" seconds from exec to the log line of the shown panel.
first_frame() {
    local out=$E2E_TMP/run.log t0 t1 pid cpu
    : >"$out"
    t0=$(date +%s%N)
    XDG_DATA_HOME=$1 "$E2E_PURRLOX" >"$out" 2>&1 &
    pid=$!
    until grep -q 'cat panel shown' "$out"; do
        kill -0 "$pid" 2>/dev/null || fail "purrlox exited: $(cat "$out")"
        sleep 0.005
    done
    t1=$(date +%s%N)
    cpu=$(awk -v hz="$(getconf CLK_TCK)" '{printf "%.3f", ($14 + $15) / hz}' "/proc/$pid/stat")
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$(echo "scale=3; ($t1 - $t0) / 1000000000" | bc) $cpu"
}

median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

declare -A wall cpu
for ((i = 0; i < RUNS; i++)); do
    for case in empty tenyears; do
        read -r w c <<<"$(first_frame "$E2E_TMP/$case")"
        wall[$case]+="$w " cpu[$case]+="$c "
    done
done
m() { tr ' ' '\n' <<<"$1" | grep . | median; }
for case in empty tenyears; do
    label=$([ $case = empty ] && echo "no focus log" || echo "ten-year focus log")
    printf 'first frame, %-20s wall %6.3f s   cpu %6.3f s   (wall runs: %s)\n' \
        "$label:" "$(m "${wall[$case]}")" "$(m "${cpu[$case]}")" "${wall[$case]% }"
done
echo "ten-year log: 75000 stretches, $log_bytes bytes"
printf 'the focus log adds:                wall %6.3f s   cpu %6.3f s\n' \
    "$(echo "$(m "${wall[tenyears]}") - $(m "${wall[empty]}")" | bc)" \
    "$(echo "$(m "${cpu[tenyears]}") - $(m "${cpu[empty]}")" | bc)"
