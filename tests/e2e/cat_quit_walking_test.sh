#!/usr/bin/env bash
# Quitting while the cat walks, by each way out: a TERM signal, Quit in the menu, and the
# relaunch that a new language asks for. Each time the process ends cleanly (exit status 0, no
# sanitizer report in its output) while its panel is in the middle of a run of moves.
source "$(dirname "$0")/cat_lib.sh"

start_desktop
start_tray
export LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES

menu() { ask '{"cmd":"menu"}'; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
screen_is() { [ "$(menu | jq -r .screen)" = "$1" ]; }
icon_docked() { [ "$(menu | jq -r '.tray.icon[2]')" -gt 0 ]; }
click_control() {
    local xy
    xy=$(menu | jq -r --arg n "$1" '.controls[$n].frame | "\(.[0] + (.[2] / 2 | floor)) \(.[1] + (.[3] / 2 | floor))"')
    [ "$xy" != "null null" ] || fail "no control $1 in $(menu)"
    # shellcheck disable=SC2086
    xdotool mousemove $xy click 1
}
open_by_tray() {
    local icon
    icon=$(menu | jq -r '.tray.icon | "\(.[0] + .[2] / 2 | floor) \(.[1] + .[3] / 2 | floor)"')
    # shellcheck disable=SC2086
    xdotool mousemove $icon click 1
    wait_for 5 "the menu window opens" menu_open
}

# A walk with at least 300 points to go, so the quit lands in the middle of it.
far_to_go() {
    local reading to
    reading=$(cat_state) || return 1
    [ "$(jq -r .kind <<<"$reading")" = walking ] || return 1
    to=$(jq -r '.activity' <<<"$reading" | sed -n 's/^walking(to: \([-0-9.]*\),.*/\1/p')
    [ -n "$to" ] && (($(echo "x = $to - $(jq -r .x <<<"$reading"); x * x > 300 * 300" | bc)))
}
# Sends the cat off on walks until one is long, then lets it move for a moment.
walk_far() {
    local tries
    ask '{"cmd":"calm","seconds":3600}' >/dev/null
    for tries in $(seq 1 100); do
        far_to_go && break
        ask '{"cmd":"due","what":"wander"}' >/dev/null
        sleep 0.2
    done
    far_to_go || fail "the cat never set off on a long walk"
    sleep 0.3
    far_to_go || fail "the walk ended too soon"
}

# 1. TERM in the middle of a walk.
start_cat
walk_far
kill -TERM "$CAT_PID"
ended_cleanly "$CAT_PID" "TERM while walking"
echo "ok: TERM while walking"
grep -q 'quitting on signal 15' "$CAT_LOG" || fail "no quit line in the log"

# 2. Quit in the menu, clicked while the cat walks.
rm -f "$CAT_SOCKET"
start_cat
wait_for 10 "the paw docks in the tray" icon_docked
open_by_tray
walk_far
click_control quitButton
ended_cleanly "$CAT_PID" "Quit while walking"
echo "ok: Quit while walking"

# 3. A new language: the app relaunches itself while the cat walks.
rm -f "$CAT_SOCKET"
start_cat
wait_for 10 "the paw docks in the tray" icon_docked
open_by_tray
click_control languageButton
wait_for 5 "the language screen opens" screen_is language
walk_far
old=$CAT_PID
click_control languageRow2
ended_cleanly "$old" "relaunch for a language while walking"
echo "ok: relaunch for a language while walking"
# The new process, known by the private socket it was started with, is ended here too.
rm -f "$CAT_SOCKET"
wait_for 15 "the relaunched app opens its socket" test -S "$CAT_SOCKET"
relaunched=""
for cmdline in /proc/[0-9]*/cmdline; do
    if { tr '\0' ' ' <"$cmdline"; } 2>/dev/null | grep -qF -- "--automation $CAT_SOCKET"; then
        pid=${cmdline#/proc/}
        relaunched=${pid%/cmdline}
        E2E_PIDS+=("$relaunched")
    fi
done
[ -n "$relaunched" ] || fail "no relaunched process"
echo "PASS"
