#!/usr/bin/env bash
# The cat on a KDE Plasma Wayland session: kwin_wayland runs headless with XWayland and a
# private session bus, with one native Wayland window (weston-terminal) and one xterm. Started
# without QT_QPA_PLATFORM, Purrlox picks XWayland itself; its KWin script tells it both windows
# at the tops KWin draws; the cat climbs the native window and falls when KWin moves it; quitting
# unloads the script; when KWin's bus connection breaks the cat is back on the floor.
source "$(dirname "$0")/cat_lib.sh"

for tool in kwin_wayland weston-terminal xdg-dbus-proxy dbus-daemon gdbus; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done

start_kwin() {
    export HOME=$E2E_TMP XDG_CONFIG_HOME=$E2E_TMP/config XDG_RUNTIME_DIR=$E2E_TMP/run
    export XDG_DATA_HOME=$E2E_TMP/data
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # A private session bus for everyone, and a proxy of it for KWin alone: killing the proxy
    # breaks KWin's connection, as a KWin that left the bus would.
    dbus-daemon --session --nofork --address="unix:path=$E2E_TMP/bus" >"$E2E_TMP/dbus.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 5 "the session bus listens" test -S "$E2E_TMP/bus"
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$E2E_TMP/bus
    xdg-dbus-proxy "$DBUS_SESSION_BUS_ADDRESS" "$E2E_TMP/kwin-bus" >"$E2E_TMP/proxy.log" 2>&1 &
    PROXY_PID=$!
    E2E_PIDS+=($PROXY_PID)
    wait_for 5 "the bus proxy listens" test -S "$E2E_TMP/kwin-bus"

    # The packaged binary carries a file capability that a sandbox may refuse to exec; a copy
    # carries none.
    cp "$(command -v kwin_wayland)" "$E2E_TMP/kwin_wayland"
    printf '#!/bin/sh\necho $$ >"%s/session.pid"\necho "$DISPLAY" >"%s/xdisplay"\nexec sleep 600\n' \
        "$E2E_TMP" "$E2E_TMP" >"$E2E_TMP/session.sh"
    printf '#!/bin/sh\nexec sleep 600\n' >"$E2E_TMP/sleeper.sh"
    chmod +x "$E2E_TMP/session.sh" "$E2E_TMP/sleeper.sh"
    local socket=purrlox-kwin
    (
        unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
        export DBUS_SESSION_BUS_ADDRESS=unix:path=$E2E_TMP/kwin-bus
        export QT_LOGGING_RULES="kwin_scripting.debug=true"
        exec "$E2E_TMP/kwin_wayland" --virtual --xwayland --width 1280 --height 800 \
            --socket "$socket" --exit-with-session "$E2E_TMP/session.sh"
    ) >"$E2E_TMP/kwin.log" 2>&1 &
    KWIN_PID=$!
    E2E_PIDS+=($KWIN_PID)
    local deadline=$(($(date +%s) + 20))
    until [ -s "$E2E_TMP/xdisplay" ]; do
        if ! kill -0 "$KWIN_PID" 2>/dev/null; then
            echo "SKIP: kwin_wayland cannot start here: $(tail -3 "$E2E_TMP/kwin.log")"
            exit 77
        fi
        (($(date +%s) < deadline)) || fail "kwin_wayland started no XWayland: $(tail -5 "$E2E_TMP/kwin.log")"
        sleep 0.1
    done
    E2E_PIDS+=($(cat "$E2E_TMP/session.pid"))
    export DISPLAY WAYLAND_DISPLAY=$socket XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE
    DISPLAY=$(cat "$E2E_TMP/xdisplay")
    unset QT_QPA_PLATFORM
    E2E_WIDTH=1280
    E2E_HEIGHT=800
}

# kwin_js WHAT CODE: runs CODE inside KWin as a script and prints what it print()s; "@" in
# CODE stands for the line marker, unique per call (calls run in subshells: no counter).
kwin_js() {
    local name=e2e$(date +%s%N) file
    file=$E2E_TMP/$name.js
    printf '%s\n' "${2//@/$name}" >"$file"
    gdbus call --session -d org.kde.KWin -o /Scripting -m org.kde.kwin.Scripting.loadScript \
        "$file" "$name" >/dev/null
    gdbus call --session -d org.kde.KWin -o /Scripting -m org.kde.kwin.Scripting.start >/dev/null
    wait_for 5 "KWin runs the script that $1" grep -q "js: $name end" "$E2E_TMP/kwin.log"
    gdbus call --session -d org.kde.KWin -o /Scripting -m org.kde.kwin.Scripting.unloadScript \
        "$name" >/dev/null
    sed -n "s/.*js: $name //p" "$E2E_TMP/kwin.log" | grep -v '^end$' || true
}

# The frames KWin draws, "caption x y w h" per line, in its logical pixels.
kwin_frames() {
    kwin_js "lists the frames" 'var ws = workspace.clientList ? workspace.clientList() : workspace.windowList();
for (var i = 0; i < ws.length; i++) { var g = ws[i].frameGeometry;
  print("@ " + ws[i].caption.replace(/ /g, "_") + " " + g.x + " " + g.y + " " + g.width + " " + g.height); }
print("@ end");'
}
kwin_frame() { awk -v c="$1" '$1 == c {print $2, $3, $4, $5}' <<<"$(kwin_frames)"; }
kwin_has() { [ -n "$(kwin_frame "$1")" ]; }

# kwin_move CAPTION X Y: KWin moves the window itself.
kwin_move() {
    kwin_js "moves $1" "var ws = workspace.clientList ? workspace.clientList() : workspace.windowList();
for (var i = 0; i < ws.length; i++) if (ws[i].caption == \"$1\") {
  var g = ws[i].frameGeometry; ws[i].frameGeometry = {x: $2, y: $3, width: g.width, height: g.height}; }
print(\"@ end\");" >/dev/null
}

# The engine's frame (y up) of a KWin frame "x y w h" on this 800-pixel-high output.
engine_frame() {
    local x y w h
    read -r x y w h <<<"$1"
    echo "[$x,$((E2E_HEIGHT - y - h)),$w,$h]"
}
has_top() { ask '{"cmd":"tops"}' | jq -e --argjson f "$1" 'any(.windows[]; .frame == $f)'; }
on_the_floor() { cat_state | jq -e '.platform == 0 and .feetY == 12 and .kind != "falling"'; }
off_the_top() { cat_state | jq -e '.platform == 0'; }

start_kwin
echo "ok: kwin_wayland runs headless on $WAYLAND_DISPLAY with XWayland on $DISPLAY"

xterm -title e2e-xterm -geometry 60x10+60+120 -e sleep 600 >/dev/null 2>&1 &
E2E_PIDS+=($!)
wait_for 10 "KWin manages the xterm" kwin_has e2e-xterm
# The native window opens last: KWin puts it in front, where the cat's climb looks first.
(
    unset DISPLAY
    exec weston-terminal --shell="$E2E_TMP/sleeper.sh"
) >"$E2E_TMP/weston-terminal.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 10 "KWin manages the native window" kwin_has Wayland_Terminal
# Out of each other's way, at whole pixels, the native one on top.
kwin_move e2e-xterm 60 120
kwin_move "Wayland Terminal" 400 300

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
