#!/usr/bin/env bash
# The cat's frame clock follows the screen's refresh rate: a switch to a 144 Hz and then a
# 120 Hz mode of the same size, and back to 60 Hz, each reaches the running clock.
source "$(dirname "$0")/cat_lib.sh"

start_desktop
start_randr
set_mode 1920 1080 60
xdotool mousemove 1500 200
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
rate_near() { cat_state | jq -e --argjson hz "$1" '(.frameRate - $hz) | fabs < $hz / 20' >/dev/null; }
wait_for 15 "the frame clock runs at 60 Hz" rate_near 60
for hz in 144 120 60; do
    set_mode 1920 1080 "$hz"
    wait_for 5 "the frame clock follows the $hz Hz mode (now $(cat_state | jq .frameRate))" rate_near "$hz"
    echo "ok: a $hz Hz mode: the frame clock runs at $(cat_state | jq '.frameRate | . * 10 | round / 10') frames a second"
done
