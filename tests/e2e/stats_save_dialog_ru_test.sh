#!/usr/bin/env bash
# In Russian, Qt's own save dialog speaks Russian too: its buttons read back through the
# automation widget request are Qt's Russian ones, a folder's kind is "Папка" (not "Folder"),
# a date is written the Russian way (not "8 Dec"), the sidebar's "Компьютер" is whole, and
# Return saves the story card under its Russian name. The dialog's picture goes to
# $STATS_SCREENS/save_dialog_ru.png when set.
source "$(dirname "$0")/cat_lib.sh"

export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
mkdir -p "$PURRLOX_DATA_HOME/purrlox" "$PURRLOX_CONFIG_HOME/purrlox"
echo '{"languages": ["ru"]}' >"$PURRLOX_CONFIG_HOME/purrlox/settings.json"
start=$(($(date -d "$(date +%F) 09:00" +%s) - 978307200))
jq -nc --argjson s "$start" \
    '[{activity: "Диплом", start: $s, sitting: $s, planned: 1500, seconds: 1500, completed: true}]' \
    >"$PURRLOX_DATA_HOME/purrlox/focusLog.json"

start_desktop
mkdir -p "$HOME/Pictures/Альбом"
touch -d "2026-12-08 10:00" "$HOME/Pictures/Альбом"
start_cat

xdotool mousemove 900 200
"$E2E_PURRLOX" >"$E2E_TMP/second.log" 2>&1 || fail "the second start failed"
wait_for 10 "the menu window opens" visible StatsLink
click_on StatsLink
wait_for 5 "the statistics screen opens" visible StreakCard
click_on ChunkyButton "📸 Для сторис"
wait_for 10 "the save dialog opens" visible QFileDialog
texts=$(widget QFileDialog | jq -c .texts)
for want in "&Сохранить" "Отмена" "&Имя файла:" "Типы файлов:"; do
    jq -e --arg w "$want" 'index($w) != null' <<<"$texts" >/dev/null ||
        fail "the dialog has no \"$want\": $texts"
done
jq -e 'index("&Save") == null and index("Cancel") == null' <<<"$texts" >/dev/null ||
    fail "English left in the dialog: $texts"
echo "ok: the dialog speaks Russian: $texts"

# The folder's row: its kind and its date in the interface language.
wait_for 10 "the dialog lists Альбом" sh -c "'$CAT_ASK' '$CAT_SOCKET' '{\"cmd\":\"widget\",\"class\":\"QFileDialog\"}' | jq -e '.texts | index(\"Альбом\") != null'"
texts=$(widget QFileDialog | jq -c .texts)
jq -e 'index("Папка") != null and index("Folder") == null' <<<"$texts" >/dev/null ||
    fail "a folder's kind is not \"Папка\": $texts"
jq -e 'map(select(test("^08\\.12\\.2026"))) | length > 0' <<<"$texts" >/dev/null ||
    fail "no Russian date (08.12.2026) for Альбом: $texts"
jq -e 'map(select(test("Dec"))) | length == 0' <<<"$texts" >/dev/null ||
    fail "an English date in the dialog: $texts"
echo "ok: Альбом is a Папка of 08.12.2026"
# The sidebar fits its places: "Компьютер" is not cut.
sidebar=$(widget QSidebar)
jq -e '.texts | index("Компьютер") != null' <<<"$sidebar" >/dev/null ||
    fail "no Компьютер in the sidebar: $sidebar"
jq -e '.cut == []' <<<"$sidebar" >/dev/null || fail "the sidebar cuts $(jq -c .cut <<<"$sidebar")"
echo "ok: the sidebar shows its places whole: $(jq -c .texts <<<"$sidebar")"
[ -n "${STATS_SCREENS:-}" ] && import -window root "$STATS_SCREENS/save_dialog_ru.png"

dialog=$(xdotool search --onlyvisible --class app.purrlox.Purrlox | tail -1)
xdotool windowactivate --sync "$dialog" 2>/dev/null || true
sleep 0.3
xdotool key Return
today=$(date +%F)
wait_for 10 "the story card is saved" test -s "$HOME/Pictures/Purrlox неделя $today.png"
echo "PASS"
