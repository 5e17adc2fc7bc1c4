#!/usr/bin/env bash
# Two monitors, a real panel (tint2) on the second one only: the second's floor stands on the
# panel's edge while the primary's stays at the bottom. The bed dragged onto the second monitor
# with the real pointer is saved there and stands there again after a restart; when that
# monitor goes away the bed stands in the primary's corner at once, the saved spot unchanged,
# and when the monitor is back so is the bed.
source "$(dirname "$0")/cat_lib.sh"
command -v tint2 >/dev/null || fail "tint2 is not installed (make deps installs it)"
H=$E2E_HEIGHT
split_screen 1920/510x1080/290+0+0 1280/340x1080/290+1920+0
SETTINGS=$XDG_CONFIG_HOME/purrlox/settings.json
mkdir -p "$XDG_CONFIG_HOME/tint2"
sed -e 's/^panel_monitor = .*/panel_monitor = 2/' /etc/xdg/tint2/tint2rc >"$XDG_CONFIG_HOME/tint2/tint2rc"
tint2 >"$E2E_TMP/tint2.log" 2>&1 &
E2E_PIDS+=($!)
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 30 "the cat has walked in" cat_is idle
visible() { cat_state | jq -c "[.monitors[$1].visible[] | round]"; }
panel_on_second() { [ "$(visible 1)" = "[1920,30,1280,1050]" ]; }
wait_for 10 "the second monitor's work area ends at tint2's edge: $(visible 1)" panel_on_second
[ "$(visible 0)" = "[0,0,1920,1080]" ] || fail "the primary's work area changed: $(visible 0)"
[ "$(cat_state | jq .feetY)" = 12 ] || fail "the cat left the primary's floor: $(cat_state | jq .feetY)"
echo "ok: tint2 on the second monitor raises its floor only"

# A real drag of the empty bed onto the second monitor, to x 2600, let go low so it stands on the floor.
read -r bx by bw bh <<<"$(cat_state | jq -r '.bed | map(round | tostring) | join(" ")')"
px=$((bx + bw / 2)) py=$((H - by - bh / 4))
xdotool mousemove $px $py mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $((px + (2600 - px) * step / 10)) $((py + (H - 30 - py) * step / 10))
    sleep 0.05
done
xdotool mouseup 1
bed_x() { cat_state | jq '.bedSpot[0] | round'; }
bed_on_second() { (($(bed_x) > 1920 + 48)) && [ "$(cat_state | jq '.bedSpot[1] | round')" = 42 ]; }
wait_for 3 "the bed stands on the second monitor's floor: $(cat_state | jq -c .bedSpot)" bed_on_second
saved=$(jq -c '.bedSpot | map(round)' "$SETTINGS")
[ "$(jq '.[0]' <<<"$saved")" = "$(bed_x)" ] || fail "the spot was not saved: $saved"
echo "ok: the bed was dragged onto the second monitor and saved at $saved"

stop_cat
rm -f "$CAT_SOCKET"
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 5 "the bed stands on the second monitor after a restart" bed_on_second
echo "ok: after a restart the bed is back at x $(bed_x)"

xrandr --delmonitor right
in_corner() { [ "$(cat_state | jq -c '.bedSpot | map(round)')" = "[1852,12]" ]; }
from=$(now)
wait_for 3 "the bed stands in the primary's corner" in_corner
echo "ok: the bed stood in the primary's corner $(echo "$(now) - $from" | bc) s after the monitor went"
[ "$(jq -c '.bedSpot | map(round)' "$SETTINGS")" = "$saved" ] || fail "the saved spot was rewritten"
grep -q "the monitor under the bed went away" "$CAT_LOG" || fail "no log line for the bed"
xrandr --setmonitor right 1280/340x1080/290+1920+0 none
wait_for 3 "the bed is back on the second monitor" bed_on_second
echo "ok: the monitor went and came back: so did the bed"
