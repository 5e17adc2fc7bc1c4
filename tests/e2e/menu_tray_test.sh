#!/usr/bin/env bash
# The menu window behind the tray icon, driven with real clicks on a desktop with a tray:
# it opens under the icon, cream and 310 pixels wide inside the work area; Start counts down
# in the tray; Stop and a TERM signal both leave the stretch in the stored focus log; the
# "Open at login" toggle adds and removes the autostart entry; choosing Русский relaunches the
# app in Russian. Screenshots go to $MENU_SCREENS when set.
source "$(dirname "$0")/cat_lib.sh"

start_desktop
start_tray
export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
AUTOSTART=$XDG_CONFIG_HOME/autostart/app.purrlox.Purrlox.desktop
FOCUS_LOG=$PURRLOX_DATA_HOME/purrlox/focusLog.json

menu() { ask '{"cmd":"menu"}'; }
# "x y" of the centre of a named control of the menu window.
centre_of() {
    menu | jq -r --arg n "$1" '.controls[$n].frame | "\(.[0] + (.[2] / 2 | floor)) \(.[1] + (.[3] / 2 | floor))"'
}
click_at() { xdotool mousemove "$1" "$2" click 1; }
click_control() {
    local xy
    xy=$(centre_of "$1")
    [ "$xy" != "null null" ] || fail "no control $1 in $(menu)"
    # shellcheck disable=SC2086
    click_at $xy
}
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
menu_closed() { [ "$(menu | jq -r .open)" = false ]; }
tray_minutes_are() { [ "$(menu | jq -r .tray.minutes)" = "$1" ]; }
screen_is() { [ "$(menu | jq -r .screen)" = "$1" ]; }
stretches_are() { [ "$(stored_stretches)" = "$1" ]; }
gone() { ! kill -0 "$1" 2>/dev/null; }
icon_docked() { [ "$(menu | jq -r '.tray.icon[2]')" -gt 0 ] && icon_in_tray; }
# The paw's window sits inside trayer's panel window.
icon_in_tray() {
    local tree
    tree=$(xwininfo -root -tree)
    grep -A4 '"panel": ("panel" "trayer")' <<<"$tree" | grep -q '"Purrlox"'
}
open_by_tray() {
    local icon
    icon=$(menu | jq -r '.tray.icon | "\(.[0] + .[2] / 2 | floor) \(.[1] + .[3] / 2 | floor)"')
    # shellcheck disable=SC2086
    click_at $icon
    wait_for 5 "the menu window opens (after a click at $icon)" menu_open
}
shoot() { [ -n "${MENU_SCREENS:-}" ] && import -window root -crop "$(menu | jq -r '.frame | "\(.[2])x\(.[3])+\(.[0])+\(.[1])"')" "$MENU_SCREENS/$1"; true; }
stored_stretches() { jq length "$FOCUS_LOG" 2>/dev/null || echo 0; }

start_cat
wait_for 10 "the paw docks in the tray" icon_docked
# The first start turned launch at login on.
wait_for 5 "the first start writes the autostart entry" test -f "$AUTOSTART"
grep -q '^Exec=".*purrlox"$' "$AUTOSTART" || fail "odd autostart entry: $(cat "$AUTOSTART")"

# The panel restarts: the paw docks into the new tray.
kill "$TRAY_PID"
wait "$TRAY_PID" 2>/dev/null || true
! icon_in_tray || fail "the paw still shows in a tray that is gone"
start_tray
wait_for 10 "the paw docks into the restarted tray" icon_docked

# A click on the paw: the window under it, 310 wide, inside the work area, cream behind.
open_by_tray
read -r wx wy ww wh <<<"$(menu | jq -r '.frame | map(tostring) | join(" ")')"
[ "$ww" = 310 ] || fail "menu window is $ww wide"
read -r ix iy iw ih <<<"$(menu | jq -r '.tray.icon | map(tostring) | join(" ")')"
((wy >= iy + ih && wy >= 24 && wx >= 0 && wx + ww <= E2E_WIDTH && wy + wh <= E2E_HEIGHT)) ||
    fail "menu window at $wx,$wy ${ww}x$wh, icon at $ix,$iy"
pixel=$(import -window root -crop "1x1+$((wx + 4))+$((wy + wh / 2))" -depth 8 txt:- | tail -1)
[[ $pixel == *"#FFF4EA"* ]] || fail "no cream at the window's edge: $pixel"
shoot menu_main_en.png

