#!/usr/bin/env bash
# The paw in swaybar's tray: on sway (headless, its output at 200,100 of the layout) the app
# registers its StatusNotifierItem with swaybar's own watcher, swaybar reads the pictures and
# draws the paw, and the click point swaybar sends with Activate (sway's layout, where
# XWayland's monitor sits at +200+100 of the root) opens the menu window there.
source "$(dirname "$0")/sway_lib.sh"
command -v gdbus >/dev/null || fail "gdbus is not installed (make deps installs it)"

# A session bus of the desktop's user, handed to swaybar and the app by wrappers (sway's exec
# would split the address at its commas; its swaybar_command takes a program, not a line).
as_user dbus-daemon --session --nofork --print-address=1 >"$E2E_TMP/bus.address" \
    2>"$E2E_TMP/bus.log" &
E2E_PIDS+=($!)
wait_for 10 "the session bus starts" test -s "$E2E_TMP/bus.address"
BUS=$(head -1 "$E2E_TMP/bus.address")
printf '#!/bin/sh\nexport DBUS_SESSION_BUS_ADDRESS="%s"\nexec "$@"\n' "$BUS" >"$E2E_TMP/on-bus"
printf '#!/bin/sh\nexec "%s" swaybar "$@"\n' "$E2E_TMP/on-bus" >"$E2E_TMP/swaybar"
chmod 755 "$E2E_TMP/on-bus" "$E2E_TMP/swaybar"
on_bus() { as_user "$E2E_TMP/on-bus" "$@"; }

start_sway "output HEADLESS-1 position 200 100" "bar {
    id tray
    position top
    swaybar_command $E2E_TMP/swaybar
}"
watcher_up() { on_bus gdbus call --session -d org.freedesktop.DBus -o / \
    -m org.freedesktop.DBus.GetNameOwner org.kde.StatusNotifierWatcher; }
wait_for 10 "swaybar's watcher is on the bus" watcher_up
shoot() { as_user env WAYLAND_DISPLAY=wayland-1 grim "$E2E_TMP/$1.png"; }
# The brightest pixel of the bar's right end, where the tray is (0 to 1).
tray_brightness() {
    convert "$E2E_TMP/$1.png" -crop 40x20+$((SWAY_WIDTH - 40))+1 +repage -colorspace gray \
        -format '%[fx:maxima]' info:
}
shoot empty

msg exec "$E2E_TMP/on-bus env QT_QPA_PLATFORM=xcb $E2E_PURRLOX --automation $CAT_SOCKET >>$CAT_LOG 2>&1"
wait_for 20 "the automation socket opens" test -S "$CAT_SOCKET"
CAT_PID=$(own_pids "$E2E_PURRLOX" | head -1)
ITEM=org.kde.StatusNotifierItem-$CAT_PID-1
listed() {
    on_bus gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
        -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems | grep -q "'$ITEM/StatusNotifierItem'"
}
wait_for 10 "swaybar's watcher lists the item" listed
drawn() {
    shoot tray
    awk -v e="$(tray_brightness empty)" -v t="$(tray_brightness tray)" 'BEGIN { exit !(t > e + 0.1) }'
}
wait_for 10 "swaybar draws the paw" drawn
[ -n "${E2E_SCREENS:-}" ] && mkdir -p "$E2E_SCREENS" && cp "$E2E_TMP/tray.png" "$E2E_SCREENS/sway_tray.png"

# sway's window list (with its outputs) has come, so the point maps through its layout.
menu() { ask '{"cmd":"menu"}'; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
listening() { grep -q "lost the window list" "$CAT_LOG" && return 1; ask '{"cmd":"tops"}' | jq -e .windows; }
wait_for 10 "the cat hears sway's window list" listening
sleep 0.5
# What swaybar sends for a click on an icon in the middle of its bar: 700,11 of the output.
on_bus gdbus call --session -d "$ITEM" -o /StatusNotifierItem \
    -m org.kde.StatusNotifierItem.Activate 900 111 >/dev/null
wait_for 5 "Activate opens the menu window" menu_open
read -r wx wy ww wh <<<"$(menu | jq -r '.frame | map(tostring) | join(" ")')"
((wx + ww / 2 >= 898 && wx + ww / 2 <= 902 && wy >= 111 && wy <= 130)) ||
    fail "window at $wx,$wy ${ww}x$wh after Activate(900, 111)"
# Where sway shows it (grim's picture starts at the output's corner): cream at its left edge.
shoot open
[ -n "${E2E_SCREENS:-}" ] && cp "$E2E_TMP/open.png" "$E2E_SCREENS/sway_tray_open.png"
pixel=$(convert "$E2E_TMP/open.png" -crop "1x1+$((wx - 200 + 4))+$((wy - 100 + wh / 2))" \
    -depth 8 txt:- | tail -1)
[[ $pixel == *"#FFF4EA"* ]] || fail "no menu window on the output under the click: $pixel"
echo "PASS"
