#!/usr/bin/env bash
# The running timer's tray icon at scale 2 (Qt scaling by 2, a 24-pixel tray): the icon takes
# a square slot of the tray's height, and the pink disc with the minutes is drawn whole for
# it, round and inside it; the tooltip shown over the icon counts down while it stays up.
# Screenshots go to $MENU_SCREENS.
source "$(dirname "$0")/cat_lib.sh"

export PURRLOX_DATA_HOME=$E2E_TMP/data PURRLOX_CONFIG_HOME=$E2E_TMP/settings LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
export QT_SCALE_FACTOR=2
start_desktop
start_tray
start_cat

menu() { ask '{"cmd":"menu"}'; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
icon_docked() { [ "$(menu | jq -r '.tray.icon[2]')" -gt 0 ]; }
running() { [ "$(menu | jq -r .tray.minutes)" = 25 ]; }
tooltip_shown() { [ "$(menu | jq -r '.tray.tooltipShown // empty')" != "" ]; }
# The icon's slot in root pixels: the tray reports points, two pixels each.
slot() { menu | jq -r '.tray.icon | map(. * 2 | round | tostring) | join(" ")'; }

wait_for 10 "the paw docks in the tray" icon_docked
wait_for 5 "the slot is square" sh -c "'$CAT_ASK' '$CAT_SOCKET' '{\"cmd\":\"menu\"}' | jq -e '.tray.icon[2] == .tray.icon[3]'"
read -r sx sy sw sh <<<"$(slot)"
echo "ok: a ${sw}x$sh slot"
xdotool mousemove $((sx + sw / 2)) $((sy + sh / 2)) click 1
wait_for 5 "the menu window opens" menu_open
xdotool key Return
wait_for 5 "Return starts the pomodoro" running
xdotool key Escape
sleep 0.5

# The disc: its pink pixels form a round patch inside the slot, clear of the slot's edges.
read -r sx sy sw sh <<<"$(slot)"
import -window root -crop "${sw}x${sh}+${sx}+${sy}" +repage "$E2E_TMP/slot.png"
[ -n "${MENU_SCREENS:-}" ] && convert "$E2E_TMP/slot.png" -scale 800% "$MENU_SCREENS/tray_running_scale2.png"
read -r pw ph px py <<<"$(convert "$E2E_TMP/slot.png" -fuzz 12% -fill white -opaque '#F69EB9' \
    -fill black +opaque white -trim -format '%w %h %X %Y' info:)"
((pw >= sh / 2 && ph >= sh / 2)) || fail "the disc is ${pw}x$ph pixels in a ${sw}x$sh slot"
((pw - ph <= 2 && ph - pw <= 2)) || fail "the disc is cut: its pink is ${pw}x$ph"
((px > 0 && py > 0 && px + pw < sw && py + ph < sh)) ||
    fail "the disc touches the slot's edge: ${pw}x$ph at +$px+$py in ${sw}x$sh"
echo "ok: a round ${pw}x$ph disc inside the ${sw}x$sh slot"

# The tooltip over the icon, read twice while it stays up: it counts down.
xdotool mousemove $((sx + sw / 2 - 3)) $((sy + sh / 2))
sleep 0.2
xdotool mousemove $((sx + sw / 2)) $((sy + sh / 2))
wait_for 10 "the tooltip shows" tooltip_shown
first=$(menu | jq -r .tray.tooltipShown)
sleep 2.2
second=$(menu | jq -r .tray.tooltipShown)
[[ $first == "Purrlox · 2"[45]:* && $second == "Purrlox · 2"[45]:* && $first != "$second" ]] ||
    fail "the shown tooltip did not count down: $first / $second"
echo "ok: the tooltip went from $first to $second while shown"
echo PASS
