#!/usr/bin/env bash
# What a sitting cat (its timers postponed) costs on one wide screen and on the same screen split
# by RandR into two monitors, a 1920 × 1080 primary and a 1280 × 900 one at its right whose
# bottom stands 60 px higher (a laptop beside a larger monitor). The monitors are read when they
# change, never per frame, so both should cost the same. Rounds alternate the two layouts
# (BENCH_ROUNDS, 2) for BENCH_SECONDS (45) each; the figures are the app's CPU (% of one core),
# the X server's and the compositor's over the same time, and the app's wake-ups per second (all
# its threads' context switches). Ratios are from this run only: the machine may be shared.
# Usage: bench/monitors_cpu_bench.sh build/purrlox   (needs the x11probe and cat-ask targets)
source "$(dirname "$0")/bench_lib.sh"
SECS=${BENCH_SECONDS:-45}
ROUNDS=${BENCH_ROUNDS:-2}
E2E_WIDTH=3200
bench_desktop

declare -A app x comp wake
one_monitor() { xrandr --delmonitor right >/dev/null 2>&1 || true; xrandr --delmonitor left >/dev/null 2>&1 || true; }
two_monitors() {
    xrandr --setmonitor '*left' 1920/508x1080/286+0+0 screen
    xrandr --setmonitor right 1280/339x900/238+1920+120 none
}

# sit LAYOUT: a fresh cat on that layout, sitting, measured for SECS.
sit() {
    local layout=$1 a xs c w
    rm -f "$CAT_SOCKET"
    start_cat
    ask '{"cmd":"calm","seconds":3600}' >/dev/null
    wait_for 40 "the cat sits at its entry spot" cat_is idle
    [ "$layout" = one ] || [ "$(cat_state | jq '.monitors | length')" = 2 ] ||
        fail "the cat does not see two monitors: $(cat_state | jq -c .monitors)"
    nudge
    sleep 2
    a=$(cpu_ticks "$CAT_PID") xs=$(cpu_ticks "$xvfb_pid") c=$(cpu_ticks "$picom_pid") w=$(wakeups "$CAT_PID")
    sleep "$SECS"
    cat_is idle || fail "the cat left its seat ($layout)"
    app[$layout]+=" $(pct "$(cpu_ticks "$CAT_PID") - $a" "$SECS")"
    x[$layout]+=" $(pct "$(cpu_ticks "$xvfb_pid") - $xs" "$SECS")"
    comp[$layout]+=" $(pct "$(cpu_ticks "$picom_pid") - $c" "$SECS")"
    wake[$layout]+=" $(printf '%.1f' "$(echo "scale=2; ($(wakeups "$CAT_PID") - $w) / $SECS" | bc)")"
    stop_cat
}
mean() { tr ' ' '\n' <<<"$1" | grep . | awk '{s += $1} END {printf "%.2f", s / NR}'; }

for ((r = 1; r <= ROUNDS; r++)); do
    one_monitor
    sit one
    two_monitors
    sit two
done
printf '%-14s %8s %10s %12s %12s\n' layout "app %" "X server %" "compositor %" "wake-ups/s"
for l in one two; do
    printf '%-14s %8s %10s %12s %12s   (rounds: app%s; wake-ups%s)\n' "$l monitor$([ $l = two ] && echo s)" \
        "$(mean "${app[$l]}")" "$(mean "${x[$l]}")" "$(mean "${comp[$l]}")" "$(mean "${wake[$l]}")" \
        "${app[$l]}" "${wake[$l]}"
done
echo "two / one: app CPU $(ratio "$(mean "${app[two]}")" "$(mean "${app[one]}")"), wake-ups $(ratio "$(mean "${wake[two]}")" "$(mean "${wake[one]}")") (goal: 1.0)"
