#!/usr/bin/env bash
# While a letter bubble is open, a file dragged onto the cat with the real pointer gets its
# answer within a second (the reading cat cannot eat: refused, and the file stays), and a drag
# that starts on the reading cat does not pick it up.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/drop_lib.sh"

start_desktop
desk=$E2E_TMP/desk
mkdir -p "$desk"
printf 'keep me\n' >"$desk/report.txt"
xdotool mousemove 1500 200
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
state_has() { cat_state | jq -e "$@"; }
ask '{"cmd":"deliver","text":"Time for a walk 🐾"}' >/dev/null
wait_for 90 "the cat comes back carrying the letter" state_has '.carrying == true and .kind == "idle"'

open_letter() {
    local cat_x cat_y
    read -r cat_x cat_y <<<"$(cat_body_point)"
    xdotool mousemove "$cat_x" "$cat_y"
    sleep 0.3
    xdotool click 1
    wait_for 5 "the letter opens" state_has '.kind == "reading" and .reading != null'
}
open_letter
echo "ok: the letter is open"

result=$(drag 1200 600 "$desk/report.txt")
waited=$(cat "$E2E_TMP/drag.seconds")
[ "$result" = "finished: refused" ] || fail "a drop on a reading cat reached the source as '$result' ($(sort "$E2E_TMP/drag.log" | uniq -c | tr '\n' ' '))"
(($(echo "$waited < 1" | bc))) || fail "the source waited ${waited}s for its answer"
[ "$(cat "$desk/report.txt")" = "keep me" ] || fail "the file left the desk"
state_has '.kind == "reading" and .eaten == null' >/dev/null || fail "the drop changed the open letter: $(cat_state)"
echo "ok: a drop while the letter is open is refused to the source after ${waited}s; the file stays"

# A reading cat is not picked up: a real drag from it leaves the letter open in its paws.
read -r cat_x cat_y <<<"$(cat_body_point)"
xdotool mousemove "$cat_x" "$cat_y"
sleep 0.2
xdotool mousedown 1
for step in 1 2 3 4 5 6; do
    xdotool mousemove "$((cat_x + 10 * step))" "$((cat_y - 20 * step))"
    sleep 0.05
done
sleep 0.5
state_has '.kind == "reading" and .reading != null' >/dev/null || fail "a drag took the reading cat: $(cat_state)"
xdotool mouseup 1
echo "ok: a drag from the reading cat leaves it reading"
