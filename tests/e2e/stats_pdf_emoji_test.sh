#!/usr/bin/env bash
# Activities named with emoji in the exported PDF: the page image holds the emoji's colours
# where the text layer holds the names (the emoji drawn as pictures beside selectable text),
# and a day's list breaks between activities, never inside "lattice QCD 45 min".
# The first page goes to $STATS_SCREENS/pdf_emoji.png when set.
source "$(dirname "$0")/cat_lib.sh"
for tool in pdftotext pdftoppm; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done

export PURRLOX_DATA_HOME=$E2E_TMP/data LANG=ru_RU.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=
mkdir -p "$PURRLOX_DATA_HOME/purrlox"
# Today: yoga with the person-in-lotus emoji, a cup of coffee, and enough long names that the
# day's list wraps.
day=$(date +%F)
activities=("Гимнастика 🧘" "Coffee ☕" "Reading group notes" "lattice QCD" "Thesis chapter three" "Guitar practice")
i=0
for a in "${activities[@]}"; do
    start=$(($(date -d "$day 08:00" +%s) - 978307200 + i * 3600))
    jq -nc --arg a "$a" --argjson s "$start" \
        '{activity: $a, start: $s, sitting: $s, planned: 2700, seconds: 2700, completed: true}'
    i=$((i + 1))
done | jq -s . >"$PURRLOX_DATA_HOME/purrlox/focusLog.json"

start_desktop
start_cat
reply=$(ask "$(jq -nc --arg pdf "$E2E_TMP/week.pdf" '{cmd: "export", pdf: $pdf}')")
jq -e '.ok == true' <<<"$reply" >/dev/null || fail "export answered $reply: $(cat "$CAT_LOG")"

# The text layer: the names' words, and each day entry whole on one line.
text=$(pdftotext -layout "$E2E_TMP/week.pdf" -)
grep -qF "Гимнастика" <<<"$text" || fail "no Гимнастика in the PDF text: $text"
grep -qF "Coffee" <<<"$text" || fail "a ligature lost its letters in the PDF text: $text"
grep -qE "lattice QCD[  ]+45[  ]min" <<<"$text" || fail "\"lattice QCD 45 min\" is split: $text"

# The page image: where the shares block prints the yoga name (its row is found in the bounding
# boxes of the text layer), colourful pixels sit to the right of the word.
pdftotext -bbox "$E2E_TMP/week.pdf" "$E2E_TMP/boxes.html"
read -r x1 y1 x2 y2 <<<"$(grep -F '>Гимнастика<' "$E2E_TMP/boxes.html" | tail -1 |
    sed -E 's/.*xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)".*/\1 \2 \3 \4/')"
[ -n "$x2" ] || fail "no box for Гимнастика: $(head -c 2000 "$E2E_TMP/boxes.html")"
page=$(grep -n '<page' "$E2E_TMP/boxes.html" | awk -F: -v line="$(grep -nF '>Гимнастика<' "$E2E_TMP/boxes.html" | tail -1 | cut -d: -f1)" '$1 < line {n++} END {print n}')
pdftoppm -r 144 -f "$page" -l "$page" -png "$E2E_TMP/week.pdf" "$E2E_TMP/page"
image=$(ls "$E2E_TMP"/page*.png | head -1)
[ -n "${STATS_SCREENS:-}" ] && cp "$image" "$STATS_SCREENS/pdf_emoji.png"
# 144 dpi: two pixels per point. The emoji follows the word within a few points.
crop="$(( (${x2%.*} + 1) * 2 ))"
area="$((30 * 2))x$(( (${y2%.*} - ${y1%.*} + 6) * 2 ))+$crop+$(( (${y1%.*} - 3) * 2 ))"
# Strong colour: a chroma (largest minus smallest channel) over a third; the ink has 0.09.
chroma() { convert "$image" -crop "$1" +repage -fx 'max(r,max(g,b))-min(r,min(g,b)) > 0.33' \
    -format '%[fx:int(mean*w*h)]' info:; }
colourful=$(chroma "$area")
((colourful > 30)) || fail "no colour beside Гимнастика in the page image ($colourful saturated pixels in $area)"
# The same strip without the emoji is plain: the word's own ink is not colourful.
plain=$(chroma "$(( (${x2%.*} - ${x1%.*}) * 2 ))x$(( (${y2%.*} - ${y1%.*}) * 2 ))+$(( ${x1%.*} * 2 ))+$(( ${y1%.*} * 2 ))")
((plain < colourful / 4)) || fail "the word itself counts as colourful ($plain vs $colourful)"
echo "ok: the PDF prints 🧘 as $colourful colour pixels beside the selectable name"
echo PASS
