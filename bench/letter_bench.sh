#!/usr/bin/env bash
# What the bubble's transitions cost. Prints the app's wake-ups per second and CPU with the cat
# sitting and then sitting with a letter open (once the bubble has grown, nothing should wake
# more than for the sitting cat), and the longest frame of the bubble's growth in each of ten
# letter openings, read from the frames the view records (none when the build does not record
# them, as before the transitions).
# Usage: bench/letter_bench.sh build/purrlox   (needs the x11probe and cat-ask targets)
source "$(dirname "$0")/bench_lib.sh"
SECONDS_EACH=${BENCH_SECONDS:-30}
OPENINGS=${BENCH_OPENINGS:-10}

bench_desktop
# Context switches of the main thread, which the frame clock and the view's timers wake (Qt's
# pool threads come and go with the drawing, and take their counts with them when they end).
wakeups() {
    awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ {n += $2} END {print n + 0}' "/proc/$1/task/$1/status"
}
measure() {
    local a w
    a=$(cpu_ticks "$CAT_PID") w=$(wakeups "$CAT_PID")
    sleep "$SECONDS_EACH"
    printf '%-22s %8.2f wake-ups/s %6.2f %% CPU\n' "$1" \
        "$(echo "scale=2; ($(wakeups "$CAT_PID") - $w) / $SECONDS_EACH" | bc)" \
        "$(echo "scale=4; 100 * ($(cpu_ticks "$CAT_PID") - $a) / ($hz * $SECONDS_EACH)" | bc)"
}
state_has() { cat_state | jq -e "$@" >/dev/null; }
view() { widget CatView | jq -c '.automation // {}'; }
view_is() { view | jq -e "$@" >/dev/null; }

start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 40 "the cat sits at its entry spot" cat_is idle
nudge
sleep 2
measure "sitting"

for i in $(seq "$OPENINGS"); do
    ask "{\"cmd\":\"deliver\",\"text\":\"Letter $i: stretch your back and drink some water\"}" >/dev/null
done
wait_for 90 "the cat brings the letters" state_has '.carrying and .kind == "idle"'
recording=$(view | jq -e 'has("frames")' >/dev/null && echo yes || echo no)
longest=() frames=()
for i in $(seq "$OPENINGS"); do
    read -r cat_x cat_y <<<"$(cat_body_point)"
    xdotool mousemove "$cat_x" "$cat_y" click 1
    wait_for 5 "letter $i opens" state_has '.kind == "reading"'
    xdotool mousemove 1500 200
    if [ "$recording" = yes ]; then
        wait_for 5 "bubble $i has grown" view_is '.transition == "open" and .transitioning == false'
        # The longest gap between two frames, and which frame ended it.
        longest+=("$(view | jq -r '[.frames as $f | range(1; $f | length) | [($f[.][0] - $f[. - 1][0]) * 1000, .]] | max_by(.[0]) | "\(.[0] | . * 10 | round / 10)@\(.[1])"')")
        frames+=("$(view | jq '.frames | length')")
    fi
    if ((i == OPENINGS)); then
        sleep 2
        measure "letter open"
    fi
    click_on ChunkyButton
    wait_for 5 "letter $i is read" state_has '.kind != "reading"'
    ask '{"cmd":"calm","seconds":3600}' >/dev/null
    wait_for 10 "the cat sits again" state_has '.kind == "idle"'
    sleep 0.5
done
if [ "$recording" = yes ]; then
    echo "longest frame of each opening (ms@frame): ${longest[*]}"
    echo "frames of each opening: ${frames[*]}"
    echo "longest of all: $(printf '%s\n' "${longest[@]%@*}" | sort -g | tail -1) ms (the display's frame: $(cat_state | jq '1000 / .frameRate | . * 10 | round / 10') ms)"
fi
