#!/usr/bin/env bash
# The menu window opened by a second start, clicked through with the real pointer: the
# statistics link opens the statistics screen with the stored streak; back, then the reminders
# link opens the reminders screen, where a typed note is added to the stored list.
# With E2E_KEEP_DIR set, screenshots of both screens are kept there.
source "$(dirname "$0")/cat_lib.sh"
command -v import >/dev/null || fail "import is not installed (make deps installs imagemagick)"

export PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=
mkdir -p "$PURRLOX_DATA_HOME/purrlox"
stretch() { # day offset, hour, activity
    local start=$(($(date -d "$(date +%F) $1 days $2:00" +%s) - 978307200))
    jq -nc --arg a "$3" --argjson s "$start" \
        '{activity: $a, start: $s, sitting: $s, planned: 1500, seconds: 1500, completed: true}'
}
{ stretch -1 9 Reading; stretch 0 8 Thesis; stretch 0 9 Mail; } | jq -s . \
    >"$PURRLOX_DATA_HOME/purrlox/focusLog.json"

start_desktop
start_cat
widget() { ask "{\"cmd\":\"widget\",\"class\":\"$1\"}"; }
visible() { widget "$1" | jq -e '.width > 0' >/dev/null; }
click_on() { # the centre of the first visible widget of a class
    local w
    w=$(widget "$1")
    jq -e '.width > 0' <<<"$w" >/dev/null || fail "$1 is not on screen: $w"
    xdotool mousemove "$(jq '(.x + .width / 2) | floor' <<<"$w")" \
        "$(jq '(.y + .height / 2) | floor' <<<"$w")"
    sleep 0.2
    xdotool click 1
}
shoot() { # keeps the menu window's picture when asked to
    [ -n "${E2E_KEEP_DIR:-}" ] || return 0
    local w
    w=$(widget MenuWindow)
    import -window root -crop "$(jq -r '"\(.width | floor)x\(.height | floor)+\(.x | floor)+\(.y | floor)"' <<<"$w")" \
        "$E2E_KEEP_DIR/$1"
}

# A second start without links opens the menu window near the pointer.
xdotool mousemove 900 200
"$E2E_PURRLOX" >"$E2E_TMP/second.log" 2>&1 || fail "the second start failed: $(cat "$E2E_TMP/second.log")"
wait_for 10 "the menu window opens" visible StatsLink

click_on StatsLink
wait_for 5 "the statistics screen opens" visible StreakCard
texts=$(widget StreakCard | jq -c .texts)
jq -e 'index("🔥 2 days in a row") != null' <<<"$texts" >/dev/null ||
    fail "the streak card shows $texts"
widget TodayCard | jq -e '.texts | index("🎯 Goal") != null' >/dev/null ||
    fail "the today card shows $(widget TodayCard | jq -c .texts)"
visible WeekBars || fail "the week card shows no bars"
sleep 0.3
shoot stats-screen-in-menu.png
echo "ok: the statistics screen opened by the pointer shows the stored streak"

click_on BackButton
wait_for 5 "back on the main page" visible RemindersLink
click_on RemindersLink
wait_for 5 "the reminders screen opens" visible FieldCard
click_on FieldCard
xdotool type --delay 20 "  stretch  "
xdotool key Return
wait_for 5 "the reminder is stored" jq -e '.[0].text == "stretch" and .[0].daily == false' \
    "$PURRLOX_DATA_HOME/purrlox/reminders.json"
sleep 0.3
shoot reminders-screen-in-menu.png
echo "ok: a note typed on the reminders screen is stored trimmed"
