#!/usr/bin/env bash
# A press on the cat and a drag of more than 4 points picks it up; it hangs 4 points below the
# pointer and follows it, kicks when the pointer keeps still, and falls when released.
source "$(dirname "$0")/cat_lib.sh"
SCREENS=${E2E_SCREENS:-$(dirname "$E2E_PURRLOX")/screens}
mkdir -p "$SCREENS"

start_desktop
start_cat
keep_cat_still
wait_for 40 "the cat sits at its spot" cat_is snacking

num() { jq -r ".$2" <<<"$1"; }
kind_now() { cat_state | jq -r .kind; }
reading=$(cat_state)
# The middle of the cat's body in root pixels.
x=$(jq '.x | round' <<<"$reading")
y=$(jq --argjson H "$E2E_HEIGHT" '$H - (.feetY + 30) | round' <<<"$reading")
xdotool mousemove "$x" "$y"
sleep 0.2
xdotool mousedown 1
xdotool mousemove "$((x + 4))" "$y"
sleep 0.3
[ "$(kind_now)" != held ] || fail "a drag of 4 points picked the cat up"
xdotool mousemove "$((x + 5))" "$y"
wait_for 2 "the cat is picked up" cat_is held
echo "ok: the cat is picked up once the drag passes 4 points"

# Carried to the middle of the screen, it hangs under the pointer in the wide held panel.
for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove "$((x + (900 - x) * step / 10))" "$((y + (500 - y) * step / 10))"
    sleep 0.03
done
sleep 0.1
import -window root "$SCREENS/cat_dangling.png"
held=$(cat_state)
[ "$(jq -c '.panel[2:]' <<<"$held")" = "[200,150]" ] || fail "held panel is $(jq -c .panel <<<"$held")"
# Moving the pointer by (100, -50) pixels moves the cat by (100, 50) points (y up), give or
# take the change of the swing frame.
xdotool mousemove 1000 450
sleep 0.5
moved=$(cat_state)
dx=$(echo "$(num "$moved" x) - $(num "$held" x)" | bc)
dy=$(echo "$(num "$moved" feetY) - $(num "$held" feetY)" | bc)
(($(echo "$dx > 90 && $dx < 110 && $dy > 40 && $dy < 60" | bc))) ||
    fail "the pointer moved by (100, 50) points, the cat by ($dx, $dy)"
echo "ok: the held cat follows the pointer"

# Left hanging still it starts kicking.
kicking() { cat_state | jq -e '.sprite | startswith("held_angry")'; }
wait_for 3 "the still cat kicks" kicking
import -window root "$SCREENS/cat_kicking.png"
echo "ok: a still pointer makes the cat kick"

# Released, it falls to the floor.
xdotool mouseup 1
let_go() { cat_state | jq -e '.kind != "held"'; }
on_the_floor() { cat_state | jq -e '.platform == 0 and .feetY == 12 and .kind != "falling"'; }
wait_for 2 "the released cat is let go" let_go
wait_for 5 "the cat is back on the floor" on_the_floor
sleep 0.5
import -window root "$E2E_TMP/without.png"
echo "ok: released, the cat falls back to the floor"

# Where it hung: the cat's top edge lies about 4 points under the pointer at (1000, 450) and
# its body under the pointer's x. The kicking shot against the empty screen shows the cat alone.
box=$(convert "$SCREENS/cat_kicking.png" "$E2E_TMP/without.png" -compose difference -composite \
    -crop 240x240+880+330 +repage -colorspace gray -threshold 8% -format %@ info:)
read -r bw bh bx by <<<"$(sed 's/[x+]/ /g' <<<"$box")"
top=$((330 + by)) left=$((880 + bx)) right=$((880 + bx + bw))
((top >= 447 && top <= 462)) || fail "the hanging cat's top is at y $top (box $box), the pointer at 450"
((left < 1000 && right > 1000)) || fail "the hanging cat spans x $left … $right (box $box), the pointer at 1000"
echo "ok: the cat hangs with its top $((top - 450)) pixels below the pointer"
