#!/usr/bin/env bash
# On a high-density screen (Qt scaling by 2) the cat is placed, moved and clickable in device
# pixels: its panel stands where its frame in points says, sitting and walking, and the pointer
# over the cat's body is over the panel, not passed through to the desktop.
source "$(dirname "$0")/cat_lib.sh"
export QT_SCALE_FACTOR=2
start_desktop
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 40 "the cat sits at its entry spot" cat_is idle

# The panel's frame in points, doubled and measured from the bottom: "x y w h" in pixels.
scaled_pixels() {
    jq -r --argjson H "$E2E_HEIGHT" '.panel as [$x, $y, $w, $h] |
        [($x * 2 | round), ($H - ($y + $h) * 2 | round), ($w * 2 | round), ($h * 2 | round)] |
        map(tostring) | join(" ")' <<<"$1"
}
placed() { # within SLACK pixels sideways (a walking cat moves between the readings); points
    # are rounded to whole logical pixels before they are doubled, so up to 2 either way
    local slack=$1 reading ax ay aw ah wx wy ww wh
    reading=$(cat_state) || return 1
    read -r ax ay aw ah <<<"$(window_pixels "$(panel_window)")"
    read -r wx wy ww wh <<<"$(scaled_pixels "$reading")"
    ((aw == ww && ah == wh && ay - wy <= 2 && wy - ay <= 2 && ax - wx <= slack &&
        wx - ax <= slack))
}
wait_for 2 "the sitting cat's panel is where its frame says" placed 2
reading=$(cat_state)
read -r px py pw ph <<<"$(scaled_pixels "$reading")"
echo "ok: sitting, panel at $px $py ($pw x $ph pixels)"

# The body sits at the bottom centre of the panel: the pointer there is over the panel.
xdotool mousemove $((px + pw / 2)) $((py + ph - 40))
wait_for 3 "the pointer over the cat's body is over the panel" \
    sh -c "[ \$(xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p') = $(($(panel_window))) ]"
echo "ok: the cat's body takes the pointer"
xdotool mousemove 5 5

(while :; do ask '{"cmd":"due","what":"wander"}' >/dev/null 2>&1 || true; sleep 0.5; done) &
E2E_PIDS+=($!)
wait_for 20 "the cat walks" cat_is walking
for i in 1 2 3 4 5; do
    cat_is walking || continue
    placed 40 || fail "the walking cat's panel is not where its frame says: $(window_pixels "$(panel_window)") vs $(scaled_pixels "$(cat_state)")"
    sleep 0.2
done
echo "ok: walking, the panel follows the frame in device pixels"
