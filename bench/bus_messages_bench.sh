#!/usr/bin/env bash
# What the app sends on the session bus and to a status-bar follower, per second: a sitting cat
# with no timer (goal: nothing), and with the focus timer running (goal: at most one update a
# second to the tray, and to each --follow client). The tray's messages are counted by member
# with dbus-monitor on a private bus with a StatusNotifierWatcher; the follower's lines as
# `purrlox --status --follow` prints them. Then the same with a dbusmenu host showing the menu
# (its label counts down only then), and the top-bar label a GNOME Shell button reads where no
# tray host is (a second start with no watcher).
# Usage: bench/bus_messages_bench.sh build/purrlox [SECONDS_SITTING] [SECONDS_RUNNING]
source "$(dirname "$0")/../tests/e2e/cat_lib.sh"
source "$(dirname "$0")/../tests/e2e/devices_lib.sh"
SITTING=${2:-20}
RUNNING=${3:-65}

start_desktop
start_buses
export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
start_fake watcher watcher
WATCHER_PID=${E2E_PIDS[-1]}
start_cat
ITEM=org.kde.StatusNotifierItem-$CAT_PID-1
wait_for 10 "the item registers" grep -q "^registered $ITEM " "$E2E_TMP/watcher.out"
OWNER=$(gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.GetNameOwner "$ITEM" | sed "s/^('\(.*\)',)$/\1/")
ask '{"cmd":"calm","seconds":3600}' >/dev/null
sleep 3

# count SECONDS NAME: every message the app sends in that time, by kind and member.
count() {
    dbus-monitor --session "sender='$OWNER'" >"$E2E_TMP/$2.log" 2>&1 &
    local monitor=$!
    sleep "$1"
    kill "$monitor"
    wait "$monitor" 2>/dev/null || true
    local total
    # The bus's own words to the monitor (NameAcquired) are not the app's.
    grep -E "^(signal|method call|method return|error) .*sender=$OWNER " "$E2E_TMP/$2.log" \
        >"$E2E_TMP/$2.ours" || true
    total=$(wc -l <"$E2E_TMP/$2.ours")
    printf '%-38s %5d messages in %3ss = %.2f/s' "$2" "$total" "$1" "$(echo "$total / $1" | bc -l)"
    { grep -oE 'member=[A-Za-z]+' "$E2E_TMP/$2.ours" || true; } | sed 's/.*member=//' | sort |
        uniq -c | awk '{printf "  %s %d", $2, $1}'
    echo
}

count "$SITTING" "sitting, no timer"

"$E2E_PURRLOX" --status --follow >"$E2E_TMP/follow.out" 2>&1 &
FOLLOW=$!
E2E_PIDS+=($FOLLOW)
wait_for 10 "the follower starts" test -s "$E2E_TMP/follow.out"
"$E2E_PURRLOX" --focus start
sleep 0.5
before=$(wc -l <"$E2E_TMP/follow.out")
count "$RUNNING" "timer running, menu not shown"
after=$(wc -l <"$E2E_TMP/follow.out")
printf '%-38s %5d lines in %3ss = %.2f/s\n' "--follow client" "$((after - before))" "$RUNNING" \
    "$(echo "($after - $before) / $RUNNING" | bc -l)"

/usr/bin/python3 "$(dirname "$0")/../tests/e2e/dbusmenu_host.py" "$ITEM" watch 30 open >/dev/null &
host=$!
sleep 0.5
count 20 "timer running, menu shown by a host"
wait "$host" || true
"$E2E_PURRLOX" --focus stop
sleep 1
count "$SITTING" "stopped again"

# No tray host: the paw's label for GNOME's top bar instead.
stop_cat
kill "$WATCHER_PID"
wait "$WATCHER_PID" 2>/dev/null || true
rm -f "$CAT_SOCKET"
XDG_CURRENT_DESKTOP=GNOME start_cat
wait_for 10 "the top-bar label is offered" gdbus call --session -d org.freedesktop.DBus \
    -o /org/freedesktop/DBus -m org.freedesktop.DBus.GetNameOwner app.purrlox.Purrlox
OWNER=$(gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.GetNameOwner app.purrlox.Purrlox | sed "s/^('\(.*\)',)$/\1/")
ask '{"cmd":"calm","seconds":3600}' >/dev/null
sleep 3
count "$SITTING" "no tray host, sitting, no timer"
"$E2E_PURRLOX" --focus start
sleep 0.5
count 20 "no tray host, timer running"
