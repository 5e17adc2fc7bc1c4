#!/usr/bin/env bash
# What the cat holds in memory, on one Xvfb + openbox + picom session: a sitting cat (its timers
# postponed) SIT_SECONDS (45) after its start, then right after a busy stretch of BUSY_SECONDS
# (180) of walks, climbs, snacks, hunts and yawns made due one after another under a moving
# pointer, then once it has sat again for SETTLE_SECONDS (100, two of the frame sweeps). Each
# reading is the process's resident memory (RSS), its proportional share (PSS, shared libraries
# split between their users) and its anonymous memory (the malloc heap, its mmap'd blocks and the
# thread stacks: what the process itself allocated), from /proc/PID/smaps_rollup, in MB, with
# the peak resident memory since the start (VmHWM). With a second binary (the code before a
# change, say) the same runs for it in the same session.
# Usage: bench/memory_bench.sh build/purrlox [OLD_PURRLOX]   (needs the x11probe and cat-ask
#        targets)
NEW=$1
OLD=${2:-}
source "$(dirname "$0")/bench_lib.sh"
SIT=${SIT_SECONDS:-45}
BUSY=${BUSY_SECONDS:-180}
SETTLE=${SETTLE_SECONDS:-100}
[ -z "$OLD" ] || [ -x "$OLD" ] || fail "no binary at $OLD"

bench_desktop

# memory PID: "rss pss anonymous" in MB.
memory() {
    awk '/^Rss:/ {r = $2} /^Pss:/ {p = $2} /^Anonymous:/ {a = $2}
        END {printf "%.1f %.1f %.1f", r / 1024, p / 1024, a / 1024}' "/proc/$1/smaps_rollup"
}
row() {
    local r p a peak
    read -r r p a <<<"$(memory "$CAT_PID")"
    peak=$(awk '/^VmHWM:/ {printf "%.1f", $2 / 1024}' "/proc/$CAT_PID/status")
    printf '%-4s %-32s RSS %5.1f MB  PSS %5.1f MB  anonymous %5.1f MB  (peak RSS %5.1f MB)\n' \
        "$1" "$2" "$r" "$p" "$a" "$peak"
}

# busy SECONDS: whenever the cat sits, the next of its activities is made due, and it is taken
# out of any bed it went to. Sets seen to what the cat was found doing, with how many seconds,
# and most to the largest anonymous memory read at those seconds (mostWhile: what it did then).
busy() {
    local whats=(wander climb hunt wander climb yawn snack) i=0 until kind anon
    local -A count=()
    most=0 mostWhile=
    until=$(echo "$(now) + $1" | bc)
    while (($(echo "$(now) < $until" | bc))); do
        kind=$(cat_state | jq -r .kind)
        count[$kind]=$((${count[$kind]:-0} + 1))
        read -r _ _ anon <<<"$(memory "$CAT_PID")"
        if (($(echo "$anon > $most" | bc))); then most=$anon mostWhile=$kind; fi
        case $kind in
        inBed | sleeping) ask '{"cmd":"calm","seconds":3600}' >/dev/null ;;
        idle)
            ask "{\"cmd\":\"due\",\"what\":\"${whats[i % ${#whats[@]}]}\"}" >/dev/null
            i=$((i + 1))
            ;;
        esac
        sleep 1
    done
    seen=$(for kind in "${!count[@]}"; do echo "$kind ${count[$kind]}"; done | sort -k2 -rn |
        awk '{printf "%s%s %s", (NR > 1 ? ", " : ""), $1, $2}')
}

run() {
    local name=$1 started
    E2E_PURRLOX=$2
    CAT_SOCKET=$E2E_TMP/$name.sock
    CAT_LOG=$E2E_TMP/$name.log
    rm -rf "$XDG_CONFIG_HOME/purrlox"
    xdotool mousemove 1500 200
    started=$(now)
    start_cat
    ask '{"cmd":"calm","seconds":3600}' >/dev/null
    wait_for 60 "the $name cat sits" cat_is idle
    sleep "$(echo "x = $started + $SIT - $(now); if (x < 0) 0 else x" | bc)"
    row "$name" "sitting, ${SIT} s after the start"

    jump_pointer &
    E2E_PIDS+=($!)
    busy "$BUSY"
    kill "${E2E_PIDS[-1]}"
    row "$name" "after ${BUSY} s of busy cat"
    echo "         (seconds found: $seen; anonymous at most $most MB, while $mostWhile)"

    xdotool mousemove 1500 200
    ask '{"cmd":"calm","seconds":3600}' >/dev/null
    wait_for 60 "the $name cat sits again" cat_is idle
    sleep "$SETTLE"
    row "$name" "sitting again ${SETTLE} s later"
    stop_cat
}

run new "$NEW"
[ -z "$OLD" ] || run old "$OLD"
echo "goal: a sitting cat at most 60 MB resident, and no more after a busy stretch"
