#!/usr/bin/env bash
# The tray icon's context menu with a real right-click on trayer's paw: it offers Open Purrlox,
# Start focus and Quit; Start focus starts the pomodoro, after which the item reads Stop with
# the time left and stops it; Open Purrlox opens the menu window; Quit ends the app cleanly.
# The app's windows carry the desktop entry's id as their class.
source "$(dirname "$0")/cat_lib.sh"

start_desktop
start_tray
export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
FOCUS_LOG=$PURRLOX_DATA_HOME/purrlox/focusLog.json

menu() { ask '{"cmd":"menu"}'; }
icon_docked() { [ "$(menu | jq -r '.tray.icon[2]')" -gt 0 ]; }
context_open() { [ "$(menu | jq -r .tray.menu.open)" = true ]; }
context_closed() { [ "$(menu | jq -r .tray.menu.open)" = false ]; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
counting() { [ "$(menu | jq -r .tray.minutes)" = "$1" ]; }
gone() { ! kill -0 "$1" 2>/dev/null; }
item() { menu | jq -r --arg n "$1" '.tray.menu.items[] | select(.name == $n) | .'"$2"; }
right_click_paw() {
    local xy
    xy=$(menu | jq -r '.tray.icon | "\(.[0] + .[2] / 2 | floor) \(.[1] + .[3] / 2 | floor)"')
    # shellcheck disable=SC2086
    xdotool mousemove $xy click 3
    wait_for 5 "the context menu opens (right-click at $xy)" context_open
    sleep 0.2
}
choose() {
    local xy
    xy=$(item "$1" 'frame | "\(.[0] + .[2] / 2 | floor) \(.[1] + .[3] / 2 | floor)"')
    [ -n "$xy" ] || fail "no item $1 in $(menu | jq -c .tray.menu)"
    # shellcheck disable=SC2086
    xdotool mousemove $xy
    sleep 0.2
    xdotool click 1
}

start_cat
wait_for 10 "the paw docks in the tray" icon_docked

# The windows say which desktop entry they belong to.
panel=$(panel_window)
[ -n "$panel" ] || fail "no cat panel of class app.purrlox.Purrlox: $(xwininfo -root -children | grep -i purrlox)"
xprop -id "$panel" WM_CLASS | grep -q '"purrlox", "app.purrlox.Purrlox"' ||
    fail "WM_CLASS: $(xprop -id "$panel" WM_CLASS)"

right_click_paw
[ "$(menu | jq -c '[.tray.menu.items[].text]')" = '["Open Purrlox","Start focus","Quit"]' ] ||
    fail "context menu items: $(menu | jq -c .tray.menu.items)"
[ "$(menu | jq -r .open)" = false ] || fail "a right-click opened the menu window too"
choose trayStartStop
wait_for 5 "the pomodoro starts from the context menu" counting 25
wait_for 5 "the context menu closes" context_closed
sleep 2 # a stretch of a few seconds, worth booking

right_click_paw
text=$(item trayStartStop text)
[[ $text =~ ^Stop\ ·\ 2[45]:[0-9][0-9]\ left$ ]] || fail "the running item reads '$text'"
[ -n "${MENU_SCREENS:-}" ] && import -window root "$MENU_SCREENS/tray_context.png"
choose trayStartStop
wait_for 5 "Stop from the context menu" counting null
wait_for 5 "the stretch is booked" sh -c "[ \"\$(jq length '$FOCUS_LOG' 2>/dev/null)\" = 1 ]"

right_click_paw
choose trayOpen
wait_for 5 "Open Purrlox opens the menu window" menu_open
xdotool key Escape
wait_for 5 "Escape closes it" sh -c "[ \"\$('$CAT_ASK' '$CAT_SOCKET' '{\"cmd\":\"menu\"}' | jq -r .open)\" = false ]"

right_click_paw
choose trayQuit
wait_for 10 "Quit ends the app" gone "$CAT_PID"
wait "$CAT_PID" && status=0 || status=$?
[ "$status" = 0 ] || fail "Quit ended with status $status"
echo "PASS"
