#!/usr/bin/env bash
# The menu window from the keyboard, with real keys and clicks: opened from the tray while a
# terminal has the focus, it takes the keyboard; the activity field has the focus with "Work"
# selected, so typing replaces it and Return starts the pomodoro; Tab moves a visible pink ring
# from control to control; the first click into the field selects the default text.
# Screenshots go to $MENU_SCREENS when set.
source "$(dirname "$0")/cat_lib.sh"

export PURRLOX_DATA_HOME=$E2E_TMP/data PURRLOX_CONFIG_HOME=$E2E_TMP/settings LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
start_desktop
start_tray
# A terminal with the focus: keys that miss the menu land in its file.
xterm -title behind -geometry 80x20+200+300 -e sh -c "cat >'$E2E_TMP/typed'" >/dev/null 2>&1 &
E2E_PIDS+=($!)
wait_for 10 "the terminal appears" sh -c "xdotool search --name '^behind\$' >/dev/null"
term=$(xdotool search --name '^behind$' | head -1)
xdotool windowactivate --sync "$term"
start_cat

menu() { ask '{"cmd":"menu"}'; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
menu_closed() { [ "$(menu | jq -r .open)" = false ]; }
icon_docked() { [ "$(menu | jq -r '.tray.icon[2]')" -gt 0 ]; }
focus_is() { [ "$(menu | jq -r .focus)" = "$1" ]; }
ring_around() { [ "$(menu | jq -r .ring)" = "$1" ]; }
running() { [ "$(menu | jq -r .tray.minutes)" = 25 ]; }
open_by_tray() {
    local icon
    icon=$(menu | jq -r '.tray.icon | "\(.[0] + .[2] / 2 | floor) \(.[1] + .[3] / 2 | floor)"')
    # shellcheck disable=SC2086
    xdotool mousemove $icon click 1
    wait_for 5 "the menu window opens" menu_open
}
shoot() {
    [ -n "${MENU_SCREENS:-}" ] || return 0
    import -window root -crop "$(menu | jq -r '.frame | "\(.[2])x\(.[3])+\(.[0])+\(.[1])"')" "$MENU_SCREENS/$1"
}
# The number of deep-pink ring pixels around a control's frame (outside it, within 4 pixels).
ring_pixels() {
    local x y w h
    read -r x y w h <<<"$(menu | jq -r --arg n "$1" '.controls[$n].frame | map(tostring) | join(" ")')"
    import -window root -crop "$((w + 8))x$((h + 8))+$((x - 4))+$((y - 4))" +repage "$E2E_TMP/ring.png"
    convert "$E2E_TMP/ring.png" -fill black -draw "rectangle 4,4 $((w + 3)),$((h + 3))" \
        -fuzz 12% -fill white -opaque "$(menu | jq -r .ringColour)" -fill black +opaque white \
        -format '%[fx:int(mean*w*h)]' info:
}

wait_for 10 "the paw docks in the tray" icon_docked
open_by_tray
wait_for 5 "the activity field has the keyboard focus" focus_is activityField
wait_for 5 "the ring shows around the field" ring_around activityField
sleep 0.3
shoot menu_keyboard_open.png
xdotool type --delay 40 "Thesis"
xdotool key Return
wait_for 5 "Return starts the pomodoro" running
[ "$(menu | jq -r .activity)" = Thesis ] || fail "typing did not replace Work: $(menu | jq -c .activity)"
[ ! -s "$E2E_TMP/typed" ] || fail "keys went to the window behind: $(cat "$E2E_TMP/typed")"
echo "ok: opened from the tray, typed Thesis, Return started the pomodoro"

# Stop from the keyboard: Tab walks to the button with a ring around each stop.
xdotool key Escape
wait_for 5 "Escape closes the window" menu_closed
open_by_tray
wait_for 5 "the stop button has the focus" focus_is startStop
xdotool key space
wait_for 5 "Space on the focused button stops the pomodoro" sh -c "[ \"\$('$CAT_ASK' '$CAT_SOCKET' '{\"cmd\":\"menu\"}' | jq -r .tray.minutes)\" = null ]"
wait_for 5 "the button keeps the focus" focus_is startStop
declare -A seen=()
for step in 1 2 3 4 5 6; do
    xdotool key Tab
    sleep 0.2
    now=$(menu | jq -r .focus)
    ring=$(menu | jq -r .ring)
    [ "$ring" = "$now" ] || fail "Tab $step: focus on $now, ring around $ring"
    pixels=$(ring_pixels "$now")
    ((pixels > 40)) || fail "Tab $step: only $pixels ring pixels around $now"
    seen[$now]=1
    [ "$step" = 2 ] && shoot menu_keyboard_ring.png
done
((${#seen[@]} >= 5)) || fail "Tab visited only ${!seen[*]}"
echo "ok: Tab moved a visible ring over ${!seen[*]}"

# The mouse: the first click into the field selects "Work"; typing replaces it.
xdotool key Escape
wait_for 5 "Escape closes the window" menu_closed
open_by_tray
read -r fx fy fw fh <<<"$(menu | jq -r '.controls.activityField.frame | map(tostring) | join(" ")')"
xdotool mousemove $((fx + fw - 20)) $((fy + fh / 2)) click 1
sleep 0.2
xdotool type --delay 40 "Reading"
wait_for 5 "the typed name replaces Thesis" sh -c "[ \"\$('$CAT_ASK' '$CAT_SOCKET' '{\"cmd\":\"menu\"}' | jq -r .activity)\" = Reading ]"
# A second click places the caret: the text is kept and typing goes where it is.
xdotool mousemove $((fx + fw - 20)) $((fy + fh / 2)) click 1
sleep 0.2
xdotool type --delay 40 " notes"
wait_for 5 "a second click keeps the text" sh -c "[ \"\$('$CAT_ASK' '$CAT_SOCKET' '{\"cmd\":\"menu\"}' | jq -r .activity)\" = 'Reading notes' ]"
echo "ok: the first click selects the whole name, the next one places the caret"
echo PASS
