#!/usr/bin/env bash
# The data folder goes while Purrlox runs (removed, or dropped on the cat and so moved away):
# two starts at once then leave one cat, the running one, and take their links to it; it
# takes its lock again in a new folder, so a later start still hands over to it.
source "$(dirname "$0")/cat_lib.sh"
APP_PIDS=()
trap 'for p in "${APP_PIDS[@]}"; do kill -9 "$p" 2>/dev/null || true; done; e2e_cleanup' EXIT
start_desktop
export PURRLOX_CONFIG_HOME=$E2E_TMP/config PURRLOX_DATA_HOME=$E2E_TMP/data PURRLOX_LOG_PRIVATE=1
export QT_LOGGING_RULES="app.purrlox.Purrlox.app.debug=true" # "started again" is an info line
LOCK=$PURRLOX_DATA_HOME/purrlox/instance.lock

start_cat
APP_PIDS+=($CAT_PID)
wait_for 10 "the instance publishes its socket" test -s "$LOCK"
socket=$(head -1 "$LOCK")
cats() { own_pids "$E2E_PURRLOX" | wc -l; }
heard() { grep -c 'started again without links' "$CAT_LOG" || true; }

# start N: a start without links in the background; its exit code lands in start-N.code.
start() {
    (
        code=0
        timeout 20 "$E2E_PURRLOX" >"$E2E_TMP/start-$1.log" 2>&1 || code=$?
        echo $code >"$E2E_TMP/start-$1.code"
    ) &
}
ended() { [ -s "$E2E_TMP/start-$1.code" ]; }
handed_over() {
    [ "$(cat "$E2E_TMP/start-$1.code")" = 0 ] || fail "start $1 ended with $(cat "$E2E_TMP/start-$1.code"): $(cat "$E2E_TMP/start-$1.log")"
    grep -q 'handed over 0 link' "$E2E_TMP/start-$1.log" || fail "start $1 did not hand over: $(cat "$E2E_TMP/start-$1.log")"
}

retaken() { grep -c 'instance lock .* was gone; it is taken again' "$CAT_LOG" || true; }
for round in removed moved; do
    before=$(heard)
    taken=$(retaken)
    if [ $round = removed ]; then
        rm -rf "$PURRLOX_DATA_HOME/purrlox"
    else
        mv "$PURRLOX_DATA_HOME/purrlox" "$E2E_TMP/trashed-$round"
    fi
    start "$round-1"
    start "$round-2"
    wait_for 30 "both starts end ($round)" sh -c "[ -s '$E2E_TMP/start-$round-1.code' ] && [ -s '$E2E_TMP/start-$round-2.code' ]"
    handed_over "$round-1"
    handed_over "$round-2"
    [ "$(cats)" = 1 ] || fail "$round: $(cats) cats run: $(own_pids "$E2E_PURRLOX" | tr '\n' ' ')"
    kill -0 "$CAT_PID" || fail "$round: the first instance is gone: $(tail "$CAT_LOG")"
    [ -S "$socket" ] || fail "$round: the first instance's socket was removed"
    wait_for 10 "$round: the first instance hears of both starts" sh -c "[ \$(grep -c 'started again without links' '$CAT_LOG') -ge $((before + 2)) ]"
    # It takes its lock again: a new file, in a new folder, naming its socket.
    wait_for 10 "$round: the lock is taken again" sh -c "[ \$(grep -c 'instance lock .* was gone; it is taken again' '$CAT_LOG') -gt $taken ]"
    [ "$(head -1 "$LOCK")" = "$socket" ] || fail "$round: the new lock names '$(head -1 "$LOCK")'"
    # A later start finds it through the lock, as before.
    start "$round-later"
    wait_for 20 "$round: the later start ends" ended "$round-later"
    handed_over "$round-later"
    [ "$(cats)" = 1 ] || fail "$round: $(cats) cats after the later start"
    echo "ok: data folder $round: two starts at once and a later one all handed over to the one cat"
done

kill "$CAT_PID"
wait_for 5 "the app quits on SIGTERM" sh -c "! kill -0 $CAT_PID 2>/dev/null"
# With it gone, a start runs as the one instance.
"$E2E_PURRLOX" >"$E2E_TMP/after-quit.log" 2>&1 &
AFTER=$!
APP_PIDS+=($AFTER)
E2E_PIDS+=($AFTER)
one_cat() { [ "$(cats)" = 1 ]; }
wait_for 20 "a start after the quit runs" one_cat
sleep 1
kill -0 "$AFTER" || fail "the start after quitting ended: $(cat "$E2E_TMP/after-quit.log")"
echo "PASS"
