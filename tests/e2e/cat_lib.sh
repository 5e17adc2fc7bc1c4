# Shared by the cat's e2e scripts: starts Purrlox with its automation socket on the private
# desktop of lib.sh and reads the cat's state through cat-ask.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

CAT_ASK=${CAT_ASK:-$(dirname "$E2E_PURRLOX")/tests/e2e/cat-ask}
[ -x "$CAT_ASK" ] || fail "cat-ask not found at $CAT_ASK (build the cat-ask target)"
CAT_SOCKET=$E2E_TMP/cat.sock
CAT_LOG=$E2E_TMP/cat.log

start_cat() {
    "$E2E_PURRLOX" --automation "$CAT_SOCKET" >"$CAT_LOG" 2>&1 &
    CAT_PID=$!
    E2E_PIDS+=($CAT_PID)
    wait_for 15 "the automation socket opens" test -S "$CAT_SOCKET"
}

stop_cat() {
    kill "$CAT_PID"
    wait "$CAT_PID" 2>/dev/null || true
}

ask() { "$CAT_ASK" "$CAT_SOCKET" "$@"; }
cat_state() { ask '{"cmd":"state"}'; }
cat_is() { [ "$(cat_state | jq -r .kind)" = "$1" ]; }

# The entry walk's destination, from the app's log line "cat: walking(to: N, then: rest)".
entry_spot() { sed -n 's/.*cat: walking(to: \([-0-9.]*\), then: rest).*/\1/p' "$CAT_LOG" | head -1; }

# The cat panel's X window (override-redirect, named Purrlox, class purrlox).
panel_window() {
    xwininfo -root -children | awk '/"Purrlox": \("purrlox" "Purrlox"\)/ {print $1; exit}'
}

# The panel's frame from a state reading, converted to root pixels: "x y w h".
panel_pixels() {
    jq -r --argjson H "$E2E_HEIGHT" '.panel as [$x, $y, $w, $h] |
        [($x | round), ($H - ($y + $h) | round), ($w | round), ($h | round)] |
        map(tostring) | join(" ")' <<<"$1"
}

# The X geometry of a window as "x y w h" in root pixels.
window_pixels() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ {x=$NF} /Absolute upper-left Y:/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

active_window() { xprop -root _NET_ACTIVE_WINDOW | awk '{print $NF}'; }

# Moves a client's frame so its top-left corner lands at X Y (root pixels).
move_frame() {
    local frame
    frame=$(frame_window_of "$1")
    xdotool windowmove "$frame" "$2" "$3"
    wait_for 5 "the frame reaches $2,$3" sh -c "xwininfo -id $frame | grep -q 'Absolute upper-left X:  *$2\$'"
}

# Keeps the cat snacking where it is (a snack comes before any walk when it is due), so a test
# has a still cat for as long as it needs. Call after start_cat.
keep_cat_still() {
    (while :; do ask '{"cmd":"due","what":"snack"}' >/dev/null 2>&1 || true; sleep 0.5; done) &
    E2E_PIDS+=($!)
}

# Puts the client's frame so its right edge runs through the middle of the panel: half window,
# half desktop behind the cat.
straddle_panel() {
    local term=$1 px py pw ph fw fh
    read -r px py pw ph <<<"$2"
    read -r _ _ fw fh <<<"$(xwininfo_frame "$term")"
    move_frame "$term" $((px + pw / 2 - fw)) $((py + ph / 2 - fh + 40))
}

# Shoots the screen with the cat (to WITH), stops the cat, shoots again (to WITHOUT) and prints
# "changed top colours" for the panel area AREA ("x y w h"): pixels that differ in the whole
# panel, pixels that differ in its top 50 rows (clear while the cat sits), and the number of
# colours seen in those rows.
shoot_with_and_without() {
    local with=$1 without=$2 px py pw ph
    read -r px py pw ph <<<"$3"
    import -window root "$with"
    stop_cat
    wait_for 5 "the panel goes away" sh -c '! xwininfo -root -children | grep -q "\"Purrlox\": (\"purrlox\""'
    sleep 0.3
    import -window root "$without"
    local area="${pw}x${ph}+${px}+${py}" top="${pw}x50+${px}+${py}"
    convert "$with" -crop "$area" +repage "$E2E_TMP/with.png"
    convert "$without" -crop "$area" +repage "$E2E_TMP/without.png"
    convert "$with" -crop "$top" +repage "$E2E_TMP/with_top.png"
    convert "$without" -crop "$top" +repage "$E2E_TMP/without_top.png"
    differ() { compare -metric AE "$@" null: 2>&1 | cut -d' ' -f1 || true; }
    echo "$(differ "$E2E_TMP/with.png" "$E2E_TMP/without.png")" \
        "$(differ "$E2E_TMP/with_top.png" "$E2E_TMP/without_top.png")" \
        "$(convert "$E2E_TMP/with_top.png" -format %k info:)"
}

# Sets TZ so the cat's local time is around noon: at night it falls asleep after a minute
# without input, which long scripts and benchmarks do not want.
daytime() {
    local off=$((12 - 10#$(date -u +%H)))
    if ((off >= 0)); then export TZ="NOON-$off"; else export TZ="NOON+$((-off))"; fi
}
