#!/usr/bin/env bash
# A session-bus peer floods the tray item: 2000 Activate calls at a point on screen, then 2000
# at a point off every screen, then as many SecondaryActivate and ContextMenu. The app keeps
# answering within 0.2 s throughout, writes a few lines about the off-screen points, not one
# each, and a host's click afterwards still opens the window.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/devices_lib.sh"
start_desktop
start_buses
export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8
start_fake watcher watcher
start_cat
ITEM=org.kde.StatusNotifierItem-$CAT_PID-1
wait_for 10 "the item registers with the watcher" grep -q "^registered $ITEM " "$E2E_TMP/watcher.out"
menu() { ask '{"cmd":"menu"}'; }

# flood WHAT CALLS...: the calls sent one after another while the app's answers are timed.
flood() {
    local what=$1 stop=$E2E_TMP/flood-done slowest asked
    shift
    rm -f "$stop"
    python3 "$(dirname "$0")/answer_times.py" "$CAT_SOCKET" "$stop" 2 >"$E2E_TMP/answers" &
    local timer=$!
    sleep 0.3
    for call in "$@"; do
        # shellcheck disable=SC2086
        fake watcher flood "$ITEM" $call
    done
    touch "$stop"
    wait "$timer" || fail "$what: the app stopped answering"
    read -r slowest asked <"$E2E_TMP/answers"
    echo "$what: slowest answer ${slowest}s of $asked"
    (($(echo "$slowest < 0.2" | bc))) || fail "$what: the app took ${slowest}s to answer"
    kill -0 "$CAT_PID" || fail "$what: the app died: $(tail "$CAT_LOG")"
}
flood "2000 Activate on screen" "Activate 2000 900 500"
flood "2000 Activate off screen" "Activate 2000 2147483647 -2147483648"
flood "the other methods" "SecondaryActivate 2000 5000 5000" "ContextMenu 2000 -9000 10"
lines=$(grep -c "off every screen" "$CAT_LOG" || true)
echo "lines about off-screen points: $lines"
((lines >= 1 && lines <= 6)) || fail "$lines lines about off-screen points"

# Still a tray item: a click opens the window, the next one closes it.
if [ "$(menu | jq -r .open)" = true ]; then
    xdotool key Escape
    wait_for 5 "Escape closes the window" sh -c "$CAT_ASK $CAT_SOCKET '{\"cmd\":\"menu\"}' | jq -e '.open == false'"
fi
gdbus call --session -d "$ITEM" -o /StatusNotifierItem -m org.kde.StatusNotifierItem.Activate -- 900 500 >/dev/null
wait_for 5 "a click after the flood opens the window" sh -c "$CAT_ASK $CAT_SOCKET '{\"cmd\":\"menu\"}' | jq -e .open"
echo "PASS"
