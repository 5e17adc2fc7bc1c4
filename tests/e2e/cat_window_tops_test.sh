#!/usr/bin/env bash
# The cat's view of window tops on a real desktop: a window moved over the middle of another's
# top splits that top into two walkable pieces, cut at the front window's sides.
source "$(dirname "$0")/cat_lib.sh"

start_desktop
back=$(open_xterm e2e-back 120x30+100+400)
front=$(open_xterm e2e-front 30x10+1200+100)
move_frame "$back" 100 400
start_cat

# pieces_of "x y w h" (points): the engine's pieces of the window with that frame, as "lo-hi ...".
pieces_of() {
    local x y w h
    read -r x y w h <<<"$1"
    ask '{"cmd":"tops"}' | jq -r --argjson x "$x" --argjson w "$w" \
        '.windows[] | select(.frame[0] == $x and .frame[2] == $w) | .pieces | map("\(.[0])-\(.[1])") | join(" ")'
}

back_pts=$(points_of "$(xwininfo_frame "$back")")
read -r bx by bw bh <<<"$back_pts"
one_piece() { [ "$(pieces_of "$back_pts")" = "$bx-$((bx + bw))" ]; }
wait_for 10 "the back window's whole top is walkable" one_piece
echo "ok: one piece $bx-$((bx + bw)) while nothing covers the top"

# The front window's bottom lies below the back's top edge and its top above it.
read -r _ back_y _ _ <<<"$(xwininfo_frame "$back")"
move_frame "$front" 400 $((back_y - 60))
read -r fx _ fw _ <<<"$(points_of "$(xwininfo_frame "$front")")"
expected="$bx-$fx $((fx + fw))-$((bx + bw))"
split_in_two() { [ "$(pieces_of "$back_pts")" = "$expected" ]; }
wait_for 10 "the top splits around the front window ($expected)" split_in_two
echo "ok: the covered top is split into $expected"

# Moved away again, the top is whole.
move_frame "$front" 1200 100
wait_for 10 "the top is whole again" one_piece
echo "ok: the top is whole again once the front window leaves"
