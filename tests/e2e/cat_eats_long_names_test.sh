#!/usr/bin/env bash
# Files whose names are 200, 245, 250 and 255 bytes long, dragged onto the cat in one drop with
# the real pointer: the drop is answered, all four go to the Trash (the longest under shortened
# names whose records keep the full path), "Put back" brings all four home, and the app answers
# its automation socket within a second the whole time.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/drop_lib.sh"

start_desktop
desk=$E2E_TMP/desk
mkdir -p "$desk"
name_of() { printf '%*s.txt' "$(($1 - 4))" '' | tr ' ' "${2:-n}"; }
sizes=(200 245 250 255)
names=()
for bytes in "${sizes[@]}"; do
    names+=("$(name_of "$bytes")")
    printf 'a file of %s bytes\n' "$bytes" >"$desk/${names[-1]}"
done
trash=$HOME/.local/share/Trash
xdotool mousemove 1500 200
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 40 "the cat sits" cat_is idle
state_has() { cat_state | jq -e "$@"; }
watch_answers

paths=()
for n in "${names[@]}"; do paths+=("$desk/$n"); done
result=$(drag 1200 600 "${paths[@]}")
[ "$result" = "finished: accepted move" ] || fail "the source was told '$result' for a drop of long names"
expected=$(printf '%s\n' "${names[@]}" | jq -R . | jq -s -c .)
wait_for 5 "the bubble names all four files" state_has --argjson e "$expected" '.eaten == $e'
for n in "${names[@]}"; do
    [ ! -e "$desk/$n" ] || fail "a ${#n}-byte name is still on the desk"
done
[ "$(ls "$trash/files" | wc -l)" = 4 ] && [ "$(ls "$trash/info" | wc -l)" = 4 ] ||
    fail "the Trash does not hold four items with records: $(ls "$trash/files" "$trash/info" | head)"
for f in "$trash/files"/*; do
    base=${f##*/}
    ((${#base} + 10 <= 255)) || fail "an item's record name would pass 255 bytes (${#base})"
done
for n in "${names[@]}"; do
    grep -qx "Path=$desk/$n" "$trash/info"/*.trashinfo || fail "no record keeps the ${#n}-byte path"
done
echo "ok: names of 200, 245, 250 and 255 bytes are in the Trash, each record with its whole path"

sleep 2.5 # past the gulp and the chewing
reading=$(cat_state)
read -r px py pw ph <<<"$(panel_pixels "$reading")"
# "Put back" sits centred at the foot of the bubble (16 points inside, about 30 tall).
xdotool mousemove "$((px + pw / 2))" "$((py + ph - 96 - 4 - 12 - 16 - 15))"
sleep 0.3
xdotool click 1
wait_for 5 "the bubble closes" state_has '.eaten == null'
wait_for 5 "the files are home" sh -c "[ \$(ls '$desk' | wc -l) = 4 ]"
for i in 0 1 2 3; do
    n=${names[$i]}
    [ "$(cat "$desk/$n")" = "a file of ${sizes[$i]} bytes" ] ||
        fail "the ${#n}-byte name did not come back whole"
done
[ -z "$(ls -A "$trash/files")" ] && [ -z "$(ls -A "$trash/info")" ] || fail "the Trash still holds: $(ls -A "$trash/files" "$trash/info")"
echo "ok: Put back brought all four home and cleared their records"

sleep 0.5
kill "$ANSWERS_PID"
slowest=$(slowest_answer)
echo "the app answered $(answers_seen) state requests, the slowest in ${slowest}s"
(($(echo "$slowest < 1" | bc))) || fail "the app took ${slowest}s to answer during the drop"
echo "ok: the app answered within a second throughout"

kill -TERM "$CAT_PID"
wait_for 3 "the app ends on SIGTERM" sh -c "! kill -0 $CAT_PID 2>/dev/null"
echo "ok: SIGTERM ends the app"
