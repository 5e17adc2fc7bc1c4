#!/usr/bin/env bash
# The paw in GNOME's top bar, on a Shell with no tray host: with our extension enabled and
# Purrlox running, a panel button shows the paw; while a timer runs it shows the countdown
# beside it, fed by Purrlox; a real click on it opens the menu window under it; when a
# StatusNotifierWatcher (the AppIndicator extension) comes, the paw moves into it and the button
# goes (one paw, never two), and comes back when it goes; when Purrlox quits, the button goes.
source "$(dirname "$0")/gnome_shell_lib.sh"
source "$(dirname "$0")/devices_lib.sh"

start_gnome_shell
export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/purrlox LANG=C.UTF-8
export QT_QPA_PLATFORM=xcb
gnome-extensions enable $SHELL_UUID
ext_enabled() { [[ "$(extension_state)" =~ ^1(\.0)?$ ]]; }
wait_for 10 "the extension is enabled" ext_enabled

BUTTON='Main.panel.statusArea.purrlox'
paw_shown() { [ "$(shell_eval "$BUTTON !== undefined && $BUTTON.visible")" = true ]; }
paw_gone() { [ "$(shell_eval "$BUTTON === undefined")" = true ]; }
clock() { shell_eval "$BUTTON.purrloxClock.visible ? $BUTTON.purrloxClock.text : '-'"; }
counting() { [[ "$(clock)" =~ ^2[45]:[0-9][0-9]$ ]]; }
menu() { ask '{"cmd":"menu"}'; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }

paw_gone || fail "a paw before Purrlox runs"
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 10 "the paw shows in the top bar" paw_shown
[ "$(clock)" = - ] || fail "a countdown with no timer: $(clock)"
[ "$(shell_eval "$BUTTON.get_children()[0].get_children()[0].text")" = "🐾" ] || fail "no paw on the button"

# A timer: the countdown beside the paw, counting.
"$E2E_PURRLOX" --focus start || fail "--focus start"
wait_for 5 "the button shows the countdown" counting
first=$(clock)
sleep 2.2
second=$(clock)
[ "$first" != "$second" ] || fail "the countdown stands still at $second"
echo "ok: countdown $first then $second"
# The paw shows, so no letter asks for a tray (the advice comes 3 s after the start).
sleep 1
! ask '{"cmd":"letters"}' | grep -q appindicator || fail "a letter asks for a tray: $(ask '{"cmd":"letters"}')"

# A real click on the button opens the menu window under it.
read -r bx by bw bh <<<"$(shell_eval "(b => { const [x, y] = b.get_transformed_position();
    const [w, h] = b.get_transformed_size(); return [x, y, w, h].map(Math.round).join(' ') })($BUTTON)")"
shell_click $((bx + bw / 2)) $((by + bh / 2))
wait_for 5 "a click on the paw opens the window" menu_open
read -r wx wy ww wh <<<"$(menu | jq -r '.frame | map(tostring) | join(" ")')"
((wy >= by + bh - 2 && wy <= by + bh + 40)) || fail "window top $wy; the button spans $by..$((by + bh))"
((wx <= bx + bw && wx + ww >= bx && wx + ww <= SHELL_WIDTH)) ||
    fail "window at $wx..$((wx + ww)), the button at $bx..$((bx + bw))"
echo "ok: the window at $wx,$wy ${ww}x$wh under the button at $bx,$by ${bw}x$bh"
xdotool key Escape || true

# A tray host comes: the paw moves into it (our own item), the button goes; the host goes: the
# button is back, with the countdown it did not hear while hidden.
start_fake watcher watcher
WATCHER_PID=${E2E_PIDS[-1]}
wait_for 5 "the button goes when a tray host comes" paw_gone
wait_for 10 "the paw goes into the tray host" grep -q "^registered org.kde.StatusNotifierItem-$CAT_PID-1 " "$E2E_TMP/watcher.out"
kill "$WATCHER_PID"
wait_for 5 "the button comes back when the tray host goes" paw_shown
wait_for 5 "with the countdown" counting

# Purrlox quits: the button goes.
stop_cat
wait_for 5 "the button goes with Purrlox" paw_gone
! grep -q "JS ERROR.*[Pp]urrlox" "$E2E_TMP/shell.log" || fail "errors in the Shell: $(grep -A3 'JS ERROR' "$E2E_TMP/shell.log" | head)"
echo "PASS"
