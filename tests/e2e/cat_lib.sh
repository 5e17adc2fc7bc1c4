# Shared by the cat's e2e scripts: starts Purrlox with its automation socket on the private
# desktop of lib.sh and reads the cat's state through cat-ask.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

CAT_ASK=${CAT_ASK:-$(dirname "$E2E_PURRLOX")/tests/e2e/cat-ask}
[ -x "$CAT_ASK" ] || fail "cat-ask not found at $CAT_ASK (build the cat-ask target)"
CAT_SOCKET=$E2E_TMP/cat.sock
CAT_LOG=$E2E_TMP/cat.log

# A settings file, as every start after the first finds one: no welcome letter comes. A script
# about the first start sets E2E_FIRST_START=1.
returning_user() {
    local dir=${PURRLOX_CONFIG_HOME:-$XDG_CONFIG_HOME}/purrlox
    [ "${E2E_FIRST_START:-}" = 1 ] && return 0
    [ -e "$dir/settings.json" ] || { mkdir -p "$dir" && echo '{}' >"$dir/settings.json"; }
}

start_cat() {
    returning_user
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

# ended_cleanly PID WHAT: the app (a child of this script) has ended with status 0 and said
# nothing of a sanitizer.
ended_cleanly() {
    local status=0
    wait_for 20 "the app quits ($2)" sh -c "! kill -0 $1 2>/dev/null"
    wait "$1" 2>/dev/null || status=$?
    [ "$status" = 0 ] || fail "the app ended with status $status ($2): $(tail -n 30 "$CAT_LOG")"
    ! grep -Eq 'Sanitizer|runtime error' "$CAT_LOG" || fail "sanitizer report ($2): $(cat "$CAT_LOG")"
}
cat_state() { ask '{"cmd":"state"}'; }
cat_is() { [ "$(cat_state | jq -r .kind)" = "$1" ]; }

# The entry walk's destination, from the app's log line "cat: walking(to: N, then: rest)".
entry_spot() { sed -n 's/.*cat: walking(to: \([-0-9.]*\), then: rest).*/\1/p' "$CAT_LOG" | head -1; }

# The cat panel's X window (override-redirect, named Purrlox, of class app.purrlox.Purrlox).
panel_window() {
    xwininfo -root -children | awk '/"Purrlox": \("purrlox" "app.purrlox.Purrlox"\)/ {print $1; exit}'
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
# has a still cat for as long as it needs. Call after start_cat; the cat's own timers are put off.
keep_cat_still() {
    ask '{"cmd":"calm","seconds":3600}' >/dev/null # no hunt or climb of its own takes it away
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

# Screen modes through one randr-mode process that lives as long as the test (Xvfb forgets a
# made mode when its maker leaves). set_mode W H [HZ] switches and sets E2E_WIDTH / E2E_HEIGHT.
RANDR_MODE=${RANDR_MODE:-$(dirname "$E2E_PURRLOX")/tests/e2e/randr-mode}
start_randr() {
    [ -x "$RANDR_MODE" ] || fail "randr-mode not found at $RANDR_MODE (build the randr-mode target)"
    mkfifo "$E2E_TMP/randr.in"
    "$RANDR_MODE" --serve <"$E2E_TMP/randr.in" >"$E2E_TMP/randr.out" 2>"$E2E_TMP/randr.log" &
    E2E_PIDS+=($!)
    exec {RANDR_FD}>"$E2E_TMP/randr.in"
    RANDR_SWITCHES=0
}
set_mode() {
    echo "$*" >&"$RANDR_FD" # W H, and the refresh rate HZ when given (60 by default)
    RANDR_SWITCHES=$((RANDR_SWITCHES + 1))
    wait_for 5 "the server switches to $1x$2" \
        sh -c "[ \$(grep -c '^ok' '$E2E_TMP/randr.out') -ge $RANDR_SWITCHES ]"
    E2E_WIDTH=$1
    E2E_HEIGHT=$2
}

# The cat is where the desktop says it must be: inside the visible frame horizontally, on the
# floor (FLOOR, default 12) when it stands on it, and its panel's X window where the cat's
# state puts it on a screen of the current height.
cat_placed() {
    local floor=${1:-12} reading kind feet x platform
    reading=$(cat_state) || return 1
    kind=$(jq -r .kind <<<"$reading")
    feet=$(jq -r .feetY <<<"$reading")
    x=$(jq -r .x <<<"$reading")
    platform=$(jq -r .platform <<<"$reading")
    (($(echo "$x >= 48 && $x <= $E2E_WIDTH - 48" | bc))) || return 1
    case $kind in
    idle | walking | snacking | sleeping | landing | yawning)
        [ "$platform" != 0 ] || (($(echo "$feet == $floor" | bc))) || return 1
        ;;
    esac
    # A walking or climbing cat moves between the two readings: some pixels.
    local ax ay aw ah wx wy ww wh
    read -r ax ay aw ah <<<"$(window_pixels "$(panel_window)")"
    read -r wx wy ww wh <<<"$(panel_pixels "$reading")"
    ((aw == ww && ah == wh && ax - wx <= 40 && wx - ax <= 40 && ay - wy <= 40 && wy - ay <= 40))
}

# Sets TZ so the cat's local time is around noon: at night it falls asleep after a minute
# without input, which long scripts and benchmarks do not want.
daytime() {
    local off=$((12 - 10#$(date -u +%H)))
    if ((off >= 0)); then export TZ="NOON-$off"; else export TZ="NOON+$((-off))"; fi
}
# Every script runs at the cat's noon unless it sets TZ after sourcing this file.
daytime

# The middle of the cat's body in root pixels, "x y", for a real click or drag on it.
cat_body_point() {
    cat_state | jq -r --argjson H "$E2E_HEIGHT" '"\(.x | round) \($H - (.feetY + 30) | round)"'
}

# A widget of the app by class (and text), as the automation reports it, and a real click on it.
widget() { ask "$(jq -nc --arg c "$1" --arg t "${2:-}" '{cmd: "widget", class: $c, text: $t}')"; }
visible() { widget "$@" | jq -e '.width > 0' >/dev/null; }
click_on() {
    local w
    w=$(widget "$@")
    jq -e '.width > 0' <<<"$w" >/dev/null || fail "$* is not on screen: $w"
    xdotool mousemove "$(jq '(.x + .width / 2) | floor' <<<"$w")" \
        "$(jq '(.y + .height / 2) | floor' <<<"$w")"
    sleep 0.2
    xdotool click 1
}

# wander_until TRIES COMMAND...: forces the cat's wanders one after another until COMMAND
# succeeds (at most TRIES); a wander that became a nap is ended (calm ends its own naps).
# A cat that dozed off after its wander (three minutes without input at its noon) is
# woken by a pointer nudge, real input, as a user's hand would.
wander_over() {
    cat_state | jq -e '.lying or (.kind | IN("idle", "snacking", "yawning", "sleeping"))' >/dev/null
}
nudge_pointer() { xdotool mousemove_relative -- 1 0 mousemove_relative -- -1 0; }
awake_and_idle() {
    nudge_pointer
    cat_is idle
}
# The state and the log's tail go to the test's output (fd 4: wait_for silences the check's
# own) once the wander's time is nearly up.
exec 4>&2
wander_over_or_tell() {
    wander_over && return 0
    if (($(echo "$(now) > ${WANDER_TELL_AT:-0}" | bc))) && [ -z "${WANDER_TOLD:-}" ]; then
        WANDER_TOLD=1
        echo "the wander runs long: $(cat_state | jq -c '[.kind, .x, .feetY, .monitor]')" >&4
        tail -n 20 "$CAT_LOG" >&4
    fi
    return 1
}
wander_until() {
    local tries=$1 n
    shift
    for n in $(seq "$tries"); do
        "$@" && return 0
        nudge_pointer
        ask '{"cmd":"due","what":"wander"}' >/dev/null
        sleep 0.3
        WANDER_TELL_AT=$(echo "$(now) + 110" | bc) WANDER_TOLD=
        # A wander may cross every monitor: 3200 points at 38 a second.
        wait_for 120 "wander $n ends" wander_over_or_tell
        if cat_state | jq -e .lying >/dev/null; then
            ask '{"cmd":"calm","seconds":3600}' >/dev/null
            wait_for 30 "the cat gets up from its nap" awake_and_idle
        elif cat_state | jq -e '.kind | IN("yawning", "sleeping")' >/dev/null; then
            wait_for 30 "the cat wakes from its doze" awake_and_idle
        fi
    done
    "$@"
}

# split_screen PRIMARY SECOND: a 3200 × 1080 X screen made two RandR monitors (xrandr
# geometries such as 1920/510x1080/290+0+0), the primary holding Xvfb's own output so no
# monitor of the whole screen is left over.
split_screen() {
    E2E_WIDTH=3200
    start_desktop
    xrandr --setmonitor '*left' "$1" screen
    xrandr --setmonitor right "$2" none
}

# climb_and_stand TOP MIN_X: a climb made due, then snacks keep the cat where it stands; waits
# until it stands on a window top at height TOP, right of MIN_X.
stands_on() {
    cat_state | jq -e --argjson t "$1" --argjson w "$2" \
        '.platform > 0 and (.feetY - $t | fabs) <= 1 and .x > $w and (.kind == "idle" or .kind == "snacking")' >/dev/null
}
climb_and_stand() {
    ask '{"cmd":"due","what":"climb"}' >/dev/null
    wait_for 60 "the cat climbs" cat_is climbingUp
    (while :; do ask '{"cmd":"due","what":"snack"}' >/dev/null 2>&1 || true; sleep 0.3; done) &
    E2E_PIDS+=($!)
    wait_for 15 "the cat stands on the top at $1, right of $2" stands_on "$1" "$2"
}

# drag_cat X Y TO_X TO_Y: a real press on the cat at root pixel (X, Y), the pick-up, and a drag
# to (TO_X, TO_Y) in ten steps; the button stays down.
drag_cat() {
    xdotool mousemove "$1" "$2"
    sleep 0.2
    xdotool mousedown 1
    xdotool mousemove "$(($1 + 8))" "$2"
    wait_for 2 "the cat is picked up by a press at ($1, $2)" cat_is held
    local step
    for step in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove "$(($1 + ($3 - $1) * step / 10))" "$(($2 + ($4 - $2) * step / 10))"
        sleep 0.03
    done
}
