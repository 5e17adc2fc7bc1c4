#!/usr/bin/env bash
# A same-user peer streams 300 MB into the instance socket without ever closing (connecting
# again whenever it is dropped): the app reads as it goes, drops a peer past 64 KB, its
# resident memory stays within 20 MB of where it was, it writes a few lines, not one a peer,
# and a later start still hands over to it.
source "$(dirname "$0")/cat_lib.sh"
start_desktop
export PURRLOX_CONFIG_HOME=$E2E_TMP/config PURRLOX_DATA_HOME=$E2E_TMP/data PURRLOX_LOG_PRIVATE=1
export QT_LOGGING_RULES="app.purrlox.Purrlox.app.debug=true" # "started again" is an info line
start_cat
LOCK=$PURRLOX_DATA_HOME/purrlox/instance.lock
wait_for 10 "the instance publishes its socket" test -s "$LOCK"
SOCKET=$(head -1 "$LOCK")
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$CAT_PID/status"; }
sleep 2 # past the start's own growth
before=$(rss)

python3 - "$SOCKET" $((300 << 20)) >"$E2E_TMP/stream.out" <<'PY' &
import socket, sys
path, total = sys.argv[1], int(sys.argv[2])
chunk = b"purrlox://" + b"x" * 65526
sent = connections = 0
while sent < total:
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.connect(path)
    connections += 1
    try:
        while sent < total:
            sent += s.send(chunk)
    except OSError:
        pass  # dropped: in again
    s.close()
print(sent, connections)
PY
STREAM=$!
E2E_PIDS+=($STREAM)
peak=$before
while kill -0 "$STREAM" 2>/dev/null; do
    r=$(rss)
    ((r > peak)) && peak=$r
    sleep 0.05
done
wait "$STREAM" || fail "the stream did not get through: $(cat "$E2E_TMP/stream.out")"
read -r sent connections <"$E2E_TMP/stream.out"
grown=$(((peak - before) / 1024))
echo "streamed $((sent >> 20)) MB over $connections connections; resident memory $((before / 1024)) MB, at most $((peak / 1024)) MB (+$grown MB)"
((grown <= 20)) || fail "resident memory grew by $grown MB"
lines=$(grep -c "on the instance socket" "$CAT_LOG" || true)
((lines >= 1 && lines <= 6)) || fail "$lines lines about the stream: $(grep 'instance socket' "$CAT_LOG" | head)"
grep -q "another start on the instance socket sent more than 64 KB; it is dropped" "$CAT_LOG" ||
    fail "no word on the dropped peer"

# Still the one instance: a later start hands over.
code=0
timeout 20 "$E2E_PURRLOX" >"$E2E_TMP/second.log" 2>&1 || code=$?
[ $code = 0 ] && grep -q 'handed over 0 link' "$E2E_TMP/second.log" ||
    fail "a later start did not hand over ($code): $(cat "$E2E_TMP/second.log")"
wait_for 5 "the instance hears of it" grep -q 'started again without links' "$CAT_LOG"
echo "PASS"
