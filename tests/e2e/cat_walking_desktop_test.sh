#!/usr/bin/env bash
# While the cat walks, the app does not hear of its own moves; it must still hear of the
# desktop's: a window moved through the window manager and a window opened during a long walk
# reach the cat within its one-second look at the windows.
source "$(dirname "$0")/cat_lib.sh"
start_desktop
a=$(open_xterm e2e-walk-a 60x15+300+300)
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 40 "the cat sits at its entry spot" cat_is idle
(while :; do ask '{"cmd":"due","what":"wander"}' >/dev/null 2>&1 || true; sleep 0.3; done) &
E2E_PIDS+=($!)
# A walk with at least 150 points still to go: seconds of moves, no stop in between.
far_to_go() {
    local reading to
    reading=$(cat_state) || return 1
    [ "$(jq -r .kind <<<"$reading")" = walking ] || return 1
    to=$(jq -r '.activity' <<<"$reading" | sed -n 's/^walking(to: \([-0-9.]*\),.*/\1/p')
    [ -n "$to" ] && (($(echo "x = $to - $(jq -r .x <<<"$reading"); x * x > 150 * 150" | bc)))
}
walking() { wait_for 30 "the cat sets off on a long walk" far_to_go; }
tops_field() { "$CAT_ASK" "$CAT_SOCKET" '{"cmd":"tops"}' | jq -r --argjson id "$1" ".windows[] | select(.id == \$id) | $2"; }

# during_walk WHAT CHANGE CHECK...: makes CHANGE (a function) once a long walk is under way and
# waits up to 2.5 s for CHECK; the cat must still be walking then, or it is all tried again.
during_walk() {
    local what=$1 change=$2 try
    shift 2
    for try in 1 2 3 4 5; do
        walking
        "$change" "$try"
        wait_for 2.5 "$what" "$@"
        if cat_is walking; then
            echo "ok: $what, during the walk (try $try)"
            return
        fi
    done
    fail "the walks kept ending before: $what"
}

move_a() { # through the window manager, as a user's drag is
    target=$((600 + 40 * $1))
    xdotool windowmove "$a" "$target" 200
}
a_moved() { [ "$(tops_field "$a" '.frame[0]')" = "$target" ]; }
during_walk "a window moved through the window manager is seen at its new place" move_a a_moved

open_b() { b=$(open_xterm "e2e-walk-b$1" 40x10+1000+500); }
b_listed() { [ -n "$(tops_field "$b" .id)" ]; }
during_walk "a window opened is listed" open_b b_listed
