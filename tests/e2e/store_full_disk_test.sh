#!/usr/bin/env bash
# The disk fills up while the focus log saves: the stretches booked meanwhile stay in memory and
# reach the file once there is space again, by the timed retry or by the quit path. One log line
# per streak of failures, naming the full disk, one when saving works again. The data folder is
# a small tmpfs.
[ "$(id -u)" = 0 ] || {
    echo "skipped: mounting a small tmpfs needs root"
    exit 77
}
source "$(dirname "$0")/cat_lib.sh"
FULL=$E2E_TMP/full
mkdir "$FULL"
mount -t tmpfs -o size=512k,mode=700 tmpfs "$FULL" || {
    echo "skipped: cannot mount a tmpfs here"
    exit 77
}
APP_PIDS=()
trap 'for p in "${APP_PIDS[@]}"; do kill -9 "$p" 2>/dev/null || true; done; umount -l "$FULL"; e2e_cleanup' EXIT
start_desktop
export PURRLOX_CONFIG_HOME=$E2E_TMP/config PURRLOX_DATA_HOME=$FULL PURRLOX_LOG_PRIVATE=1
LOG_FILE=$FULL/purrlox/focusLog.json

start_cat
APP_PIDS+=($CAT_PID)
booked=()
# book NAME WANT: books a stretch; its answer says whether it was saved (WANT: true or false).
book() {
    booked+=("$1")
    local saved
    saved=$(ask "{\"cmd\":\"book\",\"activity\":\"$1\",\"seconds\":60}" | jq -r .saved)
    # (An app that does not say is judged by the file alone.)
    [ "$saved" = "$2" ] || [ "$saved" = null ] || fail "stretch $1: saved is $saved, expected $2"
}
fill() {
    dd if=/dev/zero of="$FULL/filler" bs=4k >/dev/null 2>&1 || true
    [ "$(df --output=avail -B1 "$FULL" | tail -1 | tr -d ' ')" -lt 4096 ] || fail "the tmpfs is not full"
}
in_file() { jq -r '.[].activity' "$LOG_FILE" 2>/dev/null | sort; }
all_in_file() { [ "$(in_file)" = "$(printf '%s\n' "${booked[@]}" | sort)" ]; }
failures() { grep -c 'the focus log could not be saved' "$CAT_LOG" || true; }
recoveries() { grep -c 'the focus log saved again' "$CAT_LOG" || true; }

for i in $(seq -w 1 20); do book "s$i" true; done

# A streak of failures: two stretches and the timer's tries, one line.
fill
book f1 false
book f2 false
sleep 1.5
all_in_file && fail "the full disk took the stretches"
streak=$(failures)
rm "$FULL/filler"
# Space is back: the timer writes them with no other stretch booked.
wait_for 15 "the retry writes the stretches booked while the disk was full" all_in_file
[ "$streak" = 1 ] || fail "expected one line for the streak, got $streak: $(cat "$CAT_LOG")"
grep 'the focus log could not be saved' "$CAT_LOG" | grep -q 'no space left on the disk' ||
    fail "the line does not name the full disk: $(grep 'could not be saved' "$CAT_LOG")"
[ "$(recoveries)" = 1 ] || fail "expected one line when saving works again: $(cat "$CAT_LOG")"
echo "ok: the retry wrote what a full disk refused, $(jq length "$LOG_FILE") stretches"

# Full again; space comes back just before the user quits: the quit path writes it.
fill
book f3 false
rm "$FULL/filler"
kill "$CAT_PID"
wait_for 5 "the app quits on SIGTERM" sh -c "! kill -0 $CAT_PID 2>/dev/null"
all_in_file || fail "the quit path lost stretches: $(comm -13 <(in_file) <(printf '%s\n' "${booked[@]}" | sort))"
[ "$(failures)" = 2 ] || fail "expected a line for each of the two streaks: $(cat "$CAT_LOG")"
echo "ok: the quit path wrote what a full disk refused; all ${#booked[@]} stretches are in the file"
