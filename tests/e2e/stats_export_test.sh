#!/usr/bin/env bash
# A stored focus log of a known week: the export request writes the story card as a 1080 × 1920
# PNG and the week as an A4 PDF whose text holds the heading, every focus day and every activity.
# A path that cannot be written gets an error answer and a log line, and nothing else changes.
source "$(dirname "$0")/cat_lib.sh"
for tool in pdfinfo pdftotext identify; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done

export PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=
mkdir -p "$PURRLOX_DATA_HOME/purrlox"

# This week's Monday; every day of the week gets focus, so the PDF runs to a second page.
monday=$(date -d "$(date +%F) -$(($(date +%u) - 1)) days" +%F)
activities=("Thesis chapter" "Mail" "Reading" "Guitar practice" "Spanish" "Чтение")
stretches=()
for day in 0 1 2 3 4 5 6; do
    date_of_day=$(date -d "$monday +$day days" +%F)
    for slot in 0 1 2; do
        start=$(($(date -d "$date_of_day $((9 + slot)):00" +%s) - 978307200))
        activity=${activities[$(((day + slot) % ${#activities[@]}))]}
        stretches+=("$(jq -nc --arg a "$activity" --argjson s "$start" \
            '{activity: $a, start: $s, sitting: $s, planned: 1500, seconds: 1500, completed: true}')")
    done
done
printf '%s\n' "${stretches[@]}" | jq -s . >"$PURRLOX_DATA_HOME/purrlox/focusLog.json"

start_desktop
start_cat
reply=$(ask "$(jq -nc --arg png "$E2E_TMP/week.png" --arg pdf "$E2E_TMP/week.pdf" \
    '{cmd: "export", png: $png, pdf: $pdf}')")
jq -e '.ok == true' <<<"$reply" >/dev/null || fail "export answered $reply: $(cat "$CAT_LOG")"

[ "$(identify -format '%w %h' "$E2E_TMP/week.png")" = "1080 1920" ] ||
    fail "the story card is $(identify -format '%w × %h' "$E2E_TMP/week.png"), not 1080 × 1920"

pages=$(pdfinfo "$E2E_TMP/week.pdf" | awk '/^Pages:/ {print $2}')
((pages >= 1)) || fail "the PDF has no pages: $(pdfinfo "$E2E_TMP/week.pdf")"
sizes=$(pdfinfo -f 1 -l "$pages" "$E2E_TMP/week.pdf" | grep -c 'size: *595 x 842 pts (A4)')
[ "$sizes" = "$pages" ] || fail "not every page is A4: $(pdfinfo -f 1 -l "$pages" "$E2E_TMP/week.pdf")"

text=$(pdftotext "$E2E_TMP/week.pdf" -)
grep -qF "A week in focus" <<<"$text" || fail "no heading in the PDF text: $text"
for day in 0 1 2 3 4 5 6; do
    name=$(LC_ALL=C date -d "$monday +$day days" '+%A, %-d %B')
    grep -qF "$name" <<<"$text" || fail "no \"$name\" in the PDF text: $text"
done
for activity in "${activities[@]}"; do
    grep -qF "$activity" <<<"$text" || fail "no activity \"$activity\" in the PDF text: $text"
done
echo "ok: a ${pages}-page A4 PDF and a 1080 × 1920 story card"

# Only one of the two, as the request allows.
reply=$(ask "$(jq -nc --arg pdf "$E2E_TMP/only.pdf" '{cmd: "export", pdf: $pdf}')")
jq -e '.ok == true' <<<"$reply" >/dev/null || fail "a PDF-only export answered $reply"
[ -s "$E2E_TMP/only.pdf" ] && [ ! -e "$E2E_TMP/only.png" ] || fail "the PDF-only export wrote the wrong files"

# A folder that does not exist: an error answer and one log line naming the type.
reply=$(ask '{"cmd":"export","png":"/nonexistent/folder/week.png"}')
jq -e '.error | length > 0' <<<"$reply" >/dev/null || fail "an unwritable path answered $reply"
wait_for 5 "the save error is logged" grep -q 'cannot save image/png: ' "$CAT_LOG"
cmp -s "$PURRLOX_DATA_HOME/purrlox/focusLog.json" <(printf '%s\n' "${stretches[@]}" | jq -s .) ||
    fail "the stored focus log changed"
echo "ok: a failed save is answered and logged"
