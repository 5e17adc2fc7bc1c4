#!/usr/bin/env bash
# Two monitors side by side with their bottoms level (RandR monitors on one X screen): the
# floor runs on across the seam and the cat walks over it by itself, its wanders drawn over
# both monitors; standing on the second one it is in view there.
source "$(dirname "$0")/cat_lib.sh"
split_screen 1920/510x1080/290+0+0 1280/340x1080/290+1920+0
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 30 "the cat has walked in" cat_is idle
two=$(cat_state | jq -c '[.monitors[] | .frame | map(round)]')
[ "$two" = "[[0,0,1920,1080],[1920,0,1280,1080]]" ] || fail "the engine's monitors: $two"

on_second() { cat_state | jq -e '.x - 48 >= 1920 and .feetY == 12 and .monitor != null' >/dev/null; }
wander_until 30 on_second || fail "no wander took the cat across the seam: $(cat_state | jq -c '[.x, .feetY, .monitor]')"
grep -q "falling" "$CAT_LOG" && fail "the cat fell at a level seam: $(grep falling "$CAT_LOG" | head -3)"
echo "ok: the cat stands on the second monitor at x $(cat_state | jq .x)"
