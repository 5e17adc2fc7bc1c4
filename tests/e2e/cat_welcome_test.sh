#!/usr/bin/env bash
# The very first start (no settings file yet): the cat walks in with a welcome letter that tells
# where the paw is, that the cat can be picked up and fed files, and that Purrlox opens at login;
# a real click opens it. The second start brings no letter.
source "$(dirname "$0")/cat_lib.sh"
SHOTS=${PURRLOX_SCREENS:-}
export LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES

start_desktop
xdotool mousemove 1500 200 # away from the cat's way
SETTINGS=$XDG_CONFIG_HOME/purrlox/settings.json
[ ! -e "$SETTINGS" ] || fail "the home is not new"
E2E_FIRST_START=1 start_cat
state_has() { cat_state | jq -e "$@"; }
has_welcome() {
    ask '{"cmd":"letters"}' | jq -e --arg w "Hello, I'm your Purrlox cat" \
        '.letters | map(select(.text | startswith($w))) | length == 1'
}
wait_for 10 "the cat has the welcome letter" has_welcome
wait_for 60 "the cat sits with the letter in its mouth" \
    state_has '.unread == 1 and .carrying == true and .kind == "idle" and .reading == null'

reading=$(cat_state)
cat_x=$(jq '.x | round' <<<"$reading")
cat_y=$(jq --argjson H "$E2E_HEIGHT" '$H - (.feetY + 30) | round' <<<"$reading")
xdotool mousemove "$cat_x" "$cat_y"
sleep 0.3
xdotool click 1
wait_for 5 "the letter opens" state_has '.kind == "reading" and .reading != null'
text=$(cat_state | jq -r .reading)
for part in "tray" "start Purrlox again" "pick me" "Trash" '"Put back"' '"Open at login"'; do
    grep -qF "$part" <<<"$text" || fail "the welcome letter does not say $part: $text"
done
sleep 0.5
[ -n "$SHOTS" ] && import -window root "$SHOTS/welcome_letter.png"
jq -e '.launchAtLoginConfigured == true' "$SETTINGS" >/dev/null ||
    fail "the first start did not switch launch at login on: $(cat "$SETTINGS")"
[ -f "$XDG_CONFIG_HOME/autostart/app.purrlox.Purrlox.desktop" ] ||
    fail "no autostart entry: $(ls -A "$XDG_CONFIG_HOME/autostart" 2>&1)"
echo "ok: the first start brought the welcome letter and it opens"

# The second start: the settings file is there, no letter comes.
stop_cat
rm -f "$CAT_SOCKET"
xdotool mousemove 1500 200
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null # no hunt of its own in the way
wait_for 30 "the cat walks in" cat_is idle
sleep 8 # time enough to fetch a letter
state_has '.unread == 0 and .carrying == false' >/dev/null || fail "a letter came on the second start: $(cat_state)"
[ "$(ask '{"cmd":"letters"}' | jq '.letters | length')" = 0 ] || fail "letters wait: $(ask '{"cmd":"letters"}')"
echo "PASS"
