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

# The xterm's right edge through the middle of the panel: half window, half desktop behind it.
reading=$(cat_state)
read -r px py pw ph <<<"$(panel_pixels "$reading")"
read -r _ _ fw fh <<<"$(xwininfo_frame "$term")"
move_frame "$term" $((px + pw / 2 - fw)) $((py + ph / 2 - fh + 40))
sleep 0.3
[ "$(cat_state | jq .x)" = "$(jq .x <<<"$reading")" ] || fail "the cat moved before the shot"

SHOTS=${CAT_SHOTS:-$E2E_TMP}
mkdir -p "$SHOTS"
import -window root "$SHOTS/cat_with.png"
stop_cat
wait_for 5 "the panel goes away" sh -c '! xwininfo -root -children | grep -q "\"Purrlox\": (\"purrlox\""'
sleep 0.3
import -window root "$SHOTS/cat_without.png"

area="${pw}x${ph}+${px}+${py}"
convert "$SHOTS/cat_with.png" -crop "$area" +repage "$E2E_TMP/with.png"
convert "$SHOTS/cat_without.png" -crop "$area" +repage "$E2E_TMP/without.png"
differ() { compare -metric AE "$@" null: 2>&1 | cut -d' ' -f1 || true; }
changed=$(differ "$E2E_TMP/with.png" "$E2E_TMP/without.png")
# The top 50 rows of a sitting cat's panel are clear: window and desktop show through.
convert "$E2E_TMP/with.png" -crop "${pw}x50+0+0" +repage "$E2E_TMP/with_top.png"
convert "$E2E_TMP/without.png" -crop "${pw}x50+0+0" +repage "$E2E_TMP/without_top.png"
top=$(differ "$E2E_TMP/with_top.png" "$E2E_TMP/without_top.png")
echo "panel $area: $changed of $((pw * ph)) pixels show the cat, $top differ in the clear top"
((changed > 1000)) || fail "the cat is hardly visible ($changed pixels)"
((changed < pw * ph / 2)) || fail "the panel hides what lies behind it ($changed pixels)"
[ "$top" = 0 ] || fail "the clear part of the panel is not see-through ($top pixels differ)"
# Both the xterm (light) and the desktop (dark) are among the pixels seen through the panel.
colours=$(convert "$E2E_TMP/with_top.png" -format %k info:)
((colours >= 2)) || fail "expected window and desktop behind the panel, saw $colours colours"
echo "ok: the cat shows over the desktop and the xterm with real transparency"
