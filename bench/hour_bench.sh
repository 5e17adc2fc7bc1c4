#!/usr/bin/env bash
# What the cat costs over stretches of an ordinary hour, against oneko under the same pointer,
# on one Xvfb + openbox + picom session with two xterms open. Nothing is forced: the cat keeps
# its own schedule (it sits, wanders, hunts, climbs, dozes as it likes).
#   lively: the pointer is put somewhere new every 8 s (the same spots, in the same order, for
#           both apps), BENCH_LIVELY_SECONDS (240);
#   quiet:  the user reading: the pointer still throughout, BENCH_QUIET_SECONDS (300).
# BENCH_SECONDS sets both. Each stretch prints the app's CPU (% of one core), the X server's and
# the compositor's over the same time, the three together, the app's wake-ups per second (all
# its threads' context switches) and, for Purrlox, how many activities it started (its log's
# "cat:" lines) and which. The ratios are from this run only: the machine may be shared.
# Usage: bench/hour_bench.sh build/purrlox   (needs the x11probe and cat-ask targets)
source "$(dirname "$0")/bench_lib.sh"
LIVELY=${BENCH_LIVELY_SECONDS:-${BENCH_SECONDS:-240}}
QUIET=${BENCH_QUIET_SECONDS:-${BENCH_SECONDS:-300}}
command -v oneko >/dev/null || [ -x /usr/games/oneko ] || fail "oneko is not installed"
export PATH=$PATH:/usr/games

bench_desktop

# The lively pointer's spots, drawn once with a fixed seed so both apps chase the same ones.
spots=$(awk -v n=$((LIVELY / 8 + 2)) -v w="$E2E_WIDTH" -v h="$E2E_HEIGHT" \
    'BEGIN {srand(8); for (i = 0; i < n; i++) printf "%d %d\n", 40 + rand() * (w - 80), 40 + rand() * (h - 80)}')
move_pointer_every_8s() {
    local x y
    while read -r x y; do
        xdotool mousemove "$x" "$y"
        sleep 8
    done <<<"$spots"
}
# Where the pointer rests before a stretch and all through the quiet one.
rest_pointer() { xdotool mousemove 1500 200; }

declare -A app_cpu x_cpu comp_cpu all_cpu app_wakeups activities
rows=()
# stretch NAME PID SECONDS [lively]: measures PID and the X server and compositor over SECONDS,
# with the pointer moving for a lively one.
stretch() {
    local name=$1 pid=$2 secs=$3 a x c w mover=
    a=$(cpu_ticks "$pid") x=$(cpu_ticks "$xvfb_pid") c=$(cpu_ticks "$picom_pid") w=$(wakeups "$pid")
    if [ "${4:-}" = lively ]; then
        move_pointer_every_8s &
        mover=$!
        E2E_PIDS+=($mover)
    fi
    sleep "$secs"
    [ -z "$mover" ] || kill "$mover"
    kill -0 "$pid" 2>/dev/null || fail "$name exited during the stretch"
    app_wakeups[$name]=$(printf '%.1f' "$(echo "scale=2; ($(wakeups "$pid") - $w) / $secs" | bc)")
    app_cpu[$name]=$(pct "$(cpu_ticks "$pid") - $a" "$secs")
    x_cpu[$name]=$(pct "$(cpu_ticks "$xvfb_pid") - $x" "$secs")
    comp_cpu[$name]=$(pct "$(cpu_ticks "$picom_pid") - $c" "$secs")
    all_cpu[$name]=$(printf '%.2f' "$(echo "${app_cpu[$name]} + ${x_cpu[$name]} + ${comp_cpu[$name]}" | bc)")
    rows+=("$name")
    printf '%-16s %6s %% app   X server %6s %%   compositor %6s %%   together %6s %%   %6s wake-ups/s\n' \
        "$name" "${app_cpu[$name]}" "${x_cpu[$name]}" "${comp_cpu[$name]}" "${all_cpu[$name]}" \
        "${app_wakeups[$name]}"
}

# purrlox_stretch NAME SECONDS [lively]: a fresh cat, measured once its entry walk is over; the
# activities it starts meanwhile are read from its log.
purrlox_stretch() {
    local name=$1 from
    rm -f "$CAT_SOCKET"
    rest_pointer
    start_cat
    wait_for 60 "the cat sits after its entry walk" cat_is idle
    from=$(wc -l <"$CAT_LOG")
    stretch "$name" "$CAT_PID" "$2" "${3:-}"
    # "cat: walking(to: 812, then: rest)" names the activity before its first bracket.
    local started
    started=$(tail -n +"$((from + 1))" "$CAT_LOG" | sed -n 's/.*cat: \([A-Za-z]*\).*/\1/p')
    activities[$name]="$(grep -c . <<<"$started" || true) ($(sort <<<"$started" | uniq -c |
        awk '{printf "%s%s %d", (NR > 1 ? ", " : ""), $2, $1}'))"
    echo "                 activities started: ${activities[$name]}"
    stop_cat
}

oneko_stretch() {
    rest_pointer
    local pid
    oneko >/dev/null 2>&1 &
    pid=$!
    E2E_PIDS+=($pid)
    sleep 5 # it runs to the pointer first
    stretch "$1" "$pid" "$2" "${3:-}"
    kill "$pid"
}

purrlox_stretch "purrlox lively" "$LIVELY" lively
oneko_stretch "oneko lively" "$LIVELY" lively
purrlox_stretch "purrlox quiet" "$QUIET"
oneko_stretch "oneko quiet" "$QUIET"

echo
echo "| stretch | seconds | app CPU | X server | compositor | together | app wake-ups/s | activities started |"
echo "|---|---|---|---|---|---|---|---|"
for name in "${rows[@]}"; do
    secs=$LIVELY
    [[ $name == *quiet ]] && secs=$QUIET
    echo "| $name | $secs | ${app_cpu[$name]} % | ${x_cpu[$name]} % | ${comp_cpu[$name]} % |" \
        "${all_cpu[$name]} % | ${app_wakeups[$name]} | ${activities[$name]:--} |"
done
echo
echo "lively, purrlox / oneko, together: $(ratio "${all_cpu[purrlox lively]}" "${all_cpu[oneko lively]}")   (goal: at most 0.8)"
echo "lively, purrlox / oneko, app:      $(ratio "${app_cpu[purrlox lively]}" "${app_cpu[oneko lively]}")"
echo "quiet, purrlox / oneko, together:  $(ratio "${all_cpu[purrlox quiet]}" "${all_cpu[oneko quiet]}")   (goal: at most 0.5)"
echo "quiet, purrlox / oneko, app:       $(ratio "${app_cpu[purrlox quiet]}" "${app_cpu[oneko quiet]}")"
