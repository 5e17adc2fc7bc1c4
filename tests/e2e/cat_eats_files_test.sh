#!/usr/bin/env bash
# Two real files dragged onto the cat with the real pointer go to the freedesktop Trash with
# their .trashinfo; the eaten bubble names them and "Put back" brings both home with their
# contents. A drag whose file vanished before the drop goes back to the source refused.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/drop_lib.sh"
SCREENS=${E2E_SCREENS:-/work/screens}
mkdir -p "$SCREENS" 2>/dev/null || SCREENS=""

start_desktop
desk=$E2E_TMP/desk
mkdir -p "$desk"
printf 'first file\n' >"$desk/two words.txt"
printf 'second file\n' >"$desk/-notes.md"
trash=$HOME/.local/share/Trash
xdotool mousemove 1500 200
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 40 "the cat sits" cat_is idle
state_has() { cat_state | jq -e "$@"; }

result=$(drag 1200 600 "$desk/two words.txt" "$desk/-notes.md")
[ "$result" = "finished: accepted move" ] || fail "the source was told '$result' for a drop the cat ate"
wait_for 5 "the bubble names both files" state_has '.eaten == ["two words.txt", "-notes.md"]'
[ ! -e "$desk/two words.txt" ] && [ ! -e "$desk/-notes.md" ] || fail "the files are still on the desk"
[ -f "$trash/files/two words.txt" ] && [ -f "$trash/files/-notes.md" ] || fail "the files are not in $trash/files: $(ls -A "$trash/files" 2>&1)"
[ -f "$trash/info/two words.txt.trashinfo" ] && [ -f "$trash/info/-notes.md.trashinfo" ] || fail "a .trashinfo is missing"
grep -q "^Path=$desk/two%20words.txt\$" "$trash/info/two words.txt.trashinfo" || fail "the record names another path: $(cat "$trash/info/two words.txt.trashinfo")"
echo "ok: two files dragged onto the cat are in the Trash with their records"

sleep 2.5 # past the gulp and the chewing
reading=$(cat_state)
read -r px py pw ph <<<"$(panel_pixels "$reading")"
[ "$pw" = 300 ] && [ "$ph" = 390 ] || fail "the panel did not grow for the bubble: ${pw}x${ph}"
[ -n "$SCREENS" ] && import -window root -crop "${pw}x${ph}+${px}+${py}" +repage "$SCREENS/eaten_bubble.png"

# "Put back" sits centred at the foot of the bubble (16 points inside, about 30 tall).
xdotool mousemove "$((px + pw / 2))" "$((py + ph - 96 - 4 - 12 - 16 - 15))"
sleep 0.3
xdotool click 1
wait_for 5 "the bubble closes" state_has '.eaten == null'
[ "$(cat "$desk/two words.txt")" = "first file" ] || fail "two words.txt did not come back whole"
[ "$(cat "$desk/-notes.md")" = "second file" ] || fail "-notes.md did not come back whole"
[ -z "$(ls -A "$trash/files")" ] && [ -z "$(ls -A "$trash/info")" ] || fail "the Trash still holds: $(ls -A "$trash/files" "$trash/info")"
echo "ok: Put back brought both files home with their contents and cleared their records"

# A file removed between the drag and the drop: nothing is eaten, and the source is told no.
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 10 "the cat sits again" cat_is idle
printf 'short-lived\n' >"$desk/gone.txt"
rm "$desk/gone.txt"
result=$(drag 1200 600 "$desk/gone.txt")
[ "$result" = "finished: refused" ] || fail "a drop that ate nothing reached the source as '$result'"
state_has '.eaten == null' >/dev/null || fail "a bubble shows for nothing eaten"
grep -q "cannot trash" "$CAT_LOG" || fail "the refusal left no log line"
echo "ok: a drop of a vanished file is refused to the source and logged"
