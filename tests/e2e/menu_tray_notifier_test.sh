#!/usr/bin/env bash
# A StatusNotifierItem host (sway's bar, KDE, AppIndicator) instead of an XEmbed tray: with a
# watcher on the session bus the app registers an item of its own, which shows the paw at tray
# sizes (ARGB in network byte order) and the countdown in its tooltip; a host's Activate(x, y)
# opens the menu window at that point, not at XWayland's stale pointer; (0, 0) falls back to
# the pointer; absurd points keep the window on screen; a watcher that restarts gets the item
# registered again.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/devices_lib.sh"
command -v gdbus >/dev/null || fail "gdbus is not installed (make deps installs it)"

start_desktop
start_buses
export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
start_fake watcher watcher
WATCHER_PID=${E2E_PIDS[-1]}
start_cat
ITEM=org.kde.StatusNotifierItem-$CAT_PID-1
registrations() { grep -c "^registered $ITEM " "$E2E_TMP/watcher.out" || true; }
wait_for 10 "the item registers with the watcher" test "$(registrations)" -ge 1

item() { gdbus call --session -d "$ITEM" -o /StatusNotifierItem "$@"; }
prop() { item -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem "$1"; }
menu() { ask '{"cmd":"menu"}'; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
menu_closed() { [ "$(menu | jq -r .open)" = false ]; }
# host METHOD X Y: a host's call, as swaybar makes it on a click.
host() { item -m "org.kde.StatusNotifierItem.$1" -- "$2" "$3" >/dev/null; }
# The menu window's content frame: "x y w h".
frame() { menu | jq -r '.frame | map(tostring) | join(" ")'; }
close_menu() {
    xdotool key Escape
    wait_for 5 "Escape closes the window" menu_closed
}

# What a host reads before it draws anything.
[ "$(prop Category)" = "(<'ApplicationStatus'>,)" ] || fail "category: $(prop Category)"
[ "$(prop Status)" = "(<'Active'>,)" ] || fail "status: $(prop Status)"
[ "$(prop ItemIsMenu)" = "(<false>,)" ] || fail "ItemIsMenu: $(prop ItemIsMenu)"
# The right-click menu hosts read (menu_tray_dbusmenu_test.sh drives it); hosts that show none
# send ContextMenu, which opens the window (below).
[ "$(prop Menu)" = "(<objectpath '/MenuBar'>,)" ] || fail "Menu: $(prop Menu)"
[ "$(prop WindowId)" = "(<0>,)" ] || fail "window id: $(prop WindowId)"
[[ "$(prop Id)" == "(<'purrlox'>,)" && "$(prop Title)" == "(<'Purrlox'>,)" ]] ||
    fail "id and title: $(prop Id) $(prop Title)"
[ "$(prop ToolTip)" = "(<('', @a(iiay) [], 'Purrlox', '')>,)" ] || fail "tooltip: $(prop ToolTip)"

# Every picture square at a tray size, four bytes a pixel, alpha first: a transparent pixel
# carries no colour (straight alpha), and the paw has opaque pixels.
check_pixmaps() {
    python3 -c '
import re, sys
text = sys.stdin.read()
shots = re.findall(r"\((\d+), (\d+), \[(?:byte )?([^\]]*)\]\)", text)
assert shots, "no pictures in " + text[:200]
sizes = []
for w, h, data in shots:
    w, h = int(w), int(h)
    b = [int(x, 16) for x in re.findall(r"0x([0-9a-f]{2})", data)]
    assert w == h and 16 <= w <= 64, "size %dx%d" % (w, h)
    assert len(b) == w * h * 4, "%dx%d with %d bytes" % (w, h, len(b))
    px = [b[i:i + 4] for i in range(0, len(b), 4)]
    assert all(p == [0, 0, 0, 0] for p in px if p[0] == 0), "colour under zero alpha: byte order"
    assert sum(p[0] == 255 for p in px) > w * h // 10, "%dx%d is nearly blank" % (w, h)
    sizes.append(w)
assert 22 in sizes and len(sizes) >= 3, "sizes %s" % sizes
print(" ".join(map(str, sizes)))
'
}
idle_icon=$(prop IconPixmap)
sizes=$(check_pixmaps <<<"$idle_icon") || fail "IconPixmap: $sizes"
echo "icon sizes: $sizes"

# XWayland's pointer stood still somewhere else while the user clicked the bar.
xdotool mousemove 200 900
host Activate 900 500
wait_for 5 "Activate opens the menu window" menu_open
read -r wx wy ww wh <<<"$(frame)"
((wx + ww / 2 >= 898 && wx + ww / 2 <= 902 && wy >= 500 && wy <= 520)) ||
    fail "window at $wx,$wy ${ww}x$wh after Activate(900, 500)"
# The bar is no X11 window: a second click on the icon closes the window, a third opens it.
host Activate 900 500
wait_for 5 "a second Activate closes the window" menu_closed
host Activate 900 500
wait_for 5 "a third Activate opens it again" menu_open

# Start from the window: the tooltip counts down, the icon shows the minutes, and the host
# hears of both.
dbus-monitor --session "type='signal',interface='org.kde.StatusNotifierItem'" \
    >"$E2E_TMP/signals.log" 2>&1 &
E2E_PIDS+=($!)
sleep 0.3
read -r sx sy <<<"$(menu | jq -r '.controls.startStop.frame | "\(.[0] + (.[2] / 2 | floor)) \(.[1] + (.[3] / 2 | floor))"')"
xdotool mousemove "$sx" "$sy" click 1
tip_counts() { [[ "$(prop ToolTip)" == *"'Purrlox · 2"[45]:* ]]; }
wait_for 5 "the tooltip counts down" tip_counts
first=$(prop ToolTip)
sleep 2.2
second=$(prop ToolTip)
[ "$first" != "$second" ] || fail "the tooltip stands still: $second"
busy_icon=$(prop IconPixmap)
check_pixmaps <<<"$busy_icon" >/dev/null || fail "IconPixmap while counting"
[ "$busy_icon" != "$idle_icon" ] || fail "the icon does not show the minutes"
for signal in NewIcon NewToolTip; do
    grep -q "member=$signal\$" "$E2E_TMP/signals.log" || fail "no $signal: $(cat "$E2E_TMP/signals.log")"
done
close_menu

# A host that tells no point: the window opens at the pointer, as Qt's icon did.
xdotool mousemove 300 700
host Activate 0 0
wait_for 5 "Activate(0, 0) opens the window" menu_open
read -r wx wy ww wh <<<"$(frame)"
((wx + ww / 2 >= 298 && wx + ww / 2 <= 302 && wy + wh <= 700)) ||
    fail "window at $wx,$wy ${ww}x$wh after Activate(0, 0) with the pointer at 300,700"
close_menu

# Absurd points, and the right button: the window stays inside the screen.
for call in "Activate 2147483647 2147483647" "SecondaryActivate -2147483648 -2147483648" \
    "ContextMenu 1900 1070"; do
    # shellcheck disable=SC2086
    host $call
    wait_for 5 "$call opens the window" menu_open
    read -r wx wy ww wh <<<"$(frame)"
    ((wx >= 0 && wy >= 0 && wx + ww <= E2E_WIDTH && wy + wh <= E2E_HEIGHT)) ||
        fail "window at $wx,$wy ${ww}x$wh after $call"
    close_menu
done
[ "$(grep -c "off every screen" "$CAT_LOG")" = 2 ] || fail "no line for each absurd point: $(cat "$CAT_LOG")"
item -m org.kde.StatusNotifierItem.Scroll -- 3 vertical >/dev/null || fail "Scroll refused"

# The watcher restarts (the bar did): the item registers with the new one.
kill "$WATCHER_PID"
# shellcheck disable=SC2154 # set by start_fake through eval
exec {FAKE_watcher}>&-
rm -f "$E2E_TMP/watcher.in"
mv "$E2E_TMP/watcher.out" "$E2E_TMP/watcher-first.out"
start_fake watcher watcher
wait_for 10 "the item registers with the restarted watcher" test "$(registrations)" -ge 1
kill -0 "$CAT_PID" || fail "the app died: $(tail "$CAT_LOG")"
echo "PASS"
