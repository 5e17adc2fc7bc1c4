#!/usr/bin/env bash
# A second monitor whose bottom stands 280 pixels lower than the primary's: walking off the
# primary's right end the cat falls onto the lower floor and stands there, in view; on its way
# back it climbs the face of the step at the seam and stands on the primary's floor again.
source "$(dirname "$0")/cat_lib.sh"
split_screen 1920/510x800/215+0+0 1280/340x1080/290+1920+0
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 30 "the cat has walked in" cat_is idle
# y up from the primary's bottom: the second monitor's bottom is at -280, its floor at -268.
lower=$(cat_state | jq -c '[.monitors[1].frame[] | round]')
[ "$lower" = "[1920,-280,1280,1080]" ] || fail "the engine's second monitor: $lower"

below() { cat_state | jq -e '.x - 48 >= 1920 and .feetY == -268 and .monitor != null' >/dev/null; }
wander_until 30 below || fail "no wander took the cat down onto the lower floor: $(cat_state | jq -c '[.x, .feetY, .monitor]')"
grep -q "cat: falling" "$CAT_LOG" || fail "the cat reached the lower floor without falling"
echo "ok: the cat fell onto the lower monitor's floor at x $(cat_state | jq .x)"

up() { cat_state | jq -e '.x + 48 <= 1920 and .feetY == 12 and .kind == "idle"' >/dev/null; }
wander_until 30 up || fail "no wander took the cat back up onto the primary: $(cat_state | jq -c '[.x, .feetY, .kind]')"
grep -q "cat: climbingUp" "$CAT_LOG" || fail "the cat reached the higher floor without climbing the step"
echo "ok: the cat climbed back up the step onto the primary's floor at x $(cat_state | jq .x)"
