# Shared by the sway scripts: a private headless sway (pixman, no input devices) run by an
# unprivileged user, since sway refuses to run as root; the cat's helpers from cat_lib.sh.
source "$(dirname "${BASH_SOURCE[0]}")/cat_lib.sh"

for tool in sway swaymsg weston-terminal Xwayland setpriv wtype python3; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done

SWAY_WIDTH=1280
SWAY_HEIGHT=800
# Run as root, the desktop belongs to nobody; run as a user, to that user.
if [ "$(id -u)" = 0 ]; then
    SWAY_USER=nobody
    BECOME=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
else
    SWAY_USER=$(id -un)
    BECOME=()
fi
SWAYSOCK=$E2E_TMP/sway-run/sway-ipc.sock
CAT_LOG=$E2E_TMP/cat.log
# The user's environment inside the private home: never the developer's own session.
as_user() {
    "${BECOME[@]}" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$E2E_TMP" \
        XDG_RUNTIME_DIR="$E2E_TMP/sway-run" SHELL=/bin/sh SWAYSOCK="$SWAYSOCK" LANG=C.UTF-8 "$@"
}
chown "$SWAY_USER" "$E2E_TMP"
as_user test -x "$E2E_PURRLOX" || {
    echo "SKIP: $SWAY_USER cannot run $E2E_PURRLOX (a build folder only its owner may enter)"
    exit 77
}
# Everything the session started carries its private home: found by that, never by name.
session_pids() {
    local dir
    for dir in /proc/[0-9]*; do
        { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qxF "HOME=$E2E_TMP" && echo "${dir#/proc/}"
    done
    return 0
}
sway_cleanup() {
    local pid
    for pid in $(session_pids); do [ "$pid" = $$ ] || kill "$pid" 2>/dev/null || true; done
    e2e_cleanup
}
trap sway_cleanup EXIT
mkdir -p "$E2E_TMP/sway-run" && chown "$SWAY_USER" "$E2E_TMP/sway-run" && chmod 700 "$E2E_TMP/sway-run"

msg() { as_user swaymsg "$@" >/dev/null; }
tree() { as_user swaymsg -t get_tree; }

# start_sway [CONFIG LINES...]: a 1280×800 headless output, XWayland, and the given lines.
start_sway() {
    {
        echo "output HEADLESS-1 resolution ${SWAY_WIDTH}x${SWAY_HEIGHT} position 0 0"
        echo "xwayland enable"
        echo "default_border normal"
        printf '%s\n' "$@"
    } >"$E2E_TMP/sway.conf"
    chown "$SWAY_USER" "$E2E_TMP/sway.conf"
    # Started directly (not through a function) so that $! is sway itself.
    "${BECOME[@]}" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$E2E_TMP" \
        XDG_RUNTIME_DIR="$E2E_TMP/sway-run" SHELL=/bin/sh SWAYSOCK="$SWAYSOCK" LANG=C.UTF-8 \
        WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$E2E_TMP/sway.conf" >>"$E2E_TMP/sway.log" 2>&1 &
    SWAY_PID=$!
    E2E_PIDS+=($SWAY_PID)
    local i
    for i in $(seq 300); do
        as_user swaymsg -t get_version >/dev/null 2>&1 && return 0
        kill -0 "$SWAY_PID" 2>/dev/null || break
        sleep 0.05
    done
    fail "sway did not open its IPC socket: $(tail -5 "$E2E_TMP/sway.log")"
}

stop_sway() {
    kill "$SWAY_PID"
    wait "$SWAY_PID" 2>/dev/null || true
}

# The frames sway draws, as "x top width height" per window titled $1, in its logical pixels:
# its rect leaves the title bar out, deco_rect says how tall that is.
sway_frame() {
    tree | jq -r --arg t "$1" '.. | objects | select(.name? == $t and (.type == "con" or .type == "floating_con"))
        | "\(.rect.x) \(.rect.y - .deco_rect.height) \(.rect.width) \(.rect.height + .deco_rect.height)"'
}
has_window() { [ -n "$(sway_frame "$1")" ]; }

# The same frame as the engine's y-up points (one point per pixel at scale 1).
sway_points() {
    local x top w h
    read -r x top w h <<<"$(sway_frame "$1")"
    echo "$x $((SWAY_HEIGHT - top - h)) $w $h"
}

# start_cat_in_sway [DISPLAY]: Purrlox on sway's XWayland (or on the X display given), talking
# to sway through $CAT_SWAYSOCK when set (the counting proxy).
start_cat_in_sway() {
    local display=${1:-}
    # Not the user's first start: no welcome letter keeps the cat from climbing.
    as_user sh -c 'd=$HOME/.config/purrlox; mkdir -p "$d"; [ -e "$d/settings.json" ] || echo "{}" >"$d/settings.json"'
    local run="QT_QPA_PLATFORM=xcb $E2E_PURRLOX --automation $CAT_SOCKET >>$CAT_LOG 2>&1"
    [ -z "$display" ] || run="DISPLAY=$display $run"
    [ -z "${CAT_SWAYSOCK:-}" ] || run="SWAYSOCK=$CAT_SWAYSOCK $run"
    msg exec "$run"
    wait_for 20 "the automation socket opens" test -S "$CAT_SOCKET"
}

# The cat's list of tops: "x y w h" per window, front-most first.
tops() { ask '{"cmd":"tops"}' | jq -r '.windows[] | .frame | map(tostring) | join(" ")'; }

# sway's Wayland socket, for the clients the scripts run themselves (grim, wtype).
wayland_display() { (cd "$E2E_TMP/sway-run" && ls | grep -m1 "^wayland-[0-9]*$"); }
# One real key press and release on sway's seat, through a virtual keyboard: input as a user's,
# which ends the seat's idle time. Shift alone types nothing into the focused window.
press_key() { as_user env WAYLAND_DISPLAY="$(wayland_display)" wtype -k Shift_L; }
# keep_active: a key every 0.3 s in the background (sway's idle notice comes after 1 s without
# input) until stop_active.
keep_active() {
    (while :; do press_key; sleep 0.3; done) &
    ACTIVE_PID=$!
    E2E_PIDS+=($ACTIVE_PID)
    sleep 0.5
}
stop_active() {
    kill "$ACTIVE_PID"
    wait "$ACTIVE_PID" 2>/dev/null || true
}

# start_counting_proxy: a socket at $IPC_PROXY that passes the IPC through to sway, counts the
# messages the app sends ($IPC_COUNTS: "type:count ...") and notes when each tree reply reaches
# the app ($IPC_REPLIES: one time a line). Run as the user, so that the socket is the user's
# (the app refuses others').
IPC_PROXY=$E2E_TMP/sway-run/counted.sock
IPC_COUNTS=$E2E_TMP/sway-run/ipc-counts
IPC_REPLIES=$E2E_TMP/sway-run/tree-replies
start_counting_proxy() {
    cat >"$E2E_TMP/proxy.py" <<'EOF'
import os, socket, struct, sys, threading, time
upstream, path, counts, replies = sys.argv[1:5]
seen = {}
lock = threading.Lock()
def pump(src, dst, count):
    buf = b""
    while True:
        data = src.recv(65536)
        if not data:
            dst.close()
            return
        dst.sendall(data)
        buf += data
        while len(buf) >= 14:
            size, kind = struct.unpack("=II", buf[6:14])
            if len(buf) < 14 + size:
                break
            buf = buf[14 + size:]
            if not count:
                if kind == 4:  # a tree handed to the app: when
                    with open(replies, "a") as f:
                        f.write("%.6f\n" % time.time())
                continue
            with lock:
                seen[kind] = seen.get(kind, 0) + 1
                with open(counts + ".new", "w") as f:
                    f.write(" ".join("%d:%d" % kv for kv in sorted(seen.items())) + "\n")
                os.replace(counts + ".new", counts)
server = socket.socket(socket.AF_UNIX)
server.bind(path)
server.listen(4)
while True:
    client, _ = server.accept()
    up = socket.socket(socket.AF_UNIX)
    up.connect(upstream)
    threading.Thread(target=pump, args=(client, up, True), daemon=True).start()
    threading.Thread(target=pump, args=(up, client, False), daemon=True).start()
EOF
    chown "$SWAY_USER" "$E2E_TMP/proxy.py"
    as_user python3 "$E2E_TMP/proxy.py" "$SWAYSOCK" "$IPC_PROXY" "$IPC_COUNTS" "$IPC_REPLIES" &
    E2E_PIDS+=($!)
    wait_for 5 "the IPC proxy listens" test -S "$IPC_PROXY"
}
# Messages the app has sent through the proxy: all kinds, or get_tree alone.
ipc_calls() { tr ' ' '\n' <"$IPC_COUNTS" 2>/dev/null | awk -F: '{n += $2} END {print n + 0}'; }
ipc_trees() { tr ' ' '\n' <"$IPC_COUNTS" 2>/dev/null | awk -F: '$1 == 4 {n += $2} END {print n + 0}'; }
