# Shared by the GNOME Shell scripts: gnome-shell started headless as a Wayland compositor with
# XWayland, on private session and system buses, the Purrlox extension installed for this
# test's private home (through the install script the way `make install` runs it).
source "$(dirname "${BASH_SOURCE[0]}")/cat_lib.sh"

SHELL_UUID=purrlox@purrlox.app
SHELL_WIDTH=1280
SHELL_HEIGHT=800

skip() {
    echo "SKIP: $*" >&2
    exit 77
}

# shell_eval JS: the value of the expression in the Shell (unsafe mode) as JSON, a string without
# its quotes; fails when the Shell reports an error.
shell_eval() {
    local out
    out=$(gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.gnome.Shell.Eval "$1")
    [[ $out == "(true, "* ]] || { echo "$out" >&2; return 1; }
    out=${out#"(true, '"}
    out=${out%"')"}
    out=${out#\"}
    printf '%s\n' "${out%\"}"
}

start_gnome_shell() {
    for tool in gnome-shell gnome-extensions gdbus dbus-daemon foot Xwayland; do
        command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
    done
    export HOME=$E2E_TMP XDG_CONFIG_HOME=$E2E_TMP/config XDG_DATA_HOME=$E2E_TMP/data \
        XDG_CACHE_HOME=$E2E_TMP/cache XDG_RUNTIME_DIR=$E2E_TMP/run
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset DISPLAY
    # The extension, put where the user's Shell looks by the install step itself.
    cmake -DCMAKE_INSTALL_PREFIX="$E2E_TMP/Purrlox" -DPURRLOX_SHELL_UUID=$SHELL_UUID \
        -DPURRLOX_SHELL_EXTENSIONS="$(dirname "$E2E_PURRLOX")/gnome-shell" \
        -P "$(dirname "${BASH_SOURCE[0]}")/../../platform/wayland/gnome-shell/install-extension.cmake" \
        >"$E2E_TMP/install.log" 2>&1 || fail "installing the extension: $(cat "$E2E_TMP/install.log")"
    [ -f "$XDG_DATA_HOME/gnome-shell/extensions/$SHELL_UUID/extension.js" ] ||
        fail "the extension is not in the user's folder: $(cat "$E2E_TMP/install.log")"

    # Private buses: the session bus the Shell owns its names on, and an empty system bus.
    dbus-daemon --session --nofork --print-address=3 3>"$E2E_TMP/session-bus" &
    E2E_PIDS+=($!)
    cat >"$E2E_TMP/system.conf" <<EOC
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path=$XDG_RUNTIME_DIR/system-bus</listen>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/><allow user="*"/></policy>
</busconfig>
EOC
    dbus-daemon --config-file="$E2E_TMP/system.conf" --nofork &
    E2E_PIDS+=($!)
    wait_for 5 "the session bus" test -s "$E2E_TMP/session-bus"
    wait_for 5 "the system bus" test -S "$XDG_RUNTIME_DIR/system-bus"
    export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$E2E_TMP/session-bus")
    export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/system-bus
    export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME WAYLAND_DISPLAY=wayland-0

    # Settings go to dconf in the private home (its service is started by the private bus), so
    # gnome-extensions and the Shell share them as on a desktop.
    gnome-shell --wayland --headless --unsafe-mode \
        --virtual-monitor ${SHELL_WIDTH}x$SHELL_HEIGHT >"$E2E_TMP/shell.log" 2>&1 &
    SHELL_PID=$!
    E2E_PIDS+=($SHELL_PID)
    # A loaded machine may take a while: its first start here took 9 to 16 s.
    local deadline=$((SECONDS + 40))
    until shell_eval 'imports.gi.GLib.getenv("DISPLAY")' 2>/dev/null | grep -q '^:'; do
        kill -0 $SHELL_PID 2>/dev/null ||
            skip "gnome-shell cannot start here: $(grep -iE 'error|fail' "$E2E_TMP/shell.log" | tail -3)"
        ((SECONDS < deadline)) || skip "gnome-shell did not come up in 40 s: $(tail -3 "$E2E_TMP/shell.log")"
        sleep 0.2
    done
    # The Shell opens the overview once its start is over (and holds a grab while it shows):
    # closed only after that, it stays closed.
    overview_closed() {
        [ "$(shell_eval '!Main.layoutManager._startingUp && !Main.overview._shown &&
            !Main.overview.animationInProgress && Main.modalCount === 0')" = true ] && return
        shell_eval 'Main.layoutManager._startingUp || Main.overview.hide()' >/dev/null
        return 1
    }
    wait_for 10 "the overview closes" overview_closed
    export DISPLAY XAUTHORITY
    DISPLAY=$(shell_eval 'imports.gi.GLib.getenv("DISPLAY")')
    XAUTHORITY=$(shell_eval 'imports.gi.GLib.getenv("XAUTHORITY")')
    [ -n "$DISPLAY" ] || fail "the Shell runs no XWayland"
}

# shell_window TITLE FIELD: a field of the window with that title, as the Shell sees it.
shell_window_js() {
    echo "global.get_window_actors().map(a => a.meta_window).find(w => w.get_title() === '$1')"
}
# shell_frame TITLE: "x y w h", the frame the Shell draws (its logical pixels).
shell_frame() {
    shell_eval "(w => { const r = w.get_frame_rect(); return [r.x, r.y, r.width, r.height].join(' ') })($(shell_window_js "$1"))"
}
shell_move() { shell_eval "$(shell_window_js "$1").move_frame(true, $2, $3)" >/dev/null; }
shell_has() { shell_eval "$(shell_window_js "$1") !== undefined" | grep -q true; }

open_native() {
    foot --title "$1" --window-size-pixels "$2" sleep 600 >"$E2E_TMP/foot.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 "the native window $1 appears" shell_has "$1"
}

open_x11() {
    xterm -title "$1" -geometry "$2" -e sleep 600 >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 "the X11 window $1 appears" shell_has "$1"
}

# extension_state: the Shell's state number of the extension (1 enabled).
extension_state() {
    gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.gnome.Shell.Extensions.GetExtensionInfo \
        $SHELL_UUID | sed -n "s/.*'state': <\([0-9.]*\)>.*/\1/p"
}

# shell_click X Y: a real click through the compositor (a virtual pointer of the Shell's seat),
# so XWayland gets it as the user's own; xdotool cannot move the pointer of a Wayland session.
shell_click() {
    shell_eval "(() => { const C = imports.gi.Clutter, T = () => imports.gi.GLib.get_monotonic_time();
        global.e2ePointer ??= C.get_default_backend().get_default_seat()
            .create_virtual_device(C.InputDeviceType.POINTER_DEVICE);
        const p = global.e2ePointer;
        p.notify_absolute_motion(T(), $1, $2);
        p.notify_button(T(), C.BUTTON_PRIMARY, C.ButtonState.PRESSED);
        p.notify_button(T(), C.BUTTON_PRIMARY, C.ButtonState.RELEASED);
        return true; })()" >/dev/null
}
shell_pointer_to() {
    shell_eval "(() => { const C = imports.gi.Clutter;
        global.e2ePointer ??= C.get_default_backend().get_default_seat()
            .create_virtual_device(C.InputDeviceType.POINTER_DEVICE);
        global.e2ePointer.notify_absolute_motion(imports.gi.GLib.get_monotonic_time(), $1, $2);
        return true; })()" >/dev/null
}
