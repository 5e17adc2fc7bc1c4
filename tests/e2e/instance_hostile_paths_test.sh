#!/usr/bin/env bash
# The single instance among paths someone else prepared: instance.lock as a link to another file
# (never followed, its target stays intact), and, without XDG_RUNTIME_DIR, <tmp>/runtime-<user>
# made first as a link or as another user's folder: the socket goes into a folder only this user
# can enter (never at the file-system root), and a second start still hands over to the first.
source "$(dirname "$0")/cat_lib.sh"
APP_PIDS=()
trap 'for p in "${APP_PIDS[@]}"; do kill -9 "$p" 2>/dev/null || true; done; e2e_cleanup' EXIT
start_desktop
export PURRLOX_CONFIG_HOME=$E2E_TMP/config PURRLOX_DATA_HOME=$E2E_TMP/data PURRLOX_LOG_PRIVATE=1
export QT_LOGGING_RULES="app.purrlox.Purrlox.app.debug=true" # "started again" is an info line
LOCK=$PURRLOX_DATA_HOME/purrlox/instance.lock
mkdir -p "$(dirname "$LOCK")"

launch() {
    rm -f "$CAT_SOCKET"
    "$E2E_PURRLOX" --automation "$CAT_SOCKET" >"$CAT_LOG" 2>&1 &
    CAT_PID=$!
    E2E_PIDS+=($CAT_PID)
    APP_PIDS+=($CAT_PID)
    wait_for 15 "the automation socket opens" test -S "$CAT_SOCKET"
}
# A second start without links hands over to the first (which shows its menu) and exits 0.
hands_over() {
    local code=0 before
    before=$(grep -c 'started again without links' "$CAT_LOG" || true)
    timeout 10 "$E2E_PURRLOX" >"$E2E_TMP/second.log" 2>&1 || code=$?
    [ $code = 0 ] || fail "$1: the second start ended with $code: $(cat "$E2E_TMP/second.log")"
    grep -q 'handed over 0 link' "$E2E_TMP/second.log" || fail "$1: no hand-over: $(cat "$E2E_TMP/second.log")"
    wait_for 5 "$1: the first instance hears of the second start" \
        sh -c "[ \$(grep -c 'started again without links' '$CAT_LOG') -gt $before ]"
    kill -0 "$CAT_PID" || fail "$1: the first instance is gone"
}
quit() {
    kill "$CAT_PID"
    wait_for 5 "the app quits on SIGTERM" sh -c "! kill -0 $CAT_PID 2>/dev/null"
}

# 1. The lock as a link to a file of the user's.
printf 'precious\n' >"$E2E_TMP/precious"
ln -s "$E2E_TMP/precious" "$LOCK"
launch
[ "$(cat "$E2E_TMP/precious")" = precious ] || fail "the lock's link target was written: $(cat "$E2E_TMP/precious")"
grep -q "cannot use $LOCK as the instance lock (it is a symbolic link)" "$CAT_LOG" ||
    fail "no word about the linked lock: $(cat "$CAT_LOG")"
hands_over "a linked lock"
[ "$(cat "$E2E_TMP/precious")" = precious ] || fail "the lock's link target was written: $(cat "$E2E_TMP/precious")"
[ -L "$LOCK" ] || fail "the linked lock was replaced"
quit
[ "$(cat "$E2E_TMP/precious")" = precious ] || fail "the lock's link target was written at quit"
rm "$LOCK"
echo "ok: a linked lock is never followed; its target stays intact and the hand-over works"

# 2. No XDG_RUNTIME_DIR, and <tmp>/runtime-<user> is not the user's own.
unset XDG_RUNTIME_DIR
export TMPDIR=$E2E_TMP/tmp
mkdir -m 1777 "$TMPDIR"
SHARED=$TMPDIR/runtime-$(id -un)

# The socket the instance published in its lock: in a folder of this user's, mode 700, no link.
private_socket() {
    local what=$1 socket folder
    socket=$(head -1 "$LOCK")
    folder=$(dirname "$socket")
    [ -S "$socket" ] || fail "$what: no socket at the published path '$socket'"
    [ "$folder" != / ] || fail "$what: the socket is at the file-system root"
    [ ! -L "$folder" ] || fail "$what: the socket's folder $folder is a link"
    [ "$(stat -c '%u %a' "$folder")" = "$(id -u) 700" ] ||
        fail "$what: the socket's folder $folder is $(stat -c '%U %a' "$folder")"
    [[ $socket != "$SHARED"/* ]] || fail "$what: the socket is in the folder someone else made"
    echo "$folder"
}

mkdir -m 777 "$E2E_TMP/theirs"
ln -s "$E2E_TMP/theirs" "$SHARED"
launch
folder=$(private_socket "a linked runtime folder")
hands_over "a linked runtime folder"
[ -z "$(ls -A "$E2E_TMP/theirs")" ] || fail "something went into the linked folder: $(ls -A "$E2E_TMP/theirs")"
quit
[ ! -e "$folder" ] || fail "the private socket folder $folder stayed after quitting"
rm "$SHARED"
echo "ok: a link in place of the runtime folder is not used; the hand-over works"

if [ "$(id -u)" = 0 ]; then
    # Another user (nobody) made it first, open to all.
    mkdir -m 777 "$SHARED"
    chown nobody "$SHARED"
    launch
    private_socket "another user's runtime folder" >/dev/null
    hands_over "another user's runtime folder"
    [ -z "$(ls -A "$SHARED")" ] || fail "something went into the other user's folder"
    quit
    echo "ok: another user's runtime folder is not used; the hand-over works"
else
    echo "skipped: another user's runtime folder needs root to give a folder to another user"
fi
