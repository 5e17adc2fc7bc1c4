#!/usr/bin/env bash
# Where a sitting cat's wake-ups come from: Purrlox sits under a still pointer (its own timers
# put off, as in cpu_bench.sh's sitting case) and, over BENCH_SECONDS (20) each, this prints
# the context switches of every thread by name, then the waits each thread makes (poll, ppoll,
# epoll_wait, with their timeouts, and timerfd_settime) as strace sees them. The two are taken
# one after the other, as strace wakes the app itself.
# Usage: bench/sitting_wakeups.sh build/purrlox   (needs the x11probe and cat-ask targets)
source "$(dirname "$0")/bench_lib.sh"
SECS=${BENCH_SECONDS:-20}
command -v strace >/dev/null || fail "strace is not installed"

bench_desktop
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 40 "the cat sits at its entry spot" cat_is idle
nudge
sleep 3

# Every thread's switches, by thread id and name.
thread_switches() {
    local task
    for task in /proc/"$CAT_PID"/task/*; do
        awk -v tid="${task##*/}" -v name="$(cat "$task/comm" 2>/dev/null)" \
            '/^voluntary_ctxt_switches:/ {v = $2} /^nonvoluntary_ctxt_switches:/ {i = $2}
             END {print tid, v + 0, i + 0, name}' \
            "$task/status" 2>/dev/null || true
    done
}
before=$(thread_switches)
sleep "$SECS"
after=$(thread_switches)
echo "context switches per second over $SECS s, per thread (voluntary + involuntary):"
join <(sort <<<"$before") <(sort <<<"$after") |
    awk -v s="$SECS" '{v = ($5 - $2) / s; i = ($6 - $3) / s; tv += v; ti += i
            printf "  %-8s %-20s %6.2f = %6.2f + %6.2f\n", $1, $7, v + i, v, i}
        END {printf "  %-29s %6.2f = %6.2f + %6.2f\n", "all threads", tv + ti, tv, ti}'

echo
echo "waits per second over $SECS s, per thread, syscall and timeout (ms):"
# BENCH_STRACE_OUT=FILE keeps the trace for a closer look.
timeout -s INT "$SECS" strace -f -qq -p "$CAT_PID" -e trace=poll,ppoll,epoll_wait,timerfd_settime \
    -o "$E2E_TMP/strace.txt" 2>/dev/null || true
# Lines look like "1234  poll([{fd=3, ...}], 4, 499) = 0 (Timeout)"; ppoll's timeout is a timespec.
perl -ne '
    my ($tid, $call) = /^(\d+)\s+(\w+)\(/ or next;
    my $to = "-";
    if ($call eq "poll" || $call eq "epoll_wait") { $to = $1 if /, (-?\d+)\) +=/ }
    elsif ($call eq "ppoll") {
        if (/tv_sec=(\d+), tv_nsec=(\d+)/) { $to = int($1 * 1000 + $2 / 1e6) } else { $to = -1 }
    }
    # Bucketed: the timeout says how soon the next timer of the thread falls.
    my $b = $to eq "-" ? "-" : $to < 0 ? "none" : $to == 0 ? "0" : $to <= 16 ? "1-16"
        : $to <= 100 ? "17-100" : $to <= 1000 ? "101-1000" : ">1000";
    $n{"$tid $call $b"}++;
    END { printf "  %-40s %6.2f\n", $_, $n{$_} / '"$SECS"' for keys %n }' "$E2E_TMP/strace.txt" |
    sort -k1,1n -k4,4nr
[ -z "${BENCH_STRACE_OUT:-}" ] || cp "$E2E_TMP/strace.txt" "$BENCH_STRACE_OUT"
for task in /proc/"$CAT_PID"/task/*; do echo "  thread ${task##*/} is $(cat "$task/comm")"; done
