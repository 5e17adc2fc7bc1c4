#!/usr/bin/env bash
# The cat on Hyprland, against a fake of its two documented sockets (Hyprland is not packaged
# in Debian 12): the cat's tops are the clients' frames with their borders, an event brings a
# moved window, a Hyprland that stops reading costs one line and no hang, and the pointer is
# asked for while the cat reads it; without idle notices, a dragged floating window is seen.
source "$(dirname "$0")/cat_lib.sh"
command -v python3 >/dev/null || fail "python3 is not installed (make deps installs it)"

E2E_WIDTH=1280 E2E_HEIGHT=800 start_xserver
SIG=e2e_instance
DIR=$XDG_RUNTIME_DIR/hypr/$SIG
mkdir -p "$DIR"
STATE=$E2E_TMP/hyprland.json
client() { # address x y w h [floating]
    jq -nc --arg a "$1" --argjson x "$2" --argjson y "$3" --argjson w "$4" --argjson h "$5" \
        --argjson f "${6:-false}" '{address: $a, mapped: true, hidden: false, at: [$x, $y],
        size: [$w, $h], workspace: {id: 1, name: "1"}, floating: $f, pinned: false,
        fullscreen: 0, pid: 4242, class: "foot", title: $a, focusHistoryID: 1}'
}
write_state() { # stall events clients...
    local stall=$1 events=$2
    shift 2
    jq -n --argjson stall "$stall" --argjson events "$events" --argjson clients "$(printf '%s\n' "$@" | jq -s .)" \
        '{border: 2, stall: $stall, events: $events, clients: $clients, cursor: {x: 900, y: 500},
          monitors: [{id: 0, name: "HEADLESS-1", x: 0, y: 0, width: 1280, height: 800, scale: 1.0,
                      transform: 0, activeWorkspace: {id: 1, name: "1"},
                      specialWorkspace: {id: 0, name: ""}}]}' >"$STATE.new"
    mv "$STATE.new" "$STATE"
}
write_state false '[]' "$(client 0xa 100 440 500 250)" "$(client 0xb 800 200 300 200 true)"
python3 "$(dirname "$0")/fake_hyprland.py" "$DIR" "$STATE" 2>"$E2E_TMP/fake.log" &
E2E_PIDS+=($!)
wait_for 5 "the fake Hyprland listens" test -S "$DIR/.socket2.sock"

WAYLAND_DISPLAY=e2e-none HYPRLAND_INSTANCE_SIGNATURE=$SIG start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
tops() { ask '{"cmd":"tops"}' | jq -r '.windows[] | .frame | map(tostring) | join(" ")'; }
# The frames in y-up points, the 2-pixel border drawn around each: front-most (floating) first.
expected=$'798 398 304 204\n98 108 504 254'
listed() { [ "$(tops)" = "$expected" ]; }
wait_for 10 "the cat's tops are the clients' frames" listed
echo "ok: the cat's tops are the fake Hyprland's clients, floating first, borders included"

# A window moves and says so: the list follows.
write_state false '["movewindow>>0xa,1"]' "$(client 0xa 100 300 500 250)" "$(client 0xb 800 200 300 200 true)"
expected=$'798 398 304 204\n98 248 504 254'
wait_for 3 "the moved window's new top" listed
echo "ok: an event brought the moved window"

# A Hyprland that stops reading: the request gives up, one line, the app still answers.
write_state true '["movewindow>>0xa,1","openwindow>>0xc,1,foot,t"]' "$(client 0xa 100 300 500 250)"
said() { grep -q "Hyprland sent no answer to j/clients" "$CAT_LOG"; }
wait_for 6 "the stalled request gives up with one line" said
ask '{"cmd":"state"}' >/dev/null || fail "the app hangs on a Hyprland that does not read"
write_state false '["movewindow>>0xa,1","openwindow>>0xc,1,foot,t","closewindow>>0xb"]' "$(client 0xa 100 300 500 250)"
expected='98 248 504 254'
wait_for 5 "the list once Hyprland reads again" listed
[ "$(grep -c "Hyprland sent" "$CAT_LOG")" = 1 ] || fail "more than one line: $(grep "Hyprland sent" "$CAT_LOG")"
echo "ok: a Hyprland that stops reading costs one line and no hang"

# The pointer is asked for, at most once a second, while the cat reads it: make a hunt due and
# look at the requests.
ask '{"cmd":"due","what":"hunt"}' >/dev/null
asked() { grep -q "j/cursorpos" "$DIR/requests.log"; }
wait_for 15 "the pointer is asked for" asked
n=$(grep -c "j/cursorpos" "$DIR/requests.log")
sleep 3
m=$(grep -c "j/cursorpos" "$DIR/requests.log")
((m - n <= 4)) || fail "the pointer was asked $((m - n)) times in 3 s"
echo "ok: the pointer comes from j/cursorpos, $((m - n)) requests in 3 s"

# Opened without a tray's geometry (a second start, a tray activation), the menu window stands
# by the pointer Hyprland told, not where XWayland's pointer was left.
xdotool mousemove 40 40
"$E2E_PURRLOX" >"$E2E_TMP/second.log" 2>&1 || fail "the second start failed: $(cat "$E2E_TMP/second.log")"
menu_open() { [ "$(ask '{"cmd":"menu"}' | jq -r .open)" = true ]; }
wait_for 5 "the second start opens the menu window" menu_open
read -r wx wy ww wh <<<"$(ask '{"cmd":"menu"}' | jq -r '.frame | map(tostring) | join(" ")')"
((wx <= 900 && 900 <= wx + ww && wx > 400)) ||
    fail "the menu window at $wx,$wy ${ww}x$wh, not by the pointer at 900,500"
echo "ok: the menu window opens by Hyprland's pointer ($wx,$wy ${ww}x$wh)"

# No Wayland display to hear idle notices from: a shown floating window is looked at on a timer,
# input or not, and one line says so. One dragged (Hyprland tells no event for it) is seen.
grep -q "Hyprland gives no idle notice" "$CAT_LOG" || fail "no line said why floating windows are looked at without input"
events='["movewindow>>0xa,1","openwindow>>0xc,1,foot,t","closewindow>>0xb","openwindow>>0xd,1,foot,t"]'
write_state false "$events" "$(client 0xa 100 300 500 250)" "$(client 0xd 800 200 300 200 true)"
expected=$'798 398 304 204\n98 248 504 254'
wait_for 3 "the opened floating window" listed
write_state false "$events" "$(client 0xa 100 300 500 250)" "$(client 0xd 820 200 300 200 true)"
expected=$'818 398 304 204\n98 248 504 254'
wait_for 3 "the dragged floating window's new top" listed
echo "ok: without idle notices a dragged floating window is seen all the same"
