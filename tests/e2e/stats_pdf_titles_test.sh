#!/usr/bin/env bash
# The PDF's heavy titles print as filled letters in poppler and in MuPDF alike, in English and
# in Russian: inside each title's box (from the text layer) the ink covers as much as filled
# letters do, with no slivers of paper inside the letters (where an outline drawn off its
# letters leaves them). The PDFs go to $STATS_SCREENS when set.
source "$(dirname "$0")/cat_lib.sh"
for tool in pdftotext pdftoppm mutool convert; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done

export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
mkdir -p "$PURRLOX_DATA_HOME/purrlox" "$PURRLOX_CONFIG_HOME/purrlox"
start=$(($(date -d "$(date +%F) 09:00" +%s) - 978307200))
jq -nc --argjson s "$start" '[
    {activity: "Thesis", start: $s, sitting: $s, planned: 1500, seconds: 1500, completed: true},
    {activity: "Reading", start: ($s + 3600), sitting: ($s + 3600), planned: 1500,
     seconds: 1500, completed: true}]' >"$PURRLOX_DATA_HOME/purrlox/focusLog.json"
start_desktop

# Of a region's ink (pixels darker than mid grey), in per mille: how much it is (of the
# region), and how much closing one-pixel gaps across adds (of the ink): the slivers of paper inside
# letters that a rim drifting off its letters leaves.
ink() { convert "$1" -crop "$2" +repage -colorspace Gray -threshold 50% -negate \
    -format '%[fx:int(mean*1000)]' info:; }
slivers() { convert "$1" -crop "$2" +repage -colorspace Gray -threshold 50% -negate \
    \( +clone -morphology Close Rectangle:2x1 \) -compose Difference -composite \
    -format '%[fx:mean*w*h]' info:; }
inked() { convert "$1" -crop "$2" +repage -colorspace Gray -threshold 50% -negate \
    -format '%[fx:mean*w*h]' info:; }

check_title() { # pdf, boxes, title
    local pdf=$1 boxes=$2 title=$3 found page crop
    # The title's box: the union of its consecutive word boxes in the text layer, in points.
    found=$(awk -v want="$title" '
        /<page/ { page++ }
        /<word/ { w = $0; sub(/.*">/, "", w); sub(/<\/word>.*/, "", w); n++; text[n] = w
                  match($0, /xMin="[0-9.]+"/); x1[n] = substr($0, RSTART + 6, RLENGTH - 7)
                  match($0, /yMin="[0-9.]+"/); y1[n] = substr($0, RSTART + 6, RLENGTH - 7)
                  match($0, /xMax="[0-9.]+"/); x2[n] = substr($0, RSTART + 6, RLENGTH - 7)
                  match($0, /yMax="[0-9.]+"/); y2[n] = substr($0, RSTART + 6, RLENGTH - 7)
                  pg[n] = page }
        END { k = split(want, t, " ")
              for (s = 1; s + k - 1 <= n; s++) {
                  ok = 1
                  for (j = 1; j <= k; j++) if (text[s + j - 1] != t[j]) ok = 0
                  if (!ok) continue
                  top = y1[s]; bottom = y2[s]
                  for (j = 1; j < k; j++) {
                      if (y1[s + j] < top) top = y1[s + j]
                      if (y2[s + j] > bottom) bottom = y2[s + j] }
                  # 144 dpi: two pixels per point.
                  printf "%d %dx%d+%d+%d", pg[s], (x2[s + k - 1] - x1[s]) * 2,
                      (bottom - top) * 2, x1[s] * 2, top * 2
                  exit } }' "$boxes")
    [ -n "$found" ] || fail "no \"$title\" in the PDF's text layer: $(head -c 3000 "$boxes")"
    read -r page crop <<<"$found"
    for renderer in poppler mupdf; do
        local image=$E2E_TMP/$renderer-$page.png covered gaps
        if [ ! -s "$image" ]; then
            case $renderer in
            poppler) pdftoppm -r 144 -f "$page" -l "$page" -png -singlefile "$pdf" "${image%.png}" ;;
            mupdf) mutool draw -q -r 144 -o "$image" "$pdf" "$page" 2>/dev/null ;;
            esac
        fi
        [ -s "$image" ] || fail "$renderer rendered nothing of page $page"
        # Filled heavy letters cover a good quarter of their line's box.
        covered=$(ink "$image" "$crop")
        [[ $covered =~ ^[0-9]+$ ]] || fail "no ink measure of $crop in $image"
        ((covered >= 250)) || fail "$renderer: \"$title\" is hollow: ink covers $covered‰ of $crop"
        gaps=$(awk -v s="$(slivers "$image" "$crop")" -v i="$(inked "$image" "$crop")" \
            'BEGIN { printf "%d", (i > 0 ? s / i * 1000 : 1000) }')
        [[ $gaps =~ ^[0-9]+$ ]] || fail "no sliver measure of $crop in $image"
        ((gaps <= 10)) ||
            fail "$renderer: \"$title\" has slivers of paper in its letters ($gaps‰ of its ink, in $crop of page $page)"
        echo "ok: $renderer prints \"$title\" filled ($covered‰ of its box, slivers $gaps‰ of its ink)"
    done
}

for language in en ru; do
    echo "{\"languages\": [\"$language\"]}" >"$PURRLOX_CONFIG_HOME/purrlox/settings.json"
    start_cat
    pdf=$E2E_TMP/week-$language.pdf
    reply=$(ask "$(jq -nc --arg pdf "$pdf" '{cmd: "export", pdf: $pdf}')")
    jq -e '.ok == true' <<<"$reply" >/dev/null || fail "export answered $reply: $(cat "$CAT_LOG")"
    stop_cat
    [ -n "${STATS_SCREENS:-}" ] && cp "$pdf" "$STATS_SCREENS/"
    rm -f "$E2E_TMP"/poppler-*.png "$E2E_TMP"/mupdf-*.png
    pdftotext -bbox "$pdf" "$E2E_TMP/boxes.html"
    if [ "$language" = en ]; then
        titles=("A week in focus" "Activities this week")
    else
        titles=("Неделя в фокусе" "Занятия за неделю")
    fi
    for title in "${titles[@]}"; do check_title "$pdf" "$E2E_TMP/boxes.html" "$title"; done
done
echo PASS
