#!/usr/bin/env bash
# The primary monitor starts 1280 pixels into the root, right of a smaller one: the cat's panel
# stands where the engine puts it, a window's frame in the engine is where the window is, and a
# real drag picks the cat up under the pointer and carries it there.
source "$(dirname "$0")/cat_lib.sh"
E2E_WIDTH=3200
OFF=1280
start_desktop
# RandR monitors (as a second screen would give them); Qt takes the starred one as primary.
xrandr --setmonitor left 1280/340x1024/270+0+56 none
xrandr --setmonitor '*right' 1920/510x1080/290+$OFF+0 none
xterm_id=$(open_xterm e2e-offset 80x20+$((OFF + 300))+400)
start_cat
keep_cat_still
wait_for 40 "the cat sits at its spot" cat_is snacking

# The window's frame in engine points: x counted from the primary's left edge.
read -r wx wy ww wh <<<"$(xwininfo_frame "$xterm_id")"
want_x=$((wx - OFF))
listed() {
    ask '{"cmd":"tops"}' | jq -e --argjson x "$want_x" --argjson w "$ww" \
        '.windows | any(.frame[0] == $x and .frame[2] == $w)' >/dev/null
}
wait_for 10 "the engine lists the xterm at x = $want_x points" listed
echo "ok: the xterm at root x $wx is at $want_x points"

# The panel on the server is where the engine placed it, shifted by the primary's left edge.
on_its_frame() {
    local reading ax ay aw ah px py pw ph
    reading=$(cat_state)
    read -r ax ay aw ah <<<"$(window_pixels "$(panel_window)")"
    read -r px py pw ph <<<"$(panel_pixels "$reading")"
    ((ax == px + OFF && ay == py && aw == pw && ah == ph))
}
wait_for 5 "the panel stands on its frame: $(cat_state | jq -c .panel)" on_its_frame
echo "ok: the panel is at its frame, $OFF pixels right of the root's edge"

# A real press on the cat's body and a drag: picked up, then hanging under the pointer.
reading=$(cat_state)
x=$(jq --argjson o "$OFF" '.x + $o | round' <<<"$reading")
y=$(jq --argjson H "$E2E_HEIGHT" '$H - (.feetY + 30) | round' <<<"$reading")
drag_cat "$x" "$y" "$((OFF + 900))" 500
under_pointer() {
    cat_state | jq -e '(.x - 900) | fabs < 40' >/dev/null
}
wait_for 2 "the held cat hangs at x = 900 points: $(cat_state | jq -c '[.kind, .x, .feetY]')" under_pointer
xdotool mouseup 1
echo "ok: the cat was carried to the pointer at 900 points"
