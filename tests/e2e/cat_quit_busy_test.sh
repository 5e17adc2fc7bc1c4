#!/usr/bin/env bash
# Quitting while a thread of the app's own is at work: a TERM while the trash thread moves a
# drop of 1500 files, and a TERM while the focus log's worker writes a ten-year log. Each time
# the process ends cleanly (status 0, no sanitizer report) and nothing is lost: every file is
# either where it was or in the Trash with its record, and the log holds every stretch.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/drop_lib.sh"
MAKE_LOG=${MAKE_FOCUS_LOG:-$(dirname "$E2E_PURRLOX")/bench/make_focus_log}
[ -x "$MAKE_LOG" ] || fail "make_focus_log not found at $MAKE_LOG (build the make_focus_log target)"

start_desktop

# 1. A TERM while the trash thread works through a large drop.
desk=$E2E_TMP/desk
trash=$HOME/.local/share/Trash
mkdir -p "$desk"
files=()
for i in $(seq 1 1500); do
    printf 'file %d\n' "$i" >"$desk/f$i.txt"
    files+=("$desk/f$i.txt")
done
xdotool mousemove 1500 200
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 40 "the cat sits" cat_is idle
result=$(drag 1200 600 "${files[@]}")
[ "$result" = "finished: accepted move" ] || fail "the drop reached the source as '$result'"
kill -TERM "$CAT_PID"
ended_cleanly "$CAT_PID" "TERM while the trash thread moves"
moved=0
for i in $(seq 1 1500); do
    if [ -e "$desk/f$i.txt" ]; then
        [ "$(cat "$desk/f$i.txt")" = "file $i" ] || fail "f$i.txt was changed in place"
    else
        [ "$(cat "$trash/files/f$i.txt" 2>/dev/null)" = "file $i" ] || fail "f$i.txt is lost"
        grep -qx "Path=$desk/f$i.txt" "$trash/info/f$i.txt.trashinfo" 2>/dev/null ||
            fail "f$i.txt is in the Trash without its record"
        moved=$((moved + 1))
    fi
done
extra=$(comm -13 <(printf 'f%d.txt\n' $(seq 1 1500) | sort) <(ls "$trash/files" 2>/dev/null | sort))
[ -z "$extra" ] || fail "the Trash holds what was not dropped: $extra"
((moved > 0)) || fail "nothing was moved before the quit"
echo "ok: a TERM while the trash thread moved the drop ended cleanly; $moved of 1500 moved, none lost"

# 2. A TERM while the focus log's worker writes the ten-year log.
mkdir -p "$HOME/.local/share/purrlox"
log=$HOME/.local/share/purrlox/focusLog.json
"$MAKE_LOG" "$log" 75000
rm -f "$CAT_SOCKET"
start_cat
# The pointer has been still since the drop: without calm the entry walk may turn into a hunt.
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 90 "the cat has entered" cat_is idle
reply=$(ask '{"cmd":"book","activity":"the last stretch","seconds":120,"wait":false}')
[ "$(jq -r .ok <<<"$reply")" = true ] || fail "the stretch was not booked: $reply"
kill -TERM "$CAT_PID"
ended_cleanly "$CAT_PID" "TERM while the focus log is written"
stretches=$(jq length "$log") || fail "the focus log does not parse after the quit"
[ "$stretches" = 75001 ] || fail "the focus log holds $stretches stretches, not 75001"
[ "$(jq 'map(select(.activity == "the last stretch")) | length' "$log")" = 1 ] ||
    fail "the booked stretch is not in the log once"
echo "ok: a TERM while the focus log was written ended cleanly; all 75001 stretches are kept"
echo "PASS"
