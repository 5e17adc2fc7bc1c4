# Shared by the e2e scripts: a private X session (Xvfb 1920x1080, openbox, picom with the
# xrender backend) and xterm windows at known geometry, all removed again on exit.
# Source it with the purrlox binary's path as $1; x11probe comes from $X11PROBE or beside it.
set -euo pipefail

E2E_PURRLOX=${1:?usage: $0 path/to/purrlox}
E2E_PROBE=${X11PROBE:-$(dirname "$E2E_PURRLOX")/tests/e2e/x11probe}
E2E_WIDTH=1920
E2E_HEIGHT=1080

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in Xvfb openbox picom xterm xdotool xwininfo xprop jq; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done
[ -x "$E2E_PROBE" ] || fail "x11probe not found at $E2E_PROBE (build the x11probe target)"

# The X11 scripts run the X11 session they start, even when the developer's own desktop is a
# Wayland one (its compositor would otherwise be taken for the window list).
unset WAYLAND_DISPLAY XDG_SESSION_TYPE XDG_CURRENT_DESKTOP SWAYSOCK HYPRLAND_INSTANCE_SIGNATURE

E2E_TMP=$(mktemp -d)
E2E_PIDS=()
e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

now() { date +%s.%N; }

# own_pids PROGRAM: the PIDs of processes running PROGRAM inside this test's private home, so a
# count never includes another test's or another user's Purrlox.
own_pids() {
    local program dir
    program=$(readlink -f "$1")
    for dir in /proc/[0-9]*; do
        [ "$(readlink "$dir/exe" 2>/dev/null)" = "$program" ] || continue
        tr '\0' '\n' <"$dir/environ" 2>/dev/null | grep -qxF "HOME=$E2E_TMP" && echo "${dir#/proc/}"
    done
    return 0
}

# wait_for SECONDS DESCRIPTION COMMAND...: polls the command until it succeeds.
wait_for() {
    local limit=$1 what=$2
    shift 2
    local deadline
    deadline=$(echo "$(now) + $limit" | bc)
    until "$@" >/dev/null 2>&1; do
        if (($(echo "$(now) > $deadline" | bc))); then fail "timed out after ${limit}s: $what"; fi
        sleep 0.05
    done
}

# Starts Xvfb on a free display, then the window manager and the compositor.
start_desktop() {
    start_xserver
    start_window_manager
    start_compositor
}

start_xserver() {
    local fifo=$E2E_TMP/displayfd
    mkfifo "$fifo"
    # E2E_FRAMEBUFFER=1 keeps the screen's pixels in $E2E_TMP/Xvfb_screen0 (XWD), exactly as
    # shown: unlike a GetImage, it holds what a window of another depth really put there.
    local fbdir=()
    [ "${E2E_FRAMEBUFFER:-}" = 1 ] && fbdir=(-fbdir "$E2E_TMP")
    Xvfb -displayfd 3 -screen 0 "${E2E_WIDTH}x${E2E_HEIGHT}x24" "${fbdir[@]}" -nolisten tcp -noreset \
        3>"$fifo" 2>"$E2E_TMP/xvfb.log" &
    E2E_PIDS+=($!)
    local display
    read -r -t 10 display <"$fifo" || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=:$display
    export HOME=$E2E_TMP XDG_CONFIG_HOME=$E2E_TMP/config XDG_RUNTIME_DIR=$E2E_TMP/run
    mkdir -m 700 "$XDG_RUNTIME_DIR"
}

start_window_manager() {
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 "openbox publishes its stacking list" \
        sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
}

start_compositor() {
    picom --backend xrender --config /dev/null >"$E2E_TMP/picom.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 "picom takes the compositing selection" compositor_running
}

