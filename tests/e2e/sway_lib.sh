# Shared by the sway scripts: a private headless sway (pixman, no input devices) run by an
# unprivileged user, since sway refuses to run as root; the cat's helpers from cat_lib.sh.
source "$(dirname "${BASH_SOURCE[0]}")/cat_lib.sh"

for tool in sway swaymsg weston-terminal Xwayland setpriv; do
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

# start_cat_in_sway [DISPLAY]: Purrlox on sway's XWayland (or on the X display given).
start_cat_in_sway() {
    local display=${1:-}
    local run="QT_QPA_PLATFORM=xcb $E2E_PURRLOX --automation $CAT_SOCKET >>$CAT_LOG 2>&1"
    [ -z "$display" ] || run="DISPLAY=$display $run"
    msg exec "$run"
    wait_for 20 "the automation socket opens" test -S "$CAT_SOCKET"
}

# The cat's list of tops: "x y w h" per window, front-most first.
tops() { ask '{"cmd":"tops"}' | jq -r '.windows[] | .frame | map(tostring) | join(" ")'; }
