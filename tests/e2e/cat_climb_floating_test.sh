#!/usr/bin/env bash
# An xterm floating high above the floor is never climbed from the floor, however often a climb
# is due over a minute; moved down so its face reaches the floor, it is climbed.
source "$(dirname "$0")/cat_lib.sh"
H=$E2E_HEIGHT

start_desktop
term=$(open_xterm e2e-floating 60x10+500+200)
move_frame "$term" 500 200
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 30 "the cat has walked in" cat_is idle
# Its top is worth climbing: a walkable piece wider than 100 points, 880 points above the floor.
wide_top() { ask '{"cmd":"tops"}' | jq -e '[.windows[].pieces[] | select(.[1] - .[0] > 100)] | length > 0'; }
wait_for 5 "the cat sees the xterm's top" wide_top

deadline=$(echo "$(now) + 60" | bc)
dues=0
while (($(echo "$(now) < $deadline" | bc))); do
    ask '{"cmd":"due","what":"climb"}' >/dev/null
    dues=$((dues + 1))
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        s=$(cat_state)
        case $(jq -r .kind <<<"$s") in
        climbingUp | pullingUp) fail "the cat climbed the floating xterm: $(jq -c . <<<"$s")" ;;
        esac
        [ "$(jq -r .platform <<<"$s")" = 0 ] || fail "the cat got onto the floating xterm"
        sleep 0.1
    done
done
! grep -q 'then: climb(' "$CAT_LOG" || fail "the cat set out to climb: $(grep -m1 'then: climb(' "$CAT_LOG")"
echo "ok: $dues due climbs in a minute, the floating xterm never climbed"

# Its face down to the floor (the frame's bottom 10 pixels above the screen's): climbed.
read -r _ _ _ fh <<<"$(xwininfo_frame "$term")"
move_frame "$term" 500 $((H - fh - 10))
climbing() { ask '{"cmd":"due","what":"climb"}' >/dev/null; cat_is climbingUp; }
wait_for 90 "the cat climbs the xterm that stands on the floor" climbing
echo "PASS"
