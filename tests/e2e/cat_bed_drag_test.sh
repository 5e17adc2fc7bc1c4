#!/usr/bin/env bash
# The bed is dragged with the real pointer, stays where it was left across a restart, is dragged
# again with the cat lying in it, and the cat in bed types along when the user types.
source "$(dirname "$0")/cat_lib.sh"
SHOTS=${PURRLOX_SCREENS:-}
H=$E2E_HEIGHT

start_desktop
start_cat
ask '{"cmd":"calm"}' >/dev/null
wait_for 20 "the cat has walked in" cat_is idle

read -r bx by bw bh <<<"$(cat_state | jq -r '.bed | map(tostring) | join(" ")')"
[ "$bx" = 1804 ] && [ "$by" = 8 ] || fail "the bed is not in the bottom-right corner: $bx $by"
# Press on the bed's rim, a quarter up from its bottom, and drag it to 700, 40 from the bottom
# (low enough that a jump from the floor reaches it: it stays where it was let go).
px=$((bx + bw / 2)) py=$((H - by - bh / 4))
xdotool mousemove $px $py mousedown 1
for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((px + (700 - px) * step / 8)) $((py + (H - 40 - py) * step / 8))
    sleep 0.05
done
xdotool mouseup 1
want_x=700 want_y=$((40 - bh / 4 + 4))
bed_at() { [ "$(cat_state | jq -c '.bedSpot | map(round)')" = "[$1,$2]" ]; }
wait_for 3 "the bed stands where it was dropped" bed_at $want_x $want_y
[ "$(jq -c '.bedSpot | map(round)' "$XDG_CONFIG_HOME/purrlox/settings.json")" = "[$want_x,$want_y]" ] ||
    fail "the spot was not saved"
bed_window_at() {
    xwininfo -root -children | grep -q "\"Purrlox bed — Purrlox\": (\"purrlox\" \"app.purrlox.Purrlox\")  ${bw}x${bh}+$1+$2"
}
wait_for 3 "the bed's window moved" bed_window_at $((want_x - bw / 2)) $((H - want_y + 4 - bh))

# After a restart the bed is where the user left it.
stop_cat
rm -f "$CAT_SOCKET"
start_cat
bed_at $want_x $want_y || fail "the bed moved back after a restart: $(cat_state | jq -c .bedSpot)"
bed_window_at $((want_x - bw / 2)) $((H - want_y + 4 - bh)) || fail "the bed's window is elsewhere"

# The cat that lives in its bed starts in it; pressing on the bed under the cat drags both.
stop_cat
jq '.catLivesInBed = true' "$XDG_CONFIG_HOME/purrlox/settings.json" >"$E2E_TMP/s.json"
mv "$E2E_TMP/s.json" "$XDG_CONFIG_HOME/purrlox/settings.json"
rm -f "$CAT_SOCKET"
start_cat
ask '{"cmd":"calm"}' >/dev/null
wait_for 5 "the cat starts in bed" sh -c "$CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -e .lying"
[ "$(cat_state | jq -r '.bed // "hidden"')" = hidden ] || fail "the empty bed shows beside the cat"
sleep 1
px=$want_x py=$((H - want_y + 4 - 10))
xdotool mousemove $px $py mousedown 1
for step in 1 2 3 4 5 6; do
    xdotool mousemove $((px + 300 * step / 6)) $((py - 30 * step / 6))
    sleep 0.05
done
xdotool mouseup 1
wait_for 3 "bed and cat moved together" bed_at $((want_x + 300)) $((want_y + 30))
[ "$(cat_state | jq -r '.x | round')" = $((want_x + 300)) ] || fail "the cat stayed behind"
[ "$(cat_state | jq -r .lying)" = true ] || fail "the cat was picked out of its bed"

# Typing: the cat types on its laptop.
xdotool mousemove 100 100
(for i in $(seq 1 200); do xdotool type --delay 60 "purr "; done) &
TYPIST=$!
E2E_PIDS+=($TYPIST)
wait_for 6 "the cat notices the typing" sh -c "$CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -e .typing"
wait_for 8 "it types on its laptop" sh -c "$CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -r .sprite | grep -q ^bed_laptop"
sleep 3
[ -n "$SHOTS" ] && import -window root "$SHOTS/bed_typing_laptop.png"
kill "$TYPIST" 2>/dev/null || true
echo "PASS"