# A system tray (trayer) docked at the top right, 24 pixels high, reserving its strip of the
# screen; tray icons embed into it through XEmbed.
start_tray() {
    command -v trayer >/dev/null || fail "trayer is not installed (make deps installs it)"
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
        --SetPartialStrut true --transparent false --tint 0xdddddd >"$E2E_TMP/trayer.log" 2>&1 &
    TRAY_PID=$!
    E2E_PIDS+=($TRAY_PID)
    wait_for 10 "trayer takes the tray selection" sh -c \
        "xprop -root _NET_WORKAREA | grep -q ', 24, '"
}

compositor_running() {
    # picom names its overlay-registration window; the process must still be alive too.
    local tree
    kill -0 "${E2E_PIDS[-1]}" && tree=$(xwininfo -root -tree) && [[ $tree == *'"picom"'* ]]
}

# open_xterm TITLE GEOMETRY: prints the client window id once the window manager framed it.
open_xterm() {
    local title=$1 geometry=$2
    xterm -title "$title" -geometry "$geometry" -e sleep 600 >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    local id=""
    wait_for 10 "xterm $title appears" sh -c "xdotool search --name '^$title\$' >/dev/null"
    id=$(xdotool search --name "^$title\$" | head -1)
    if [ "${E2E_NO_WM:-}" != 1 ]; then
        wait_for 10 "xterm $title is framed" sh -c "xprop -id $id _NET_FRAME_EXTENTS | grep -q ="
    fi
    wait_for 10 "xterm $title is viewable" sh -c "xwininfo -id $id | grep -q IsViewable"
    printf '%d\n' "$id"
}

# probe: one reading of the backends as JSON.
probe() { "$E2E_PROBE" "$@"; }

# The window manager's frame around a client: its ancestor just below the root.
frame_window_of() {
    local w=$1 tree parent
    while :; do
        tree=$(xwininfo -tree -id "$w")
        parent=$(awk '/Parent window id:/ {print $4}' <<<"$tree")
        [ -n "$parent" ] && [ "$((parent))" != 0 ] || fail "no frame around window $1"
        [[ $tree == *"Parent window id: $parent (the root window)"* ]] && break
        w=$parent
    done
    printf '%d\n' "$w"
}

# The frame of a client window as xwininfo -frame shows it, in root pixels: "x y w h"
# (the outer edge, border included: xwininfo's upper-left is already outside the border).
xwininfo_frame() {
    local frame
    frame=$(frame_window_of "$1") || exit 1
    xwininfo -frame -id "$frame" | awk '
        /Absolute upper-left X:/ {x=$NF} /Absolute upper-left Y:/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} /Border width:/ {b=$NF}
        END {print x, y, w+2*b, h+2*b}'
}

# The same frame in y-up points (primary screen at the origin, one pixel per point).
points_of() {
    local x y w h
    read -r x y w h <<<"$1"
    echo "$x $((E2E_HEIGHT - y - h)) $w $h"
}

# The listed frame of window ID in a probe reading, as "x y w h" pixels or points.
listed_pixels() { jq -r --argjson id "$2" '.windows[] | select(.id == $id) | .pixels | map(tostring) | join(" ")' <<<"$1"; }
listed_points() { jq -r --argjson id "$2" '.windows[] | select(.id == $id) | .frame | map(tostring) | join(" ")' <<<"$1"; }

# The ids of the given windows in the order the reading lists them (front-most first).
listed_order() {
    local reading=$1
    shift
    jq -r --argjson ids "[$(IFS=,; echo "$*")]" \
        '[.windows[] | select(.id as $i | $ids | index($i)) | .id] | map(tostring) | join(" ")' \
        <<<"$reading"
}

# A background probe printing a reading every 50 ms into a file; last_reading reads the newest.
start_watch() {
    "$E2E_PROBE" --every 50 >"$E2E_TMP/watch.jsonl" 2>"$E2E_TMP/watch.log" &
    E2E_PIDS+=($!)
    wait_for 10 "the watching probe prints" test -s "$E2E_TMP/watch.jsonl"
}
last_reading() { tail -n 1 "$E2E_TMP/watch.jsonl"; }
