#!/usr/bin/env bash
# A file dragged straight at a walking cat with the real pointer: the drag's hover reaches the
# cat's panel before the pointer catches up with the cat, the cat stops, and the drop lands.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/drop_lib.sh"

start_desktop
desk=$E2E_TMP/desk
mkdir -p "$desk"
xdotool mousemove 1500 200
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 40 "the cat sits" cat_is idle
state_has() { cat_state | jq -e "$@"; }

# Sets the cat off on a walk of at least 300 points.
walking_far() {
    local s
    s=$(cat_state)
    jq -e '.kind == "walking" and ((.activity | capture("to: (?<to>[-0-9.]+)").to | tonumber) - .x | fabs) > 300' <<<"$s"
}
set_off() {
    local tries=0
    until walking_far >/dev/null 2>&1; do
        tries=$((tries + 1))
        ((tries < 40)) || fail "the cat never set off on a long walk"
        wait_for 30 "the cat sits before a walk" cat_is idle
        ask '{"cmd":"due","what":"wander"}' >/dev/null
        sleep 0.3
    done
    sleep 0.3
}

for round in 1 2; do
    printf 'round %s\n' "$round" >"$desk/walk-$round.txt"
    result=$(DRAG_BEFORE=set_off drag 1200 600 "$desk/walk-$round.txt")
    [ "$result" = "finished: accepted move" ] ||
        fail "round $round: the drop onto the walking cat reached the source as '$result': $(grep -o 'cat: [a-z]*(.\{0,40\}' "$CAT_LOG" | tail -5)"
    [ ! -e "$desk/walk-$round.txt" ] || fail "round $round: the file is still on the desk"
    wait_for 5 "round $round: the bubble names the file" state_has --arg f "walk-$round.txt" '.eaten == [$f]'
    grep -q 'cat: eating' "$CAT_LOG" || fail "the cat did not eat"
    echo "ok: round $round, the file dropped on the walking cat was eaten"
    ask '{"cmd":"calm","seconds":3600}' >/dev/null
    wait_for 20 "the bubble closes" state_has '.eaten == null'
done
echo "PASS"
