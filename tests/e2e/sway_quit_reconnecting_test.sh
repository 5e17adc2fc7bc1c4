#!/usr/bin/env bash
# Quitting while the sway channel tries to get its compositor back: the cat runs on an X server
# of its own beside a headless sway, sway goes, and a TERM comes while the channel waits to
# reconnect. The app ends cleanly: it says so in its log, and no sanitizer report is written.
source "$(dirname "$0")/sway_lib.sh"

# The cat runs as the sway user, through sway: the sanitizer's reports go to a folder that user
# may write, and are handed on to the run's own folder afterwards.
reports=$E2E_TMP/sway-run/sanitizer
mkdir -p "$reports" && chown "$SWAY_USER" "$reports"
sanitizer_env=""
for var in ASAN_OPTIONS UBSAN_OPTIONS; do
    value=${!var:-}
    [ -n "$value" ] || continue
    kind=$(tr 'A-Z' 'a-z' <<<"${var%%_*}")
    own=$(sed "s|log_path=[^:]*|log_path=$reports/$kind|" <<<"$value")
    [ "$own" != "$value" ] || own="$value:log_path=$reports/$kind"
    sanitizer_env+="$var=$own "
done
hand_on_reports() {
    local original
    original=$(sed -n 's/.*log_path=\([^:]*\).*/\1/p' <<<"${ASAN_OPTIONS:-}")
    if [ -n "$(ls -A "$reports")" ]; then
        [ -z "$original" ] || cp "$reports"/* "$(dirname "$original")/" 2>/dev/null || true
        fail "sanitizer reports: $(cat "$reports"/*)"
    fi
}

start_sway 'for_window [app_id="org.freedesktop.weston.wayland-terminal"] floating enable, resize set 500 260, move position 200 440'
msg exec "weston-terminal"
wait_for 15 "the native window shows" has_window "Wayland Terminal"
E2E_WIDTH=$SWAY_WIDTH E2E_HEIGHT=$SWAY_HEIGHT start_xserver
msg exec "${sanitizer_env}DISPLAY=$DISPLAY QT_QPA_PLATFORM=xcb $E2E_PURRLOX --automation $CAT_SOCKET >>$CAT_LOG 2>&1"
wait_for 30 "the automation socket opens" test -S "$CAT_SOCKET"
ask '{"cmd":"calm","seconds":3600}' >/dev/null
seen() { [ "$(tops)" = "$(sway_points "Wayland Terminal")" ]; }
wait_for 15 "the cat sees sway's window" seen
pid=$(own_pids "$E2E_PURRLOX")
[ "$(wc -w <<<"$pid")" = 1 ] || fail "not one cat: '$pid'"

stop_sway
wait_for 10 "the channel has lost sway" grep -q "lost the window list of sway" "$CAT_LOG"
sleep 0.6 # past the first retry: the channel waits for its second
kill -TERM "$pid"
wait_for 20 "the app quits" sh -c "! kill -0 $pid 2>/dev/null"
grep -q "quitting on signal 15" "$CAT_LOG" || fail "the app did not quit by its own way: $(tail -20 "$CAT_LOG")"
! grep -Eq 'Sanitizer|runtime error' "$CAT_LOG" || fail "sanitizer report: $(cat "$CAT_LOG")"
hand_on_reports
echo "ok: a TERM while the sway channel waited to reconnect ended the app cleanly"
echo "PASS"
