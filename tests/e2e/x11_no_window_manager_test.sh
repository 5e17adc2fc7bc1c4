#!/usr/bin/env bash
# Without a window manager (no stacking list, no work area) and without an X11 connection at
# all, the backends fall back and say so once, instead of failing.
source "$(dirname "$0")/lib.sh"
start_xserver
E2E_NO_WM=1
a=$(open_xterm e2e-bare-a 80x24+100+150)
b=$(open_xterm e2e-bare-b 40x10+700+200)

reading=$(probe 2>"$E2E_TMP/probe.log")
log=$(cat "$E2E_TMP/probe.log")
[ "$(listed_order "$reading" "$a" "$b")" = "$b $a" ] ||
    fail "without a stacking list the root's children should be listed, top first: $reading"
[ "$(listed_pixels "$reading" "$a")" = "$(xwininfo_frame "$a")" ] ||
    fail "bare window frame: $(listed_pixels "$reading" "$a") vs $(xwininfo_frame "$a")"
jq -e '.screen.visible == [0,0,1920,1080]' <<<"$reading" >/dev/null ||
    fail "no work area: the visible frame should be the monitor: $(jq -c .screen <<<"$reading")"
[ "$(grep -c "no _NET_CLIENT_LIST_STACKING" <<<"$log")" = 1 ] ||
    fail "expected one log line about the missing stacking list, got: $log"
[ "$(grep -c "no work area" <<<"$log")" = 1 ] ||
    fail "expected one log line about the missing work area, got: $log"
echo "ok: no window manager"

# Another Qt platform: no X11 connection, so no windows, with one log line.
reading=$(QT_QPA_PLATFORM=offscreen probe 2>"$E2E_TMP/probe.log")
jq -e '.windows == [] and .pointer.buttons == 0' <<<"$reading" >/dev/null ||
    fail "without X11 the list should be empty: $reading"
[ "$(grep -c "not on an X11 display" "$E2E_TMP/probe.log")" = 1 ] ||
    fail "expected one log line without X11, got: $(cat "$E2E_TMP/probe.log")"
echo "ok: no X11 connection"
