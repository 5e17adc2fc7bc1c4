#!/usr/bin/env bash
# "📸 For stories" and "📄 As PDF" with the real pointer: the save dialog proposes
# "Purrlox week <today>.png" (and .pdf); Return saves a 1080 × 1920 PNG and an A4 PDF there.
# The menu window stays open behind the dialog and after it, so the second export needs no
# reopening.
source "$(dirname "$0")/cat_lib.sh"
for tool in identify pdfinfo; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done

export PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=
mkdir -p "$PURRLOX_DATA_HOME/purrlox"
start=$(($(date -d "$(date +%F) 09:00" +%s) - 978307200))
jq -nc --argjson s "$start" \
    '[{activity: "Thesis", start: $s, sitting: $s, planned: 1500, seconds: 1500, completed: true}]' \
    >"$PURRLOX_DATA_HOME/purrlox/focusLog.json"

start_desktop # points HOME at the private folder
mkdir -p "$HOME/Pictures" "$HOME/Documents"
start_cat
open_stats() {
    xdotool mousemove 900 200
    "$E2E_PURRLOX" >"$E2E_TMP/second.log" 2>&1 || fail "the second start failed"
    wait_for 10 "the menu window opens" visible StatsLink
    click_on StatsLink
    wait_for 5 "the statistics screen opens" visible StreakCard
}
save_with_return() { # the button's text, the expected file
    click_on ChunkyButton "$1"
    wait_for 10 "the save dialog opens" xdotool search --onlyvisible --name "Save As"
    local dialog
    dialog=$(xdotool search --onlyvisible --name "Save As" | head -1)
    xdotool windowactivate --sync "$dialog" 2>/dev/null || true
    wait_for 5 "the save dialog has the focus" sh -c "[ \"\$(xdotool getwindowfocus)\" = $dialog ] || xdotool getwindowfocus getwindowname | grep -q 'Save As'"
    sleep 0.3
    visible StreakCard || fail "the statistics closed as the save dialog opened"
    xdotool key Return
    wait_for 10 "$2 is written" test -s "$2"
}

today=$(date +%F)
open_stats
save_with_return "📸 For stories" "$HOME/Pictures/Purrlox week $today.png"
[ "$(identify -format '%w %h' "$HOME/Pictures/Purrlox week $today.png")" = "1080 1920" ] ||
    fail "the saved story card is not 1080 × 1920"
echo "ok: the dialog saved Purrlox week $today.png"

visible StreakCard || fail "the statistics closed with the save dialog"
save_with_return "📄 As PDF" "$HOME/Documents/Purrlox week $today.pdf"
pdfinfo "$HOME/Documents/Purrlox week $today.pdf" | grep -q 'Page size: *595 x 842 pts (A4)' ||
    fail "the saved PDF is not A4"
echo "ok: the dialog saved Purrlox week $today.pdf"

# After the dialogs the window is the menu popup again: Escape closes it.
visible StreakCard || fail "the statistics closed with the second save dialog"
xdotool key Escape # back from the statistics to the main page
sleep 0.3
xdotool key Escape
wait_for 5 "Escape closes the menu window" sh -c "! '$CAT_ASK' '$CAT_SOCKET' '{\"cmd\":\"menu\"}' | jq -e .open | grep -q true"
echo "ok: the menu window stayed open behind both dialogs"
