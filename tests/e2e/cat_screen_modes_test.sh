#!/usr/bin/env bash
# Screen modes change under the cat (1920x1080 -> 1024x768 -> 1600x900 and back): a sitting, a
# walking and a climbing cat are on the new floor, inside the new screen and drawn there within
# a second, the still one included; a cat on a window that kept its place rides along with it.
source "$(dirname "$0")/cat_lib.sh"
start_desktop
start_randr
start_cat
keep_cat_still
still=${E2E_PIDS[-1]}
wait_for 30 "the cat snacks where it walked in to" cat_is snacking

modes=("1024 768" "1600 900" "1920 1080")
switch_all() {
    local what=$1 mode
    for mode in "${modes[@]}"; do
        # shellcheck disable=SC2086
        set_mode $mode
        (wait_for 1 "the $what cat is placed on ${mode/ /x}" cat_placed) ||
            fail "the $what cat on ${mode/ /x}: $(cat_state) panel at $(window_pixels "$(panel_window)")"
        echo "ok: the $what cat is placed on ${mode/ /x}: $(cat_state | jq -c '[.kind, .x, .feetY, .panel]')"
    done
}
switch_all still
mkdir -p "${CAT_SHOTS:-$E2E_TMP}"
set_mode 1024 768
wait_for 1 "placed on 1024x768" cat_placed
import -window root "${CAT_SHOTS:-$E2E_TMP}/cat_after_mode_1024x768.png"
set_mode 1920 1080
wait_for 1 "placed on 1920x1080" cat_placed

# A walking cat: a wander far across the screen, switched under it.
kill "$still"
not_snacking() { ! cat_is snacking; }
wait_for 15 "the snack ends" not_snacking
wander() { ask '{"cmd":"due","what":"wander"}' >/dev/null && cat_is walking; }
wait_for 20 "the cat walks" wander
switch_all walking

# A climbing cat: a window under the cat, climbed, then the screen changes height while the
# window keeps its place on the server.
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 60 "the cat is idle again" cat_is idle
x=$(cat_state | jq -r '.x | floor')
term=$(open_xterm e2e-climb 60x20+$((x - 150))+560)
ask '{"cmd":"due","what":"climb"}' >/dev/null
wait_for 10 "the cat climbs the window" cat_is climbingUp
set_mode 1024 768
wait_for 1 "the climbing cat is placed" cat_placed
wait_for 10 "the cat stands on the window it climbed" \
    sh -c "[ \$('$CAT_ASK' '$CAT_SOCKET' '{\"cmd\":\"state\"}' | jq -r .platform) = $term ]"
top=$(jq -r --argjson id "$term" '.windows[] | select(.id == $id) | .frame[1] + .frame[3]' \
    <<<"$(ask '{"cmd":"tops"}')")
feet=$(cat_state | jq -r .feetY)
(($(echo "$feet == $top" | bc))) || fail "the cat's feet ($feet) are not on the window's top ($top)"
echo "ok: the climbing cat went on up its window on 1024x768"
set_mode 1600 900
wait_for 1 "the cat on the window is placed on 1600x900" cat_placed
top=$(jq -r --argjson id "$term" '.windows[] | select(.id == $id) | .frame[1] + .frame[3]' \
    <<<"$(ask '{"cmd":"tops"}')")
reading=$(cat_state)
[ "$(jq -r .platform <<<"$reading")" = "$term" ] && (($(echo "$(jq -r .feetY <<<"$reading") == $top" | bc))) ||
    fail "the cat should ride along on its window: $reading (top $top)"
import -window root "${CAT_SHOTS:-$E2E_TMP}/cat_on_window_after_mode_1600x900.png"
echo "ok: the cat on a window rides along with it through a mode change"
