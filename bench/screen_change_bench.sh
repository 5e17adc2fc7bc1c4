#!/usr/bin/env bash
# What a screen change costs: 80 RANDR mode switches in 8 s (1024x768 <-> 1920x1080) under a
# still cat, on one Xvfb + openbox + picom session. Prints the time from the server's
# screen-change notification to the cat panel's move (as another client sees both), and the
# app's CPU over the 8 s. With a second binary (the code before this change, say), the same is
# measured for it in the same session, so the two can be compared.
# Usage: bench/screen_change_bench.sh build/purrlox [OLD_PURRLOX]
#        (needs the x11probe, cat-ask and randr-mode targets built)
NEW=$1
OLD=${2:-}
source "$(dirname "$0")/../tests/e2e/cat_lib.sh"
RANDR_MODE=$(dirname "$NEW")/tests/e2e/randr-mode
[ -x "$RANDR_MODE" ] || fail "randr-mode not found at $RANDR_MODE"
SWITCHES=${BENCH_SWITCHES:-80}
INTERVAL_MS=${BENCH_INTERVAL_MS:-100}
start_desktop
hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

run() {
    local name=$1 binary=$2 before after result seconds
    E2E_PURRLOX=$binary
    CAT_SOCKET=$E2E_TMP/$name.sock
    CAT_LOG=$E2E_TMP/$name.log
    start_cat
    ask '{"cmd":"calm","seconds":3600}' >/dev/null
    wait_for 60 "the $name cat sits still" cat_is idle
    sleep 2
    before=$(cpu_ticks "$CAT_PID")
    local start
    start=$(now)
    result=$("$RANDR_MODE" --cycle "$SWITCHES" "$INTERVAL_MS" "$(panel_window)" 1024 768 1920 1080)
    seconds=$(echo "$(now) - $start" | bc)
    after=$(cpu_ticks "$CAT_PID")
    printf '%-6s %s\n' "$name" "$result"
    printf '%-6s CPU over %d switches in %.1f s: %s %% of a core\n' "$name" "$SWITCHES" "$seconds" \
        "$(echo "scale=2; 100 * ($after - $before) / ($hz * $seconds)" | bc)"
    stop_cat
}

echo "screen-change bench: $SWITCHES mode switches, ${INTERVAL_MS} ms apart; a frame at 60 Hz is 16.7 ms"
run new "$NEW"
[ -n "$OLD" ] && run old "$OLD"
echo "(recorded on the code before this change: 5.4 % of a core for the same 80 switches)"
