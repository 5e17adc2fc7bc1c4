#!/usr/bin/env bash
# The menu window with three long recent activities, so the chips wrap to two rows: the window
# is as tall as its content (the footer's Quit inside it, no scroll bar), opened from the tray
# and again after reopening and after a sub-screen. Screenshots go to $MENU_SCREENS when set.
source "$(dirname "$0")/cat_lib.sh"

export PURRLOX_DATA_HOME=$E2E_TMP/data PURRLOX_CONFIG_HOME=$E2E_TMP/settings LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
mkdir -p "$PURRLOX_DATA_HOME/purrlox"
# Four recent activities, newest last: the three chips besides the current one do not fit a row.
base=$(($(date -d "$(date +%F) 08:00" +%s) - 978307200))
i=0
for name in "Work" "Lattice QCD" "Guitar" "Thesis chapter"; do
    jq -nc --arg a "$name" --argjson s $((base + i * 1800)) \
        '{activity: $a, start: $s, sitting: $s, planned: 1500, seconds: 1500, completed: true}'
    i=$((i + 1))
done | jq -s . >"$PURRLOX_DATA_HOME/purrlox/focusLog.json"

start_desktop
start_tray
start_cat

menu() { ask '{"cmd":"menu"}'; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
menu_closed() { [ "$(menu | jq -r .open)" = false ]; }
icon_docked() { [ "$(menu | jq -r '.tray.icon[2]')" -gt 0 ]; }
open_by_tray() {
    local icon
    icon=$(menu | jq -r '.tray.icon | "\(.[0] + .[2] / 2 | floor) \(.[1] + .[3] / 2 | floor)"')
    # shellcheck disable=SC2086
    xdotool mousemove $icon click 1
    wait_for 5 "the menu window opens" menu_open
    sleep 0.5 # the fit to the content runs after the first layout pass
}
shoot() { [ -n "${MENU_SCREENS:-}" ] && cp "$E2E_TMP/menu.png" "$MENU_SCREENS/$1"; true; }

# The whole window holds the footer: Quit's frame ends inside it; the chips form two rows;
# and no scroll bar shows at the window's right edge. Shot as menu_<name>.png.
check_fits() {
    local reading wx wy ww wh qy qh rows colours
    reading=$(menu)
    read -r wx wy ww wh <<<"$(jq -r '.frame | map(tostring) | join(" ")' <<<"$reading")"
    read -r qy qh <<<"$(jq -r '.controls.quitButton.frame | "\(.[1]) \(.[3])"' <<<"$reading")"
    import -window root -crop "${ww}x${wh}+${wx}+${wy}" +repage "$E2E_TMP/menu.png"
    [ "$qy" != null ] || fail "$1: no Quit button on the main page: $reading"
    shoot "menu_$2.png"
    ((qy + qh <= wy + wh - 8)) || fail "$1: Quit at $qy..$((qy + qh)) below the window's bottom $((wy + wh))"
    rows=$(jq '[.controls | to_entries[] | select(.key | startswith("chip")) | .value.frame[1]] | unique | length' <<<"$reading")
    [ "$rows" = 2 ] || fail "$1: the chips form $rows rows, not two: $reading"
    # The right-hand strip where a scroll bar would be: cream all the way down.
    colours=$(convert "$E2E_TMP/menu.png" -crop "12x$((wh - 40))+$((ww - 14))+20" +repage -format %k info:)
    [ "$colours" -le 2 ] || fail "$1: the window's right edge holds $colours colours (a scroll bar?)"
    echo "ok: $1: the window is ${ww}x$wh, Quit ends at $((qy + qh - wy))"
}

wait_for 10 "the paw docks in the tray" icon_docked
open_by_tray
check_fits "first opening" two_rows_of_chips

xdotool key Escape
wait_for 5 "Escape closes the window" menu_closed
open_by_tray
check_fits "reopened" reopened
echo PASS
