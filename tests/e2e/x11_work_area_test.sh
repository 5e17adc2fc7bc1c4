#!/usr/bin/env bash
# The primary screen and its visible frame: the whole monitor without docks, the monitor minus a
# dock's strut, GTK's per-monitor work area where it is published, each seen by a running reader
# as soon as the property changes.
source "$(dirname "$0")/lib.sh"
start_desktop
dock=$(open_xterm e2e-dock 80x2+0+1040)

start_watch
reading=$(last_reading)
jq -e '.screen.present and .screen.frame == [0,0,1920,1080] and .screen.refreshRate > 0' \
    <<<"$reading" >/dev/null || fail "screen: $(jq -c .screen <<<"$reading")"
jq -e '.screen.visible == [0,0,1920,1080]' <<<"$reading" >/dev/null ||
    fail "no docks: the visible frame should be the monitor: $(jq -c .screen <<<"$reading")"
echo "ok: screen frame and full visible frame"

visible_is() { jq -e --argjson want "$1" '.screen.visible == $want' <<<"$(last_reading)"; }

# A dock along the bottom edge reserving 40 pixels of the full width.
xprop -id "$dock" -f _NET_WM_WINDOW_TYPE 32a -set _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DOCK
xprop -id "$dock" -f _NET_WM_STRUT_PARTIAL 32c \
    -set _NET_WM_STRUT_PARTIAL "0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0, 1919"
wait_for 5 "the dock's strut leaves the bottom 40 px out" visible_is '[0,40,1920,1040]'
# A strut that spans only part of the edge still cuts the whole monitor's bottom.
xprop -id "$dock" -f _NET_WM_STRUT_PARTIAL 32c \
    -set _NET_WM_STRUT_PARTIAL "0, 0, 0, 60, 0, 0, 0, 0, 0, 0, 200, 800"
wait_for 5 "a partial strut of 60 px" visible_is '[0,60,1920,1020]'
# A left strut only counts where its span reaches the monitor's height.
xprop -id "$dock" -f _NET_WM_STRUT_PARTIAL 32c \
    -set _NET_WM_STRUT_PARTIAL "50, 0, 0, 60, 0, 1079, 0, 0, 0, 0, 200, 800"
wait_for 5 "a left strut of 50 px beside the bottom one" visible_is '[50,60,1870,1020]'
xprop -id "$dock" -f _NET_WM_STRUT_PARTIAL 32c \
    -set _NET_WM_STRUT_PARTIAL "50, 0, 0, 60, 2000, 2100, 0, 0, 0, 0, 200, 800"
wait_for 5 "a left strut spanning rows below the monitor is ignored" visible_is '[0,60,1920,1020]'
echo "ok: dock struts"

# GTK's own per-monitor area wins where the desktop publishes it.
xprop -root -f _GTK_WORKAREAS_D0 32c -set _GTK_WORKAREAS_D0 "10, 30, 1900, 1000"
wait_for 5 "GTK's work area is used" visible_is '[10,50,1900,1000]'
jq -e '.screen.visiblePixels == [10,30,1900,1000]' <<<"$(last_reading)" >/dev/null ||
    fail "work area pixels: $(jq -c .screen <<<"$(last_reading)")"
xprop -root -remove _GTK_WORKAREAS_D0
wait_for 5 "back to the dock strut without GTK's area" visible_is '[0,60,1920,1020]'
echo "ok: GTK work areas"

# The window list leaves the dock out of layer 0.
jq -e --argjson id "$dock" '.windows[] | select(.id == $id) | .layer == 20' \
    <<<"$(last_reading)" >/dev/null || fail "the dock should be on the dock layer"
echo "ok: dock layer"
