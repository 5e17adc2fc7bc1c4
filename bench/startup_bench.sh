#!/usr/bin/env bash
# Time from launching Purrlox to the cat's first frame (its panel shown), with no focus log and
# with a ten-year one (75,000 stretches, about 9 MB), on one Xvfb + openbox + picom session.
# Each case runs BENCH_RUNS (5) times, alternating; the median is printed.
# Usage: bench/startup_bench.sh build/purrlox   (needs the make_focus_log and x11probe targets)
source "$(dirname "$0")/../tests/e2e/lib.sh"
RUNS=${BENCH_RUNS:-5}
MAKE_LOG=${MAKE_FOCUS_LOG:-$(dirname "$E2E_PURRLOX")/bench/make_focus_log}
[ -x "$MAKE_LOG" ] || fail "make_focus_log not found at $MAKE_LOG (build the make_focus_log target)"
start_desktop

mkdir -p "$E2E_TMP/empty/purrlox" "$E2E_TMP/tenyears/purrlox"
"$MAKE_LOG" "$E2E_TMP/tenyears/purrlox/focusLog.json" 75000
log_bytes=$(stat -c %s "$E2E_TMP/tenyears/purrlox/focusLog.json")

# first_frame DATA_HOME: seconds from exec to the log line of the shown panel.
first_frame() {
    local out=$E2E_TMP/run.log t0 t1 pid
    : >"$out"
    t0=$(date +%s%N)
    XDG_DATA_HOME=$1 "$E2E_PURRLOX" >"$out" 2>&1 &
    pid=$!
    until grep -q 'cat panel shown' "$out"; do
        kill -0 "$pid" 2>/dev/null || fail "purrlox exited: $(cat "$out")"
        sleep 0.005
    done
    t1=$(date +%s%N)
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
    echo "scale=3; ($t1 - $t0) / 1000000000" | bc
}

median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

empty=() tenyears=()
for ((i = 0; i < RUNS; i++)); do
    empty+=("$(first_frame "$E2E_TMP/empty")")
    tenyears+=("$(first_frame "$E2E_TMP/tenyears")")
done
e=$(printf '%s\n' "${empty[@]}" | median)
t=$(printf '%s\n' "${tenyears[@]}" | median)
printf 'first frame, no focus log:            %6.3f s   (runs: %s)\n' "$e" "${empty[*]}"
printf 'first frame, ten-year focus log:      %6.3f s   (runs: %s; %s stretches, %s bytes)\n' \
    "$t" "${tenyears[*]}" 75000 "$log_bytes"
printf 'the focus log adds:                   %6.3f s\n' "$(echo "$t - $e" | bc)"
