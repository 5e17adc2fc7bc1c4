#!/usr/bin/env bash
# Screen modes change under the cat (1920x1080 -> 1024x768 -> 1600x900 and back): a sitting, a
# walking and a climbing cat are on the new floor, inside the new screen and drawn there within
# a second, the still one included, and so is its bed; a cat on a window that kept its place
# rides along with it.
source "$(dirname "$0")/cat_lib.sh"
start_desktop
start_randr
start_cat
keep_cat_still
still=${E2E_PIDS[-1]}
wait_for 30 "the cat snacks where it walked in to" cat_is snacking

# Fails with the cat's state and its panel's place on the server when it is not placed in 2 s:
# the cat moves on the first frame after the notice, but one check is a dozen subprocesses and
# takes a good part of a second on a loaded machine.
must_be_placed() {
    (wait_for 2 "$1" cat_placed) || fail "$1: $(cat_state) panel at $(window_pixels "$(panel_window)")"
}

# The bed's X window is where its frame puts it on a screen of the current height.
bed_placed() {
    local want id
    want=$(cat_state | jq -r --argjson H "$E2E_HEIGHT" '.bed as [$x, $y, $w, $h] |
        [($x | round), ($H - ($y + $h) | round), ($w | round), ($h | round)] |
        map(tostring) | join(" ")')
    id=$(xwininfo -root -children | awk '/"Purrlox bed — Purrlox": \("purrlox" "app.purrlox.Purrlox"\)/ {print $1; exit}')
    [ -n "$id" ] && [ "$(window_pixels "$id")" = "$want" ]
}

modes=("1024 768" "1600 900" "1920 1080")
switch_all() {
    local what=$1 mode
    for mode in "${modes[@]}"; do
        # shellcheck disable=SC2086
        set_mode $mode
        must_be_placed "the $what cat is placed on ${mode/ /x}"
        wait_for 1 "the bed is on the floor of ${mode/ /x}" bed_placed
        echo "ok: the $what cat is placed on ${mode/ /x}: $(cat_state | jq -c '[.kind, .x, .feetY, .panel]')"
    done
}
switch_all still
mkdir -p "${CAT_SHOTS:-$E2E_TMP}"
set_mode 1024 768
must_be_placed "placed on 1024x768"
import -window root "${CAT_SHOTS:-$E2E_TMP}/cat_after_mode_1024x768.png"
set_mode 1920 1080
must_be_placed "placed on 1920x1080"

# A walking cat: a wander far across the screen, switched under it.
kill "$still"
not_snacking() { ! cat_is snacking; }
wait_for 15 "the snack ends" not_snacking
wander() { ask '{"cmd":"due","what":"wander"}' >/dev/null && cat_is walking; }
wait_for 20 "the cat walks" wander
switch_all walking

# A climbing cat: a window climbed on the small screen, which then grows taller while the
# window keeps its place on the server. The window is on every screen of the cycle, so the cat
# can stay on it.
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 60 "the cat is idle again" cat_is idle
set_mode 1024 768
must_be_placed "the idle cat is placed on 1024x768"
x=$(cat_state | jq -r '.x | floor')
left=$((x - 150))
((left < 0)) && left=0
((left > 1024 - 420)) && left=$((1024 - 420))
term=$(open_xterm e2e-climb 60x20+$left+458) # its face down to the floor, 21 above it
ask '{"cmd":"due","what":"climb"}' >/dev/null
wait_for 10 "the cat climbs the window" cat_is climbingUp
set_mode 1600 900
must_be_placed "the climbing cat is placed"
wait_for 10 "the cat stands on the window it climbed" \
    sh -c "[ \$('$CAT_ASK' '$CAT_SOCKET' '{\"cmd\":\"state\"}' | jq -r .platform) = $term ]"
top=$(jq -r --argjson id "$term" '.windows[] | select(.id == $id) | .frame[1] + .frame[3]' \
    <<<"$(ask '{"cmd":"tops"}')")
feet=$(cat_state | jq -r .feetY)
(($(echo "$feet == $top" | bc))) || fail "the cat's feet ($feet) are not on the window's top ($top)"
echo "ok: the climbing cat went on up its window on 1600x900"
set_mode 1920 1080
must_be_placed "the cat on the window is placed on 1920x1080"
top=$(jq -r --argjson id "$term" '.windows[] | select(.id == $id) | .frame[1] + .frame[3]' \
    <<<"$(ask '{"cmd":"tops"}')")
reading=$(cat_state)
[ "$(jq -r .platform <<<"$reading")" = "$term" ] && (($(echo "$(jq -r .feetY <<<"$reading") == $top" | bc))) ||
    fail "the cat should ride along on its window: $reading (top $top)"
import -window root "${CAT_SHOTS:-$E2E_TMP}/cat_on_window_after_mode_1920x1080.png"
echo "ok: the cat on a window rides along with it through a mode change"
