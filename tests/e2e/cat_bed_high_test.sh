#!/usr/bin/env bash
# The bed dragged high over the desktop with the real pointer: a focus started from the menu
# window sends the cat into it within a minute, whether it jumps from a window top below or
# from the floor; a bed let go where no jump reaches settles onto what stands below it.
source "$(dirname "$0")/cat_lib.sh"
SHOTS=${PURRLOX_SCREENS:-}
H=$E2E_HEIGHT

start_desktop
perch=$(open_xterm e2e-perch 60x20+700+600)
move_frame "$perch" 700 600
start_cat
ask '{"cmd":"calm"}' >/dev/null
wait_for 20 "the cat has walked in" cat_is idle

# drag_bed X Y: presses on the empty bed's rim and lets go with the pointer at X Y (root pixels).
drag_bed() {
    local bx by bw bh px py step
    read -r bx by bw bh <<<"$(cat_state | jq -r '.bed | map(round | tostring) | join(" ")')"
    px=$((bx + bw / 2)) py=$((H - by - bh / 4))
    xdotool mousemove $px $py mousedown 1
    for step in 1 2 3 4 5 6 7 8; do
        xdotool mousemove $((px + ($1 - px) * step / 8)) $((py + ($2 - py) * step / 8))
        sleep 0.05
    done
    xdotool mouseup 1
    xdotool mousemove 1500 100 # out of the cat's way
    BED_H=$bh
}
lying() { cat_state | jq -e .lying; }
menu() { ask '{"cmd":"menu"}'; }
click_control() {
    local x y w h
    read -r x y w h <<<"$(menu | jq -r --arg n "$1" '.controls[$n].frame | map(tostring) | join(" ")')"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
}
focus_start() {
    ask '{"cmd":"menu","open":true}' >/dev/null
    wait_for 5 "the menu window opens" sh -c "$CAT_ASK $CAT_SOCKET '{\"cmd\":\"menu\"}' | jq -e .open"
    sleep 0.5
    click_control startStop
    wait_for 5 "the focus starts" sh -c "$CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -e .focusing"
    xdotool key Escape
}
focus_stop() {
    ask '{"cmd":"menu","open":true}' >/dev/null
    sleep 0.5
    click_control startStop
    wait_for 5 "the focus stops" sh -c "! $CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -e .focusing"
    xdotool key Escape
}
spot_y() { cat_state | jq -r '.bedSpot[1] | round'; }

perch_top() { read -r _ y _ _ <<<"$(xwininfo_frame "$perch")"; echo $((H - y)); }

# 1. High over the perch, a window that floats 190 points above the floor: no jump reaches the bed
# there, so it settles onto the perch's top; the focus sends the cat in with a jump from the
# floor, not up the air under the perch.
drag_bed 760 250
top=$(perch_top)
settled() { [ "$(spot_y)" = "$1" ]; }
wait_for 3 "the bed settles onto the perch's top at $top" settled "$top"
[ "$(jq -c '.bedSpot[1] | round' "$XDG_CONFIG_HOME/purrlox/settings.json")" = "$top" ] ||
    fail "the settled spot was not saved: $(cat "$XDG_CONFIG_HOME/purrlox/settings.json")"
[ -n "$SHOTS" ] && import -window root "$SHOTS/bed_on_the_perch.png"
lines=$(wc -l <"$CAT_LOG")
focus_start
wait_for 60 "the cat gets into the bed on the perch" lying
! tail -n +"$lines" "$CAT_LOG" | grep -q 'cat: climbingUp' || fail "the cat climbed the floating perch"
tail -n +"$lines" "$CAT_LOG" | grep -q 'cat: jumping(from: ([0-9.]*, 12), to: (760, '"$((top + 12))"'), then: bed' ||
    fail "no jump from the floor into the bed: $(grep -o 'cat: [a-z]*(.\{0,50\}' "$CAT_LOG" | tail -8)"
echo "ok: the bed settled onto the floating perch and the cat jumped into it from the floor"
focus_stop
wait_for 30 "the cat leaves the bed" sh -c "! $CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -e .lying"
wait_for 30 "the cat sits" cat_is idle

# 2. High over nothing: down onto the floor, saved there; the next focus sends the cat in.
drag_bed 1400 200
wait_for 3 "the bed settles onto the floor" settled 12
[ "$(jq -c '.bedSpot | map(round)' "$XDG_CONFIG_HOME/purrlox/settings.json")" = "[1400,12]" ] ||
    fail "the bed on the floor was not saved: $(cat "$XDG_CONFIG_HOME/purrlox/settings.json")"
focus_start
wait_for 60 "the cat gets into the bed on the floor" lying
echo "PASS"
