#!/usr/bin/env bash
# kwin_wayland (headless) with two outputs side by side: the engine has both as monitors, from
# KWin's own list; a native window on the second output is in the cat's tops, and the cat walks
# over the seam to it, climbs it and stands on its top.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/kwin_lib.sh"

KWIN_OUTPUTS=2 start_kwin
(
    unset DISPLAY
    exec weston-terminal --shell="$E2E_TMP/sleeper.sh"
) >"$E2E_TMP/weston-terminal.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 10 "KWin manages the native window" kwin_has Wayland_Terminal
# On the second output, its face down to 10 pixels above the bottom: a face the cat climbs.
read -r _ _ _ native_h <<<"$(kwin_frame Wayland_Terminal)"
kwin_move "Wayland Terminal" $((E2E_WIDTH + 300)) $((E2E_HEIGHT - native_h - 10))
native=$(engine_frame "$(kwin_frame Wayland_Terminal)")
[ "$(jq '.[0]' <<<"$native")" -ge "$E2E_WIDTH" ] || fail "the native window is not on the second output: $native"

start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
monitors() { cat_state | jq -c '[.monitors[] | .frame | map(round)]'; }
both() { [ "$(monitors)" = "[[0,0,$E2E_WIDTH,$E2E_HEIGHT],[$E2E_WIDTH,0,$E2E_WIDTH,$E2E_HEIGHT]]" ]; }
wait_for 10 "the engine has KWin's two outputs: $(monitors)" both
wait_for 10 "the native window on the second output is a top ($native)" has_top "$native"
echo "ok: two monitors $(monitors); the native window's top at $native"

wait_for 30 "the cat has walked in" cat_is idle
native_top=$(jq '.[1] + .[3]' <<<"$native")
climb_and_stand "$native_top" "$E2E_WIDTH"
echo "ok: the cat walked to the second output and stands on the native window ($(cat_state | jq -c '[.x, .feetY]'))"
