#!/usr/bin/env bash
# Something that is not a regular file in a store's place: a FIFO in each store's place, then a
# link to one. The app starts at once and says so once per store, leaves each as it is, saves
# nothing over it and quits on SIGTERM. A store kept as a link to a regular file (a dotfiles
# repository) is read and written through the link.
source "$(dirname "$0")/cat_lib.sh"
# A start that hangs in open() ignores SIGTERM: whatever happens, end ours for sure.
APP_PIDS=()
trap 'for p in "${APP_PIDS[@]}"; do kill -9 "$p" 2>/dev/null || true; done; e2e_cleanup' EXIT
start_desktop
export PURRLOX_CONFIG_HOME=$E2E_TMP/config PURRLOX_DATA_HOME=$E2E_TMP/data PURRLOX_LOG_PRIVATE=1
SETTINGS=$PURRLOX_CONFIG_HOME/purrlox/settings.json
DATA=$PURRLOX_DATA_HOME/purrlox
mkdir -p "$(dirname "$SETTINGS")" "$DATA" "$E2E_TMP/dotfiles"

launch() {
    rm -f "$CAT_SOCKET"
    "$E2E_PURRLOX" --automation "$CAT_SOCKET" >"$CAT_LOG" 2>&1 &
    CAT_PID=$!
    E2E_PIDS+=($CAT_PID)
    APP_PIDS+=($CAT_PID)
}
lines() { grep -c "$1" "$CAT_LOG" || true; }
quits_on_sigterm() {
    kill "$CAT_PID"
    wait_for 5 "the app quits on SIGTERM" sh -c "! kill -0 $CAT_PID 2>/dev/null"
}

# 1. A FIFO in each store's place.
mkfifo "$SETTINGS" "$DATA/focusLog.json" "$DATA/reminders.json"
launch
said() {
    grep -q "settings: cannot read $SETTINGS (a FIFO)" "$CAT_LOG" &&
        grep -q 'cannot read the focus log: a FIFO' "$CAT_LOG" &&
        grep -q 'cannot read reminders: a FIFO' "$CAT_LOG"
}
wait_for 2 "the app starts past the FIFOs and says so: $(cat "$CAT_LOG")" said
wait_for 15 "the automation socket opens" test -S "$CAT_SOCKET"
reply=$(ask '{"cmd":"book","activity":"into a fifo","seconds":60}')
[ "$(jq -r .saved <<<"$reply")" = false ] || fail "a stretch was saved over a FIFO: $reply"
for f in "$SETTINGS" "$DATA/focusLog.json" "$DATA/reminders.json"; do
    [ -p "$f" ] || fail "$f is no longer the FIFO it was"
done
for what in 'settings: cannot read' 'cannot read the focus log' 'cannot read reminders'; do
    [ "$(lines "$what")" = 1 ] || fail "expected one line '$what': $(cat "$CAT_LOG")"
done
[ -z "$(ls "$DATA" "$(dirname "$SETTINGS")" | grep unreadable)" ] || fail "a FIFO was moved aside"
quits_on_sigterm
echo "ok: FIFOs in the stores' places: started at once, one line each, left as they were"

# 2. Links: the settings to a regular file in a dotfiles folder, the focus log to a FIFO.
rm -f "$SETTINGS" "$DATA/focusLog.json" "$DATA/reminders.json"
echo '{"pomodoroWorkMinutes": 40}' >"$E2E_TMP/dotfiles/settings.json"
ln -s "$E2E_TMP/dotfiles/settings.json" "$SETTINGS"
mkfifo "$E2E_TMP/dotfiles/pipe"
ln -s "$E2E_TMP/dotfiles/pipe" "$DATA/focusLog.json"
launch
wait_for 2 "the app starts past the link to a FIFO and says so: $(cat "$CAT_LOG")" \
    grep -q 'cannot read the focus log: a FIFO' "$CAT_LOG"
wait_for 15 "the automation socket opens" test -S "$CAT_SOCKET"
ask '{"cmd":"book","activity":"through the link","seconds":60}' >/dev/null
[ -L "$SETTINGS" ] || fail "the settings link was replaced by a file"
jq -e '.pomodoroWorkMinutes == 40 and .pomodoroActivity == "through the link"' \
    "$E2E_TMP/dotfiles/settings.json" >/dev/null ||
    fail "the settings were not written through the link: $(cat "$E2E_TMP/dotfiles/settings.json")"
[ -L "$DATA/focusLog.json" ] && [ -p "$E2E_TMP/dotfiles/pipe" ] || fail "the link to the FIFO changed"
[ "$(lines 'settings: cannot read')" = 0 ] || fail "the linked settings were refused: $(cat "$CAT_LOG")"
quits_on_sigterm
echo "ok: a link to a FIFO is refused, a link to a regular file is read and written through"
