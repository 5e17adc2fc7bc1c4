#!/usr/bin/env bash
# A screenshot shows the cat with the desktop and an xterm visible through the clear rest of
# its panel: the same pixels as without the cat everywhere but the cat itself.
source "$(dirname "$0")/cat_lib.sh"
command -v import >/dev/null && command -v compare >/dev/null || fail "imagemagick is missing"
start_desktop
term=$(open_xterm e2e-under 80x40+100+100)
start_cat
keep_cat_still
wait_for 30 "the cat sits at its spot" cat_is snacking

reading=$(cat_state)
panel=$(panel_pixels "$reading")
straddle_panel "$term" "$panel"
sleep 0.3
[ "$(cat_state | jq .x)" = "$(jq .x <<<"$reading")" ] || fail "the cat moved before the shot"

SHOTS=${CAT_SHOTS:-$E2E_TMP}
mkdir -p "$SHOTS"
read -r changed top colours <<<"$(shoot_with_and_without "$SHOTS/cat_with.png" \
    "$SHOTS/cat_without.png" "$panel")"
read -r _ _ pw ph <<<"$panel"
echo "panel $panel: $changed of $((pw * ph)) pixels show the cat, $top differ in the clear top"
((changed > 1000)) || fail "the cat is hardly visible ($changed pixels)"
((changed < pw * ph / 2)) || fail "the panel hides what lies behind it ($changed pixels)"
[ "$top" = 0 ] || fail "the clear part of the panel is not see-through ($top pixels differ)"
# Both the xterm (light) and the desktop (dark) show through the clear part of the panel.
((colours >= 2)) || fail "expected window and desktop behind the panel, saw $colours colours"
echo "ok: the cat shows over the desktop and the xterm with real transparency"
