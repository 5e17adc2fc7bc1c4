#!/usr/bin/env bash
# A pointer left still is stalked, pounced on and carried down to the floor by the cat's paw;
# a pointer pulled away during the carry is let go; a pointer moved about by absolute moves (as
# xdotool, VNC servers and software KVMs move it, with no raw events) is not still, even after
# the paw has warped it.
source "$(dirname "$0")/cat_lib.sh"
H=$E2E_HEIGHT

start_desktop
start_cat
ask '{"cmd":"calm"}' >/dev/null
wait_for 20 "the cat has walked in" cat_is idle
pointer_y() { xdotool getmouselocation --shell | sed -n 's/^Y=//p'; }

hunt_at() {
    local cx
    cx=$(cat_state | jq -r '.x | round')
    xdotool mousemove $((cx + 250)) "$1"
    sleep 4.3 # an ordinary hunt wants 4 s of stillness
    ask '{"cmd":"due","what":"hunt"}' >/dev/null
    wait_for 2 "the cat stalks the pointer" cat_is stalking
}

hunt_at 600
wait_for 4 "it pounces" cat_is pouncing
wait_for 3 "it catches the pointer" cat_is catching
wait_for 5 "it lands" sh -c '! '"$CAT_ASK $CAT_SOCKET"' "{\"cmd\":\"state\"}" | jq -e ".kind == \"catching\"" >/dev/null'
y=$(pointer_y)
feet=$(cat_state | jq -r '.feetY | round')
# The paw holds the pointer 42 points above the feet.
[ "$y" -gt 900 ] || fail "the pointer was not carried down (y $y)"
[ $((H - feet - 42 - y)) -le 2 ] && [ $((y - (H - feet - 42))) -le 2 ] ||
    fail "the pointer is not at the paw (y $y, feet $feet)"

# Again, but the user pulls the pointer away while the cat carries it: it lets go.
ask '{"cmd":"calm"}' >/dev/null
wait_for 5 "the cat sits again" cat_is idle
hunt_at 150 # high up: a long carry to pull it away in
wait_for 5 "it catches the pointer" cat_is catching
xdotool mousemove_relative -- 0 -40
wait_for 2 "it lets go and falls" cat_is falling
y=$(pointer_y)
sleep 0.5
[ "$(pointer_y)" = "$y" ] || fail "the pointer kept moving after the cat let go"

ask '{"cmd":"calm"}' >/dev/null
wait_for 10 "the cat sits again" cat_is idle
move_about() {
    local i
    for i in $(seq "$1"); do
        xdotool mousemove $((300 + i % 2 * 700)) $((200 + i % 3 * 150))
        sleep 0.3
    done
}
move_about 17
ask '{"cmd":"due","what":"hunt"}' >/dev/null
move_about 7
cat_is idle || fail "the cat hunts a pointer that moves: $(cat_state | jq -r .activity)"
echo "PASS"
