# Shared by the KWin scripts: a headless kwin_wayland with XWayland on a private session bus
# (KWin reaches it through a proxy that a script can kill), scripts run inside KWin, and KWin's
# frames. Source after cat_lib.sh.

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
        exec "$E2E_TMP/kwin_wayland" --virtual --xwayland --width 1280 --height 800 ${KWIN_SCALE:+--scale "$KWIN_SCALE"} \
            ${KWIN_OUTPUTS:+--output-count "$KWIN_OUTPUTS"} \
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

# An xterm at (60, 120) and, in front of it, a native Wayland window (weston-terminal,
# "Wayland Terminal") at (400, 300), as KWin places them.
open_two_windows() {
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
}
