#!/usr/bin/env bash
# The cat climbs an xterm and stands on its top; moving that xterm makes it fall to the floor,
# and so does raising another xterm over the spot where it stands.
source "$(dirname "$0")/cat_lib.sh"
SCREENS=${E2E_SCREENS:-$(dirname "$E2E_PURRLOX")/screens}
mkdir -p "$SCREENS"

start_desktop
# The cover is opened first, so it starts behind the perch; raised, it hides the perch's top.
cover=$(open_xterm e2e-cover 100x25+200+350)
perch=$(open_xterm e2e-perch 60x20+300+600)
# The perch stands on the floor (a face that floats is never climbed); the cover reaches over
# the perch's top.
read -r _ _ _ perch_h <<<"$(xwininfo_frame "$perch")"
P=$((E2E_HEIGHT - perch_h - 10))
move_frame "$cover" 200 $((P - 150))
move_frame "$perch" 300 $P
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null # no hunt or climb of its own takes it away

num() { jq -r ".$2" <<<"$1"; }
# The perch's top edge in the engine's y-up points.
perch_top() { read -r _ y _ _ <<<"$(xwininfo_frame "$perch")"; echo $((E2E_HEIGHT - y)); }
near() { (($(echo "d = $1 - ($2); (d < 0 && -d <= $3) || (d >= 0 && d <= $3)" | bc))); }
on_a_top() { cat_state | jq -e '.platform > 0 and (.kind == "idle" or .kind == "snacking")'; }
off_the_top() { cat_state | jq -e '.platform == 0'; }
on_the_floor() { cat_state | jq -e '.platform == 0 and .feetY == 12 and .kind != "falling"'; }

# Keeps the cat snacking where it is once it stands somewhere, so it does not wander off.
still_pid=""
hold_still() {
    (while :; do ask '{"cmd":"due","what":"snack"}' >/dev/null 2>&1 || true; sleep 0.3; done) &
    still_pid=$!
    E2E_PIDS+=($still_pid)
}
let_go() { kill "$still_pid"; wait "$still_pid" 2>/dev/null || true; }

# Makes a climb due; the next time the cat is idle it walks to the perch and climbs it.
climb_perch() {
    ask '{"cmd":"due","what":"climb"}' >/dev/null
    wait_for 90 "the cat climbs the perch's face" cat_is climbingUp
    hold_still
    sleep 1
    [ -z "${1:-}" ] || import -window root "$1"
    wait_for 10 "the cat stands on the perch" on_a_top
    local s top
    s=$(cat_state)
    top=$(perch_top)
    near "$(num "$s" feetY)" "$top" 1 || fail "the cat's feet at $(num "$s" feetY), the perch's top at $top"
}

climb_perch "$SCREENS/cat_climbing.png"
import -window root "$SCREENS/cat_on_top.png"
echo "ok: the cat climbed the xterm and stands on its top at $(perch_top)"

# The perch moves down under it: the cat falls past it to the floor.
move_frame "$perch" 300 $((P + 200))
wait_for 2 "the cat leaves the moved top" off_the_top
wait_for 5 "the cat lands on the floor" on_the_floor
echo "ok: moving the xterm made the cat fall to the floor"

let_go
move_frame "$perch" 300 $P
climb_perch
xdotool windowraise "$(frame_window_of "$cover")"
wait_for 2 "the cat leaves the covered top" off_the_top
wait_for 5 "the cat lands on the floor" on_the_floor
echo "ok: an xterm raised over its spot made the cat fall"
