#!/usr/bin/env bash
# The wall clock is set while a pomodoro runs and a daily reminder waits (libfaketime, the
# monotonic clocks untouched): an hour back, two hours ahead, and a year back for a moment.
# The countdown goes on as if nothing happened, the work period is neither stretched nor cut,
# the stretch is stored with its real start and length, the reminder's stored time stays, and
# it comes as one letter, at its time.
source "$(dirname "$0")/cat_lib.sh"
FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
[ -n "$FAKETIME_LIB" ] || fail "libfaketime is not installed (make deps installs faketime)"
start_desktop
export PURRLOX_CONFIG_HOME=$E2E_TMP/config PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
STORE=$PURRLOX_DATA_HOME/purrlox
mkdir -p "$STORE"
SHIFT=$E2E_TMP/clock-offset
echo "+0" >"$SHIFT"
# set_clock OFFSET: the app's wall clock from now on stands OFFSET seconds from the real one.
set_clock() {
    echo "$1" >"$SHIFT.new" && mv "$SHIFT.new" "$SHIFT"
    sleep 1.5 # the shim reads the file at most once a second
}
stored() { python3 -c 'import time; print(time.time() - 978307200)'; }

reminder_at=$(echo "$(stored) + 35" | bc)
echo "[{\"id\":\"7E57C10C-0000-4000-8000-000000000001\",\"text\":\"stretch your legs\",\"at\":$reminder_at,\"daily\":true}]" >"$STORE/reminders.json"
stored_at() { jq -r '.[0].at' "$STORE/reminders.json"; }

LD_PRELOAD=$FAKETIME_LIB FAKETIME_TIMESTAMP_FILE=$SHIFT FAKETIME_CACHE_DURATION=1 \
    FAKETIME_DONT_FAKE_MONOTONIC=1 "$E2E_PURRLOX" --automation "$CAT_SOCKET" >"$CAT_LOG" 2>&1 &
CAT_PID=$!
E2E_PIDS+=($CAT_PID)
wait_for 15 "the automation socket opens" test -S "$CAT_SOCKET"

menu() { ask '{"cmd":"menu"}'; }
ask '{"cmd":"menu","open":true}' >/dev/null
wait_for 5 "the menu window opens" sh -c "$CAT_ASK $CAT_SOCKET '{\"cmd\":\"menu\"}' | jq -e .open"
click_start_stop() {
    local x y
    read -r x y <<<"$(menu | jq -r '.controls.startStop.frame | "\(.[0] + (.[2] / 2 | floor)) \(.[1] + (.[3] / 2 | floor))"')"
    xdotool mousemove "$x" "$y" click 1
    xdotool mousemove 960 200
}
click_start_stop
started=$(stored)
counting() { [[ "$(menu | jq -r .tray.tooltip)" == "Purrlox · 2"[45]:* ]]; }
wait_for 5 "the countdown runs" counting

# The countdown shown against the real time passed since the start: "shown expected".
countdown_check() {
    local tip shown left
    tip=$(menu | jq -r .tray.tooltip)
    [[ $tip =~ ·\ ([0-9]+):([0-9]+)$ ]] || fail "$1: no countdown in '$tip'"
    shown=$((10#${BASH_REMATCH[1]} * 60 + 10#${BASH_REMATCH[2]}))
    left=$(echo "1500 - ($(stored) - $started)" | bc | cut -d. -f1)
    ((shown >= left - 3 && shown <= left + 3)) || fail "$1: the countdown shows $tip, about $left s were left"
    echo "$1: $tip"
}
set_clock -3600
sleep 1.2
countdown_check "an hour back"

# A year back for a moment, then right: the stored time of the daily reminder stays.
before=$(stored_at)
set_clock -31536000
sleep 1.5
set_clock +0
[ "$(stored_at)" = "$before" ] || fail "the reminder moved from $before to $(stored_at)"
letters() { ask '{"cmd":"letters"}' | jq '[.letters[] | select(.text == "stretch your legs")] | length'; }
[ "$(letters)" = 0 ] || { cp "$CAT_LOG" /tmp/robust_clock_app.log; cp "$STORE/reminders.json" /tmp/robust_rem.json; fail "the reminder came early, $(echo "$reminder_at - $(stored)" | bc) s before its time"; }
while (($(echo "$(stored) < $reminder_at - 1" | bc))); do
    [ "$(letters)" = 0 ] || { cp "$CAT_LOG" /tmp/robust_clock_app.log; cp "$STORE/reminders.json" /tmp/robust_rem.json; } && [ "$(letters)" = 0 ] || fail "the reminder came $(echo "$reminder_at - $(stored)" | bc) s before its time"
    sleep 0.3
done
wait_for 10 "the reminder's letter comes" sh -c "$CAT_ASK $CAT_SOCKET '{\"cmd\":\"letters\"}' | jq -e '.letters | map(select(.text == \"stretch your legs\")) | length > 0'"
sleep 3
[ "$(letters)" = 1 ] || fail "$(letters) letters for one reminder"
echo "ok: the daily reminder stayed at its time through a year back and came as one letter"

set_clock +7200
sleep 1.2
countdown_check "two hours ahead"
set_clock +0
countdown_check "right again"
countdown_check "after the reminder"

# Stop: one stretch, from the real start, as long as the real time that passed.
ask '{"cmd":"menu","open":true}' >/dev/null
wait_for 5 "the menu window opens again" sh -c "$CAT_ASK $CAT_SOCKET '{\"cmd\":\"menu\"}' | jq -e .open"
click_start_stop
stopped=$(stored)
LOG_FILE=$STORE/focusLog.json
wait_for 5 "the stretch is stored" test -s "$LOG_FILE"
[ "$(jq length "$LOG_FILE")" = 1 ] || fail "expected one stretch: $(cat "$LOG_FILE")"
jq -e --argjson s "$started" --argjson e "$stopped" '.[0] |
    (.start - $s | fabs) < 2 and (.seconds - ($e - $s) | fabs) < 3 and .completed == false' \
    "$LOG_FILE" >/dev/null || fail "the stretch is not the real one (started $started, stopped $stopped): $(cat "$LOG_FILE")"
echo "ok: one stretch of $(jq '.[0].seconds | floor' "$LOG_FILE") s, started when it was"
echo "PASS"
