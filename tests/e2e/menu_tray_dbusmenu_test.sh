#!/usr/bin/env bash
# The paw's right-click menu in a StatusNotifierItem host that reads dbusmenus (KDE's panel,
# waybar, AppIndicator): a host of the test's own reads the item's Menu, lays the menu out and
# clicks as KDE's panel does. Start focus starts the timer and the menu turns into Stop with
# the time left, which counts down while the host shows it and sends nothing while it does
# not; a click on an entry of the menu as it was before is refused; ids that are not there and
# a flood of calls are answered without harm; Open Purrlox opens the window; Quit ends the
# app; a host that shows no menu still gets the window from ContextMenu; Russian texts.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/devices_lib.sh"
HOST=(/usr/bin/python3 "$(dirname "$0")/dbusmenu_host.py")
"${HOST[0]}" -c 'from gi.repository import Gio' 2>/dev/null ||
    fail "python3-gi is not installed (make deps installs it)"

start_desktop
start_buses
export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
start_fake watcher watcher
start_cat
ITEM=org.kde.StatusNotifierItem-$CAT_PID-1
wait_for 10 "the item registers with the watcher" grep -q "^registered $ITEM " "$E2E_TMP/watcher.out"

host() { "${HOST[@]}" "$ITEM" "$@"; }
prop() {
    gdbus call --session -d "$ITEM" -o "$1" -m org.freedesktop.DBus.Properties.Get "$2" "$3"
}
menu() { ask '{"cmd":"menu"}'; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
menu_closed() { [ "$(menu | jq -r .open)" = false ]; }
close_menu() {
    xdotool key Escape
    wait_for 5 "Escape closes the window" menu_closed
}
labels() { host layout | jq -r 'if .type == "separator" then "--" else .label end' | paste -sd '|'; }
running() { [[ "$(prop /StatusNotifierItem org.kde.StatusNotifierItem ToolTip)" == *"Purrlox · 2"* ]]; }
stopped() { [ "$(prop /StatusNotifierItem org.kde.StatusNotifierItem ToolTip)" = "(<('', @a(iiay) [], 'Purrlox', '')>,)" ]; }

[ "$(prop /StatusNotifierItem org.kde.StatusNotifierItem Menu)" = "(<objectpath '/MenuBar'>,)" ] ||
    fail "Menu: $(prop /StatusNotifierItem org.kde.StatusNotifierItem Menu)"
[ "$(prop /MenuBar com.canonical.dbusmenu Version)" = "(<uint32 3>,)" ] ||
    fail "Version: $(prop /MenuBar com.canonical.dbusmenu Version)"
[ "$(prop /MenuBar com.canonical.dbusmenu Status)" = "(<'normal'>,)" ] || fail "Status"
[ "$(prop /MenuBar com.canonical.dbusmenu TextDirection)" = "(<'ltr'>,)" ] || fail "TextDirection"
[ "$(labels)" = "Open Purrlox|Start focus|--|Quit" ] || fail "idle menu: $(labels)"
start_id=$(host layout | jq -r 'select(.label == "Start focus") | .id')

# Start focus from the menu starts the timer; the menu now offers Stop with the time left.
host watch 4 >"$E2E_TMP/layout-signals.log" &
watcher=$!
E2E_PIDS+=($watcher)
wait_for 5 "the host listens" grep -q watching "$E2E_TMP/layout-signals.log"
[ "$(host click "Start focus")" = ok ] || fail "clicking Start focus"
wait_for 5 "Start focus starts the timer" running
[[ "$(labels)" =~ ^"Open Purrlox|Stop · 2"[45]:[0-9][0-9]" left|--|Quit"$ ]] || fail "running menu: $(labels)"
wait "$watcher" || true
grep -q '"signal": "LayoutUpdated"' "$E2E_TMP/layout-signals.log" ||
    fail "no LayoutUpdated on start: $(cat "$E2E_TMP/layout-signals.log")"

# A click on Start of the menu shown before the timer started does not stop it.
stale=$(host event "$start_id" clicked)
[ "$stale" = org.freedesktop.DBus.Error.InvalidArgs ] ||
    fail "a stale click was taken: $stale"
sleep 0.5
running || fail "a stale Start click changed the timer"
grep -q "sent \"clicked\" to entry $start_id, which is not in the menu now" "$CAT_LOG" ||
    fail "no line for the stale click: $(tail "$CAT_LOG")"

# While the host shows the menu, the time left counts down in it; once closed, the menu is
# quiet (a host asks before it shows it again).
host watch 3.5 open >"$E2E_TMP/open-signals.log"
counted=$(grep -c '"signal": "ItemsPropertiesUpdated".*Stop · ' "$E2E_TMP/open-signals.log" || true)
((counted >= 2 && counted <= 5)) || fail "$counted label updates in 3.5 s while shown: $(cat "$E2E_TMP/open-signals.log") $(grep -i dbus "$CAT_LOG" | tail -5)"
host watch 3 >"$E2E_TMP/closed-signals.log"
! grep -q '"signal"' "$E2E_TMP/closed-signals.log" ||
    fail "signals while no host shows the menu: $(cat "$E2E_TMP/closed-signals.log")"
before=$(host layout | jq -r 'select(.id != 1 and .type != "separator" and .label != "Quit") | .label')
sleep 1.2
after=$(host layout | jq -r 'select(.id != 1 and .type != "separator" and .label != "Quit") | .label')
[ "$before" != "$after" ] || fail "the layout a host reads stands still: $after"

# Bad hosts: ids that are not there get errors (or are left out), a flood is answered.
lines_before=$(wc -l <"$CAT_LOG")
host bad >"$E2E_TMP/bad.out" || fail "the bad host failed: $(cat "$E2E_TMP/bad.out")"
cat "$E2E_TMP/bad.out"
grep -q '^layout 99: error org.freedesktop.DBus.Error.InvalidArgs' "$E2E_TMP/bad.out" || fail "layout 99"
grep -q '^property 99: error org.freedesktop.DBus.Error.InvalidArgs' "$E2E_TMP/bad.out" || fail "property 99"
grep -q '^group 1,99: answer \[\[\[1, {"label": "Open Purrlox"}\]\]\]' "$E2E_TMP/bad.out" || fail "group 1,99"
grep -Eq '^show group: answer \[\[(0)?\], \[98\]\]' "$E2E_TMP/bad.out" || fail "show group"
grep -q '^flood: 1500 answered, 1500 refused' "$E2E_TMP/bad.out" || fail "flood"
kill -0 "$CAT_PID" || fail "the app died: $(tail "$CAT_LOG")"
flood_lines=$(tail -n +"$lines_before" "$CAT_LOG" | grep -c "menu host" || true)
((flood_lines < 20)) || fail "$flood_lines log lines for one bad host"
grep -q "calls the menu more than 200 times a second" "$CAT_LOG" || fail "no line for the flood"
running || fail "the bad host changed the timer"

# Stop from the menu.
[ "$(host click "Stop")" = ok ] || fail "clicking Stop"
wait_for 5 "Stop ends the timer" stopped
[ "$(labels)" = "Open Purrlox|Start focus|--|Quit" ] || fail "menu after stop: $(labels)"

# Open Purrlox opens the window, and a second one keeps it open; the paw's own clicks still
# open it, ContextMenu too (a host that shows no menus).
[ "$(host click "Open Purrlox")" = ok ] || fail "clicking Open Purrlox"
wait_for 5 "Open Purrlox opens the window" menu_open
host click "Open Purrlox" >/dev/null
sleep 0.5
menu_open || fail "a second Open Purrlox closed the window"
close_menu
for method in Activate ContextMenu; do
    gdbus call --session -d "$ITEM" -o /StatusNotifierItem -m "org.kde.StatusNotifierItem.$method" \
        -- 700 400 >/dev/null
    wait_for 5 "$method opens the window" menu_open
    close_menu
done

# Quit from the menu ends the app, booking nothing twice.
[ "$(host click "Quit")" = ok ] || fail "clicking Quit"
for _ in $(seq 100); do kill -0 "$CAT_PID" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$CAT_PID" 2>/dev/null || fail "Quit left the app running"
quit_rc=0
wait "$CAT_PID" || quit_rc=$?
[ "$quit_rc" = 0 ] || fail "Quit ended the app with $quit_rc"

# In Russian the menu speaks Russian.
rm -f "$CAT_SOCKET"
LANG=ru_RU.UTF-8 LANGUAGE=ru start_cat
ITEM=org.kde.StatusNotifierItem-$CAT_PID-1
wait_for 10 "the Russian item registers" grep -q "^registered $ITEM " "$E2E_TMP/watcher.out"
[ "$(labels)" = "Открыть Purrlox|Начать фокус|--|Выйти" ] || fail "Russian menu: $(labels)"
[ "$(host click "Начать фокус")" = ok ] || fail "clicking Начать фокус"
wait_for 5 "the Russian Start starts the timer" running
[[ "$(labels)" == "Открыть Purrlox|Стоп · осталось 2"* ]] || fail "Russian running menu: $(labels)"
echo "PASS"
