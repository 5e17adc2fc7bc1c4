#!/usr/bin/env bash
# A real bottom panel (tint2, with its tray) that starts after the cat: the bed goes up onto the
# new floor with the cat; a real click on the bed moves nothing; a real click on the paw in the panel's tray opens the menu and saves no
# bed spot; the menu window stands above the cat and the bed, which stays directly below the
# cat; the panel killed, bed and cat step down together; and with the menu open over the bed in
# the bottom-right corner, a real click on Quit's spot quits.
source "$(dirname "$0")/cat_lib.sh"
command -v tint2 >/dev/null || fail "tint2 is not installed (make deps installs it)"

start_desktop
SETTINGS=$XDG_CONFIG_HOME/purrlox/settings.json
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 20 "the cat has walked in" cat_is idle
bed_spot() { cat_state | jq -c '.bedSpot | map(round)'; }
[ "$(bed_spot)" = "[1852,12]" ] || fail "the bed does not start in the corner: $(bed_spot)"

start_panel() {
    tint2 >"$E2E_TMP/tint2.$1.log" 2>&1 &
    PANEL_PID=$!
    E2E_PIDS+=($PANEL_PID)
    wait_for 10 "tint2 reserves its strip" sh -c "xprop -root _NET_WORKAREA | grep -q '1920, 1050'"
}
menu() { ask '{"cmd":"menu"}'; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
icon_docked() { [ "$(menu | jq -r '.tray.icon[2]')" -gt 0 ]; }
bed_and_cat_on() {
    [ "$(bed_spot)" = "[1852,$1]" ] && cat_placed "$1" && [ "$(cat_state | jq -r '.bed[1]')" = $(($1 - 4)) ]
}
# Top-most first: the root's children in stacking order, by name.
stacking() { xwininfo -root -children | sed -n 's/^ *0x[0-9a-f]* "\([^"]*\)": ("purrlox".*/\1/p'; }

start_panel 1
wait_for 3 "the bed and the cat go up onto the panel's edge" bed_and_cat_on 42
echo "ok: tint2 starts after the cat: bed spot $(bed_spot), feet $(cat_state | jq .feetY)"

# A real click on the bed itself is no drag: it stays, and nothing is saved.
read -r bx by bw bh <<<"$(cat_state | jq -r '.bed | map(round | tostring) | join(" ")')"
xdotool mousemove $((bx + bw / 2)) $((E2E_HEIGHT - by - bh / 3)) click 1
sleep 0.5
[ "$(bed_spot)" = "[1852,42]" ] || fail "a click on the bed moved it: $(bed_spot)"

# The paw in tint2's tray, where the bed stood before: a real click opens the menu.
wait_for 10 "the paw docks in tint2's tray" icon_docked
read -r ix iy iw ih <<<"$(menu | jq -r '.tray.icon | map(tostring) | join(" ")')"
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
wait_for 5 "a click on the paw opens the menu" menu_open
[ "$(bed_spot)" = "[1852,42]" ] || fail "the click moved the bed: $(bed_spot)"
if [ -f "$SETTINGS" ] && jq -e 'has("bedSpot")' "$SETTINGS" >/dev/null; then
    fail "a click saved a bed spot: $(cat "$SETTINGS")"
fi
order=$(stacking | tr '\n' ,)
echo "ok: the paw opens the menu, nothing saved; stacking (top first): $order"
[[ $order == Purrlox,Purrlox,Purrlox\ bed* ]] || fail "menu, cat, bed are not stacked in that order: $order"
xdotool key Escape

# The panel goes: the bed and the cat step down together.
kill "$PANEL_PID"
wait "$PANEL_PID" 2>/dev/null || true
wait_for 3 "the bed and the cat step down to the bottom floor" bed_and_cat_on 12
echo "ok: tint2 killed: bed spot $(bed_spot), feet $(cat_state | jq .feetY)"

# Back again, the menu opens up from the bottom-right corner over the bed: Quit's spot is Quit.
start_panel 2
wait_for 3 "the bed goes up again" bed_and_cat_on 42
wait_for 10 "the paw docks again" icon_docked
read -r ix iy iw ih <<<"$(menu | jq -r '.tray.icon | map(tostring) | join(" ")')"
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
wait_for 5 "the menu opens again" menu_open
read -r qx qy qw qh <<<"$(menu | jq -r '.controls.quitButton.frame | map(tostring) | join(" ")')"
read -r bx by bw bh <<<"$(cat_state | jq -r '.bed | map(round | tostring) | join(" ")')"
by=$((E2E_HEIGHT - by - bh))
# The bed lies under the menu window, and Quit over the bed or just beside it.
read -r mx my mw mh <<<"$(menu | jq -r '.frame | map(tostring) | join(" ")')"
((bx + bw > mx && by < my + mh)) || fail "the bed ($bx,$by) is not under the menu ($mx,$my ${mw}x$mh)"
[ -z "${PURRLOX_SCREENS:-}" ] || import -window root "$PURRLOX_SCREENS/menu_over_bed.png"
xdotool mousemove $((qx + qw / 2)) $((qy + qh / 2)) click 1
gone() { ! kill -0 "$CAT_PID" 2>/dev/null; }
wait_for 5 "a click on Quit's spot quits" gone
echo "ok: Quit at $qx,$qy (the bed at $bx,$by) quits"
echo PASS
