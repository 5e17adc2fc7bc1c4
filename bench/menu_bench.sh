#!/usr/bin/env bash
# The menu window's costs on the e2e desktop with a tray (trayer):
#  - from the click on the tray icon to the window's first paint, over BENCH_OPENS (10) opens
#    (the click's time is taken just before xdotool sends it; the app logs when painting starts);
#  - the CPU of the sitting cat with the menu window closed, beside a build from before the menu
#    (pass its binary as the second argument), and with a pomodoro running (tray counting down).
# Each CPU reading lasts BENCH_SECONDS (30).
# Usage: bench/menu_bench.sh build/purrlox [old/purrlox]   (needs the cat-ask target built)
source "$(dirname "$0")/../tests/e2e/cat_lib.sh"
OLD=${2:-}
SECONDS_EACH=${BENCH_SECONDS:-30}
OPENS=${BENCH_OPENS:-10}
export QT_LOGGING_RULES="app.purrlox.Purrlox.app.debug=true"
export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8

start_desktop
start_tray
xdotool mousemove 700 500
hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# cpu PID: % of one core over SECONDS_EACH.
cpu() {
    local a
    a=$(cpu_ticks "$1")
    sleep "$SECONDS_EACH"
    echo "scale=2; 100 * ($(cpu_ticks "$1") - $a) / ($hz * $SECONDS_EACH)" | bc
}
menu() { ask '{"cmd":"menu"}'; }
icon_docked() { [ "$(menu | jq -r '.tray.icon[2]')" -gt 0 ]; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
menu_closed() { [ "$(menu | jq -r .open)" = false ]; }
sit_still() {
    ask '{"cmd":"calm","seconds":3600}' >/dev/null
    wait_for 40 "the cat sits" cat_is idle
    sleep 2
}

if [ -n "$OLD" ]; then
    E2E_PURRLOX=$OLD
    start_cat
    sit_still
    old_sitting=$(cpu "$CAT_PID")
    stop_cat
    rm -f "$CAT_SOCKET"
    E2E_PURRLOX=$1
fi

start_cat
wait_for 10 "the paw docks" icon_docked
sit_still
new_sitting=$(cpu "$CAT_PID")

# Click to first paint.
read -r ix iy <<<"$(menu | jq -r '.tray.icon | "\(.[0] + .[2] / 2 | floor) \(.[1] + .[3] / 2 | floor)"')"
xdotool mousemove "$ix" "$iy"
times=()
for ((i = 0; i < OPENS; i++)); do
    before=$(grep -c 'menu window painting' "$CAT_LOG" || true)
    clicked=$(date +%s%3N)
    xdotool click 1
    wait_for 5 "the window opens" menu_open
    wait_for 5 "it paints" sh -c "[ \$(grep -c 'menu window painting' '$CAT_LOG') -gt $before ]"
    painted=$(grep 'menu window painting' "$CAT_LOG" | tail -1 | sed 's/.*, at \([0-9]*\).*/\1/')
    times+=($((painted - clicked)))
    xdotool key Escape
    wait_for 5 "the window closes" menu_closed
    sleep 0.3
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(sed -n "$(((OPENS + 1) / 2))p" <<<"$sorted")

# A running pomodoro with the window closed: the tray counts down.
ask '{"cmd":"menu","open":true}' >/dev/null
wait_for 5 "the window opens" menu_open
read -r sx sy <<<"$(menu | jq -r '.controls.startStop.frame | "\(.[0] + .[2] / 2 | floor) \(.[1] + .[3] / 2 | floor)"')"
xdotool mousemove "$sx" "$sy" click 1
xdotool key Escape
wait_for 5 "the window closes" menu_closed
[ "$(menu | jq -r .tray.minutes)" = 25 ] || fail "no countdown in the tray"
xdotool mousemove 700 500
sleep 1
redraws=$(menu | jq -r .tray.iconRedraws)
counting=$(cpu "$CAT_PID")
redraws_after=$(menu | jq -r .tray.iconRedraws)

echo "click on the tray icon to first paint (ms, $OPENS opens): ${times[*]}"
echo "  median $median ms, slowest $(tail -1 <<<"$sorted") ms   (goal: under 100 ms)"
[ -n "$OLD" ] && echo "sitting cat, build without the menu:   $old_sitting % of a core"
echo "sitting cat, menu window closed:       $new_sitting % of a core"
echo "sitting cat, pomodoro counting down:   $counting % of a core"
echo "tray icon redraws while counting down: $((redraws_after - redraws)) in ${SECONDS_EACH} s (one a minute)"