# With picom running the window casts a soft shadow: over a white xterm, the pixels just below
# its visible bottom edge are darker than the same xterm farther down.
xdotool key Escape
wait_for 5 "Escape closes the window" menu_closed
wall=$(open_xterm wall "200x70+$((wx - 300))+0")
open_by_tray
brightness() { import -window root -crop "1x1+$1+$2" -depth 8 -colorspace gray txt:- | tail -1 | sed -E 's/.*gray\(([0-9.]+).*/\1/'; }
[ -n "${MENU_SCREENS:-}" ] && import -window root "$MENU_SCREENS/menu_shadow.png"
below=$(brightness $((wx + ww / 2)) $((wy + wh + 2)))
away=$(brightness $((wx + ww / 2)) $((wy + wh + 40)))
awk -v b="$below" -v a="$away" 'BEGIN { exit !(a > 200 && b < a - 8) }' ||
    fail "no shadow under the window: $below just below it, $away farther down"
xdotool key Escape
wait_for 5 "Escape closes the window" menu_closed
xdotool windowkill "$wall"

# Escape closes it; so does a click elsewhere.
xdotool key Escape
wait_for 5 "Escape closes the window" menu_closed
open_by_tray
click_at 400 600
wait_for 5 "a click elsewhere closes the window" menu_closed
open_by_tray

# Start: the tray counts down, the tooltip ticks every second.
click_control startStop
wait_for 5 "the tray shows 25 minutes" tray_minutes_are 25
first=$(menu | jq -r .tray.tooltip)
sleep 2.2
second=$(menu | jq -r .tray.tooltip)
[[ $first == "Purrlox · 2"[45]:* && $first != "$second" ]] || fail "tooltip did not tick: $first / $second"
[ "$(menu | jq -r .controls.startStop.text)" = Stop ] || fail "the button does not say Stop"

# Stop books the stretch into the stored log.
click_control startStop
wait_for 5 "the stretch is stored" stretches_are 1
[ "$(menu | jq -r .tray.minutes)" = null ] || fail "the tray still counts after Stop"
jq -e '.[0].seconds >= 2' "$FOCUS_LOG" >/dev/null || fail "stored stretch: $(cat "$FOCUS_LOG")"

# Open at login: off removes the entry, on writes it again.
click_control loginToggle
wait_for 5 "the autostart entry goes" test ! -f "$AUTOSTART"
[ "$(menu | jq -r .controls.loginToggle.checked)" = false ] || fail "toggle still on"
click_control loginToggle
wait_for 5 "the autostart entry comes back" test -f "$AUTOSTART"

# TERM during a pomodoro: the app quits normally and the open stretch is stored.
click_control startStop
sleep 2
kill -TERM "$CAT_PID"
wait_for 10 "the app quits on TERM" gone "$CAT_PID"
[ "$(stored_stretches)" = 2 ] || fail "TERM lost the open stretch: $(cat "$FOCUS_LOG")"
grep -q 'quitting on signal 15' "$CAT_LOG" || fail "no quit line in the log"

# The language screen; choosing Русский relaunches in Russian.
rm -f "$CAT_SOCKET"
start_cat
wait_for 10 "the paw docks again" icon_docked
open_by_tray
click_control languageButton
wait_for 5 "the language screen opens" screen_is language
sleep 0.3
shoot menu_language_en.png
[ "$(menu | jq -r .controls.languageRow2.text)" = "Русский" ] || fail "no Русский row: $(menu)"
old=$CAT_PID
click_control languageRow2
wait_for 10 "the old process quits" gone "$old"
rm -f "$CAT_SOCKET"
wait_for 15 "the relaunched app opens its socket" test -S "$CAT_SOCKET"
CAT_PID=$(own_pids "$E2E_PURRLOX" | grep -vx "$old" | tail -n 1)
E2E_PIDS+=($CAT_PID)
wait_for 10 "the paw docks after the relaunch" icon_docked
open_by_tray
[ "$(menu | jq -r .controls.startStop.text)" = "Старт" ] || fail "not Russian: $(menu)"
jq -e '.languages == ["ru"]' "$PURRLOX_CONFIG_HOME/purrlox/settings.json" >/dev/null ||
    fail "choice not stored: $(cat "$PURRLOX_CONFIG_HOME/purrlox/settings.json")"
sleep 0.3
shoot menu_main_ru.png
echo "PASS"
