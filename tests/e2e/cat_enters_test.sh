#!/usr/bin/env bash
# The cat walks in from the left edge along the floor and stops at its entry spot; its panel is
# an override-redirect window exactly where the engine puts it.
source "$(dirname "$0")/cat_lib.sh"
start_desktop
open_xterm e2e-a 80x24+600+200 >/dev/null
start_cat
# A snack due on arrival keeps the cat at its spot long enough to be read there.
ask '{"cmd":"due","what":"snack"}' >/dev/null

first=$(cat_state)
jq -e '.kind == "walking" and .x < 0 and .feetY == 12' <<<"$first" >/dev/null ||
    fail "the cat should start walking in from off screen on the floor: $first"
grep -q 'cat panel shown at {{' "$CAT_LOG" || fail "no panel log line: $(cat "$CAT_LOG")"
spot=$(entry_spot)
[ -n "$spot" ] || fail "no entry walk in the log: $(cat "$CAT_LOG")"
(($(echo "$spot >= 0.12 * $E2E_WIDTH && $spot <= 0.30 * $E2E_WIDTH" | bc))) ||
    fail "entry spot $spot is not 12-30 % of the way in"

# Walking right only, until it sits.
last=-1000
deadline=$(echo "$(now) + 30" | bc)
while :; do
    reading=$(cat_state)
    x=$(jq .x <<<"$reading")
    (($(echo "$x >= $last" | bc))) || fail "the cat stepped back from $last to $x"
    last=$x
    [ "$(jq -r .kind <<<"$reading")" = walking ] || break
    (($(echo "$(now) < $deadline" | bc))) || fail "still walking after 30 s: $reading"
    sleep 0.1
done
jq -e --argjson spot "$spot" '(.kind == "idle" or .kind == "snacking") and (.x - $spot | fabs) < 0.001 and .feetY == 12' \
    <<<"$reading" >/dev/null || fail "the cat should sit at $spot on the floor: $reading"
echo "ok: walked in and sat at x $spot"

panel=$(panel_window)
[ -n "$panel" ] || fail "no panel window: $(xwininfo -root -children)"
xwininfo -id "$panel" | grep -q 'Override Redirect State: yes' || fail "the panel is managed"
[ "$(window_pixels "$panel")" = "$(panel_pixels "$reading")" ] ||
    fail "panel window at $(window_pixels "$panel"), engine frame $(panel_pixels "$reading")"
echo "ok: panel window at $(window_pixels "$panel")"

# A second start hands its link to the running Purrlox and leaves; no second cat.
timeout 10 "$E2E_PURRLOX" purrlox://hello/there >"$E2E_TMP/second.log" 2>&1 ||
    fail "the second start did not leave: $(cat "$E2E_TMP/second.log")"
wait_for 5 "the running app logs the link" grep -q 'ignored a purrlox:// link (hello)' "$CAT_LOG"
[ "$(xwininfo -root -children | grep -c '"Purrlox": ("purrlox" "app.purrlox.Purrlox")')" = 1 ] || fail "two cat panels"
echo "ok: a second start handed its link over"
