#!/usr/bin/env bash
# A desktop without any tray: the app says so once, and starting it again (as the desktop
# entry does) opens the menu window near the pointer, inside the screen, instead of a second
# cat.
source "$(dirname "$0")/cat_lib.sh"

start_desktop
export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8
menu() { ask '{"cmd":"menu"}'; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }

start_cat
[ "$(menu | jq -r .tray.shown)" = false ] || fail "a tray where there is none"
[ "$(grep -c 'no system tray' "$CAT_LOG")" = 1 ] || fail "expected one line about the missing tray"

xdotool mousemove 1900 1070
"$E2E_PURRLOX" >"$E2E_TMP/second.log" 2>&1 || fail "the second start failed: $(cat "$E2E_TMP/second.log")"
wait_for 5 "the second start opens the menu window" menu_open
read -r wx wy ww wh <<<"$(menu | jq -r '.frame | map(tostring) | join(" ")')"
((ww == 310 && wx >= 0 && wy >= 0 && wx + ww <= E2E_WIDTH && wy + wh <= E2E_HEIGHT)) ||
    fail "menu window at $wx,$wy ${ww}x$wh"
[ "$(own_pids "$E2E_PURRLOX" | wc -l)" = 1 ] || fail "a second Purrlox is running"
echo PASS
