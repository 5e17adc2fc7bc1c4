#!/usr/bin/env bash
# The cat on a KDE Plasma Wayland session: kwin_wayland runs headless with XWayland and a
# private session bus, with one native Wayland window (weston-terminal) and one xterm. Started
# without QT_QPA_PLATFORM, Purrlox picks XWayland itself; its KWin script tells it both windows
# at the tops KWin draws; the cat climbs the native window and falls when KWin moves it; quitting
# unloads the script; when KWin's bus connection breaks the cat is back on the floor.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/kwin_lib.sh"

start_kwin
echo "ok: kwin_wayland runs headless on $WAYLAND_DISPLAY with XWayland on $DISPLAY"

open_two_windows
# The native window's face down to the floor, 10 pixels above the screen's bottom: a face that
# floats is never climbed.
read -r _ _ _ native_h <<<"$(kwin_frame Wayland_Terminal)"
kwin_move "Wayland Terminal" 400 $((E2E_HEIGHT - native_h - 10))

# The cat carries the pointer only where the compositor follows XWayland's warps; KWin does
# not, and the channel says so.
cursor() { kwin_js "reads the pointer" 'print("@ " + workspace.cursorPos.x + " " + workspace.cursorPos.y); print("@ end");'; }
before=$(cursor)
xdotool mousemove 100 150
sleep 0.3
[ "$(cursor)" = "$before" ] || fail "KWin's pointer followed an XWayland warp: $before -> $(cursor); allow warps"
echo "ok: KWin's pointer stays at $before when XWayland warps, so the cat does not carry it"

start_cat
grep -q "Wayland session: Purrlox runs on XWayland (xcb)" "$CAT_LOG" ||
    fail "no line about picking XWayland: $(head -3 "$CAT_LOG")"
[ "$(grep -c 'runs on XWayland' "$CAT_LOG")" = 1 ] || fail "the platform is told more than once"
echo "ok: a Wayland session without QT_QPA_PLATFORM starts on xcb and says so once"
ask '{"cmd":"calm","seconds":3600}' >/dev/null

native=$(kwin_frame Wayland_Terminal)
xframe=$(kwin_frame e2e-xterm)
wait_for 10 "the native window's top is in the cat's list" has_top "$(engine_frame "$native")"
wait_for 10 "the xterm's top is in the cat's list" has_top "$(engine_frame "$xframe")"
count=$(ask '{"cmd":"tops"}' | jq '.windows | length')
[ "$count" = 2 ] || fail "the cat sees $count tops: $(ask '{"cmd":"tops"}')"
echo "ok: the cat's tops are KWin's frames: native $(engine_frame "$native"), xterm $(engine_frame "$xframe")"

# The climb goes to the front-most window: the native one.
native_top=$(jq '.[1] + .[3]' <<<"$(engine_frame "$native")")
on_native() {
    cat_state | jq -e --argjson top "$native_top" \
        '.platform > 0 and (.feetY - $top | fabs) <= 1 and (.kind == "idle" or .kind == "snacking")'
}
ask '{"cmd":"due","what":"climb"}' >/dev/null
wait_for 60 "the cat climbs the native window's face" cat_is climbingUp
# Then snacks keep it where it stands.
(while :; do ask '{"cmd":"due","what":"snack"}' >/dev/null 2>&1 || true; sleep 0.3; done) &
E2E_PIDS+=($!)
wait_for 15 "the cat stands on the native window's top ($native_top)" on_native
echo "ok: the cat stands on the native window's top at $native_top"

# KWin moves the window down: the top leaves under the cat's feet.
kwin_move "Wayland Terminal" 400 420
wait_for 5 "the cat leaves the moved top" off_the_top
wait_for 5 "the cat lands on the floor" on_the_floor
moved=$(kwin_frame Wayland_Terminal)
wait_for 5 "the moved top is in the cat's list" has_top "$(engine_frame "$moved")"
echo "ok: the window moved by KWin made the cat fall; its new top is $(engine_frame "$moved")"

# At quit the script leaves KWin; a new start loads it again.
loaded() {
    gdbus call --session -d org.kde.KWin -o /Scripting \
        -m org.kde.kwin.Scripting.isScriptLoaded app.purrlox.Purrlox.windows
}
[ "$(loaded)" = "(true,)" ] || fail "our script is not loaded in KWin while the cat runs"
stop_cat
[ "$(loaded)" = "(false,)" ] || fail "our script stays loaded in KWin after quit"
echo "ok: quitting unloads the script from KWin"
rm -f "$CAT_SOCKET"
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 10 "a new start sees the native window's top again" has_top "$(engine_frame "$moved")"
echo "ok: a new start loads the script again"

# KWin's bus connection breaks: the list goes, with one line, and the cat walks on the floor.
kill "$PROXY_PID"
empty() { ask '{"cmd":"tops"}' | jq -e '.windows == []'; }
wait_for 5 "the cat's list empties when KWin leaves the bus" empty
[ "$(grep -c "lost the window list of KWin (KWin left the session bus)" "$CAT_LOG")" = 1 ] ||
    fail "not one line about the lost list: $(grep -i kwin "$CAT_LOG")"
kill -0 "$KWIN_PID" || fail "KWin died with its bus connection"
wait_for 10 "the cat is on the floor" on_the_floor
echo "ok: KWin leaving the bus leaves the cat on the floor, with one line"

# Forced onto Qt's own Wayland platform: the cat stays off the desktop, one line says that it
# needs XWayland, and the menu still opens.
[ -e "$(qtpaths6 --query QT_INSTALL_PLUGINS)/platforms/libqwayland-generic.so" ] ||
    fail "Qt's Wayland platform is not installed (make deps installs qt6-wayland)"
stop_cat
rm -f "$CAT_SOCKET"
QT_QPA_PLATFORM=wayland start_cat
menu_opens() { ask '{"cmd":"menu","open":true}' | jq -e '.open'; }
wait_for 10 "the menu opens on Qt's Wayland platform" menu_opens
[ "$(grep -c 'the cat needs XWayland' "$CAT_LOG")" = 1 ] ||
    fail "not one line saying the cat needs XWayland: $(head -5 "$CAT_LOG")"
cat_state | jq -e '.panel == null' >/dev/null || fail "a cat panel on Wayland: $(cat_state)"
echo "ok: forced onto Wayland the cat stays off the desktop with one line; the menu opens"
