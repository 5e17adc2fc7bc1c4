#!/usr/bin/env bash
# sway (headless) with two outputs side by side: the engine has both as monitors, from sway's
# own list; a native window on the second output is in the cat's tops, and the cat walks over
# the seam to it, climbs it and stands on its top.
source "$(dirname "$0")/sway_lib.sh"

start_sway \
    "output HEADLESS-2 resolution ${SWAY_WIDTH}x${SWAY_HEIGHT} position $SWAY_WIDTH 0" \
    'workspace 2 output HEADLESS-2' \
    "for_window [app_id=\"org.freedesktop.weston.wayland-terminal\"] floating enable, resize set 500 260, move absolute position $((SWAY_WIDTH + 300)) 530"
msg create_output
outputs() { [ "$(as_user swaymsg -t get_outputs | jq length)" = 2 ]; }
wait_for 10 "sway has two outputs" outputs
msg workspace 2
msg exec weston-terminal
wait_for 15 "the native window shows" has_window "Wayland Terminal"
native=$(sway_points "Wayland Terminal")
read -r nx ny nw nh <<<"$native"
((nx >= SWAY_WIDTH)) || fail "the native window is not on the second output: $native"

start_cat_in_sway
ask '{"cmd":"calm","seconds":3600}' >/dev/null
monitors() { cat_state | jq -c '[.monitors[] | .frame | map(round)]'; }
both() { [ "$(monitors)" = "[[0,0,$SWAY_WIDTH,$SWAY_HEIGHT],[$SWAY_WIDTH,0,$SWAY_WIDTH,$SWAY_HEIGHT]]" ]; }
wait_for 10 "the engine has sway's two outputs: $(monitors)" both
listed() { tops | grep -qxF "$native"; }
wait_for 10 "the native window on the second output is a top ($native)" listed
echo "ok: two monitors $(monitors); the native window's top at $native"

wait_for 30 "the cat has walked in" cat_is idle
native_top=$((ny + nh))
climb_and_stand "$native_top" "$SWAY_WIDTH"
echo "ok: the cat walked to the second output and stands on the native window ($(cat_state | jq -c '[.x, .feetY]'))"
