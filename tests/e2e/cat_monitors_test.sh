#!/usr/bin/env bash
# Two monitors side by side, the second shorter with the tops level, so its bottom stands 360
# pixels above the primary's: the X11 backend lists both with their own frames, a real drag
# carries the cat onto the second monitor, where it stands on that monitor's own floor and
# stays; when the second monitor goes away the cat is put back in view on the primary at once.
source "$(dirname "$0")/cat_lib.sh"
E2E_WIDTH=3200
SECOND_X=1920
SECOND_W=1280
SECOND_H=720
SECOND_FLOOR=$((E2E_HEIGHT - SECOND_H + 12)) # y-up points: 12 above that monitor's bottom
start_desktop
# The server's one output goes into the primary, so RandR lists these two monitors and no
# monitor of the whole root beside them.
xrandr --setmonitor '*primary' 1920/510x1080/290+0+0 screen
xrandr --setmonitor second "$SECOND_W/340x$SECOND_H/190+$SECOND_X+0" none

two_monitors() {
    probe | jq -e --argjson f "[$SECOND_X, $((E2E_HEIGHT - SECOND_H)), $SECOND_W, $SECOND_H]" '
        .screen.monitors as $m | ($m | length) == 2 and $m[0].primary and
        $m[0].frame == [0, 0, 1920, 1080] and ($m[1].primary | not) and $m[1].frame == $f and
        $m[1].visible == $f'
}
wait_for 5 "the backend lists both monitors: $(probe | jq -c .screen.monitors)" two_monitors
echo "ok: the backend lists $(probe | jq -c '[.screen.monitors[] | .frame]')"

export QT_LOGGING_RULES="app.purrlox.Purrlox.app.debug=true" # the change notices are info lines
start_cat
keep_cat_still
wait_for 40 "the cat sits at its spot" cat_is snacking

# on_second: the cat stands on the second monitor's floor, in view there, and its panel on the
# server is where the engine put it.
on_second() {
    local reading kind ax ay aw ah px py pw ph
    reading=$(cat_state) || return 1
    kind=$(jq -r .kind <<<"$reading")
    case $kind in idle | walking | snacking | sleeping | landing | yawning) ;; *) return 1 ;; esac
    jq -e --argjson lo "$((SECOND_X + 48))" --argjson hi "$((E2E_WIDTH - 48))" \
        --argjson floor "$SECOND_FLOOR" \
        '.x >= $lo and .x <= $hi and .feetY == $floor and .platform == 0' <<<"$reading" ||
        return 1
    read -r ax ay aw ah <<<"$(window_pixels "$(panel_window)")"
    read -r px py pw ph <<<"$(panel_pixels "$reading")"
    ((ax == px && ay == py && aw == pw && ah == ph && ax + aw / 2 > SECOND_X))
}

# A real press on the cat's body and a drag to the middle of the second monitor, high up.
read -r x y <<<"$(cat_body_point)"
to_x=$((SECOND_X + SECOND_W / 2))
to_y=250
drag_cat "$x" "$y" "$to_x" "$to_y"
under_pointer() { cat_state | jq -e --argjson x "$to_x" '(.x - $x) | fabs < 40' >/dev/null; }
wait_for 2 "the held cat hangs at x = $to_x: $(cat_state | jq -c '[.kind, .x, .feetY]')" under_pointer
xdotool mouseup 1
wait_for 5 "the cat lands on the second monitor's floor ($SECOND_FLOOR): $(cat_state | jq -c '[.kind, .x, .feetY]')" on_second
echo "ok: dropped on the second monitor: $(cat_state | jq -c '[.kind, .x, .feetY]')"
sleep 10
on_second || fail "the cat should still stand on the second monitor: $(cat_state | jq -c '[.kind, .x, .feetY, .panel]')"
echo "ok: still there 10 s later: $(cat_state | jq -c '[.kind, .x, .feetY]')"

# The second monitor goes away under the cat: it is put in view on the primary's floor, on
# one change notice for everything the server and Qt report of it.
notices() { grep -c "placing the cat again" "$CAT_LOG" || true; }
before=$(notices)
xrandr --delmonitor second
on_primary() {
    cat_state | jq -e '.x >= 48 and .x <= 1920 - 48 and .feetY == 12' >/dev/null
}
wait_for 2 "the cat is back on the primary: $(cat_state | jq -c '[.kind, .x, .feetY]')" on_primary
probe | jq -e '.screen.monitors | length == 1' >/dev/null ||
    fail "one monitor left: $(probe | jq -c .screen.monitors)"
sleep 1
[ "$(notices)" = $((before + 1)) ] ||
    fail "one change notice expected, got $(($(notices) - before)): $(grep "screens:" "$CAT_LOG")"
echo "ok: the second monitor went away; the cat is on the primary: $(cat_state | jq -c '[.kind, .x, .feetY]')"
