#!/usr/bin/env bash
# A reminder due a few seconds after start sends the cat off the screen edge; it comes back
# carrying the letter. A real click on the cat opens it, a real click on "Done ✓" closes it.
# Stroking the cat with the pointer makes it purr. A report letter shows its rows and bars.
# Screenshots go to $E2E_SCREENS (default /work/screens) when that folder can be made.
source "$(dirname "$0")/cat_lib.sh"
SCREENS=${E2E_SCREENS:-/work/screens}
mkdir -p "$SCREENS" 2>/dev/null || SCREENS=""

start_desktop
xdotool mousemove 1500 200 # away from the cat's way
# A reminder in the stored list, due six seconds from now (seconds since 2001 in UTC).
mkdir -p "$HOME/.local/share/purrlox"
due=$(echo "$(date +%s.%N) - 978307200 + 6" | bc)
text="Stretch your back and drink some water 💧"
printf '[{"id":"6F2A3B1C-0D4E-4F5A-8B6C-7D8E9FA0B1C2","text":"%s","at":%s,"daily":false}]' \
    "$text" "$due" >"$HOME/.local/share/purrlox/reminders.json"
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null

state_has() { cat_state | jq -e "$@"; }
wait_for 90 "the cat comes back carrying the letter and sits" \
    state_has '.unread == 1 and .carrying == true and .kind == "idle" and .reading == null'
echo "ok: the reminder fell due and the cat came back carrying it (unread 1)"

# Root pixels of the panel and of the cat's body.
reading=$(cat_state)
cat_x=$(jq '.x | round' <<<"$reading")
cat_y=$(jq --argjson H "$E2E_HEIGHT" '$H - (.feetY + 30) | round' <<<"$reading")
xdotool mousemove "$cat_x" "$cat_y"
sleep 0.3
xdotool click 1
wait_for 5 "the letter opens" state_has --arg t "$text" '.reading == $t and .kind == "reading"'
echo "ok: a click on the cat opened the letter"
sleep 0.5
reading=$(cat_state)
read -r px py pw ph <<<"$(panel_pixels "$reading")"
[ "$pw" = 300 ] && [ "$ph" = 390 ] || fail "the panel did not grow for the bubble: ${pw}x${ph}"
[ -n "$SCREENS" ] && import -window root -crop "${pw}x${ph}+${px}+${py}" +repage "$SCREENS/letter_open.png"

# "Done ✓" sits centred at the foot of the bubble, whose bottom edge is 16 points (4 and the tail's 12) above the
# 96-point cat picture; the button is 16 points inside it and about 35 points tall.
done_x=$((px + pw / 2 + 0))
done_y=$((py + ph - 96 - 4 - 12 - 16 - 18))
xdotool mousemove "$done_x" "$done_y"
sleep 0.3
xdotool click 1
wait_for 5 "the letter is read" state_has '.unread == 0 and .reading == null and .carrying == false'
echo "ok: a click on Done closed the letter and cleared unread"
wait_for 5 "the panel shrinks back" state_has '.panel[2] == 130'

# Stroking: the pointer goes back and forth over the cat.
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 10 "the cat sits again" cat_is idle
reading=$(cat_state)
cat_x=$(jq '.x | round' <<<"$reading")
cat_y=$(jq --argjson H "$E2E_HEIGHT" '$H - (.feetY + 30) | round' <<<"$reading")
for dx in 0 12 -12 12 -12 12 -12; do
    xdotool mousemove "$((cat_x + dx))" "$cat_y"
    sleep 0.08
done
wait_for 2 "the cat is petted" state_has '.kind == "petting" and .hearts == true'
echo "ok: stroking the cat with the pointer started petting, with hearts"
xdotool mousemove 1500 200

# A report letter, handed over directly, opens in the wider bubble with its rows and bars.
wait_for 10 "petting ends" cat_is idle
ask '{"cmd":"deliver","text":"Lovely work this week ✨","report":{"title":"📅 your week","rows":[["Writing","3 h 20 min"],["Reading","1 h 5 min"],["Emails","25 min"]],"notes":["Best day: Tuesday, 2 h 10 min","3 days in a row 🔥"],"bars":[7200,7800,3600,0,5400,1200,0]}}' >/dev/null
wait_for 90 "the cat carries the report" state_has '.carrying == true and .kind == "idle"'
reading=$(cat_state)
cat_x=$(jq '.x | round' <<<"$reading")
cat_y=$(jq --argjson H "$E2E_HEIGHT" '$H - (.feetY + 30) | round' <<<"$reading")
xdotool mousemove "$cat_x" "$cat_y" click 1
wait_for 5 "the report opens" state_has '.kind == "reading"'
sleep 0.5
reading=$(cat_state)
read -r px py pw ph <<<"$(panel_pixels "$reading")"
[ "$pw" = 340 ] || fail "a report letter wants the 340-point panel, got $pw"
[ -n "$SCREENS" ] && import -window root -crop "${pw}x${ph}+${px}+${py}" +repage "$SCREENS/letter_report.png"
echo "ok: the report letter opened in the ${pw}x${ph} panel"
