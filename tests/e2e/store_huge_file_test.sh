#!/usr/bin/env bash
# A focus log of 300 MB (sparse: a bracket and then nothing) is not read: the app starts at
# once without taking its size in memory, keeps the file aside as unreadable, intact, with one
# log line, and books the next stretch into a new file.
source "$(dirname "$0")/cat_lib.sh"
start_desktop
export PURRLOX_CONFIG_HOME=$E2E_TMP/config PURRLOX_DATA_HOME=$E2E_TMP/data PURRLOX_LOG_PRIVATE=1
STORE=$PURRLOX_DATA_HOME/purrlox
mkdir -p "$STORE"
printf '[' >"$STORE/focusLog.json"
truncate -s 300M "$STORE/focusLog.json"

began=$(now)
start_cat
took=$(echo "$(now) - $began" | bc)
echo "started in ${took}s with a 300 MB focus log"
(($(echo "$took < 2" | bc))) || fail "the start took ${took}s"
# Peak resident memory: the file never came in.
peak=$(awk '/^VmHWM:/ {print $2}' "/proc/$CAT_PID/status")
echo "peak resident memory: $((peak / 1024)) MB"
((peak < 200 * 1024)) || fail "the app peaked at $((peak / 1024)) MB"

aside=$(ls "$STORE"/focusLog.json.unreadable-* 2>/dev/null | head -1)
[ -n "$aside" ] || fail "the big file was not kept aside: $(ls -la "$STORE")"
[ "$(stat -c %s "$aside")" = $((300 << 20)) ] || fail "the kept file is $(stat -c %s "$aside") bytes"
[ "$(head -c 1 "$aside")" = "[" ] || fail "the kept file's first byte changed"
lines=$(grep -c "focusLog" "$CAT_LOG" || true)
[ "$lines" = 1 ] || fail "expected one line about the big file, got $lines: $(cat "$CAT_LOG")"
grep -q "settings: unreadable focusLog kept as $aside (300 MB, more than the 256 MB a store may hold)" "$CAT_LOG" ||
    fail "the line does not say why: $(grep focusLog "$CAT_LOG")"

saved=$(ask '{"cmd":"book","activity":"after","seconds":60}' | jq -r .saved)
[ "$saved" != false ] || fail "the next stretch was not saved"
wait_for 5 "the new focus log holds the stretch" sh -c "jq -e 'length == 1 and .[0].activity == \"after\"' '$STORE/focusLog.json'"
[ "$(stat -c %s "$aside")" = $((300 << 20)) ] || fail "the kept file changed"
echo "PASS"
