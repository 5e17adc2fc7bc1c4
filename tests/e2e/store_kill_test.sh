#!/usr/bin/env bash
# Purrlox killed with SIGKILL at random moments while it saves the focus log and the settings:
# every stored file stays parseable and holds every stretch whose save was answered before the
# kill; the next start takes over the dead instance's lock at once. Also: two starts at the
# same moment leave exactly one Purrlox running.
source "$(dirname "$0")/cat_lib.sh"
KILLS=${STORE_KILLS:-100} # STORE_KILLS=1000 for a long soak
LANES=${STORE_LANES:-2} # users of their own, killed side by side: starting the app is the slow part
start_desktop
unset PURRLOX_CONFIG_HOME PURRLOX_DATA_HOME

# Books stretches one after another over one connection until the app stops answering; each
# answer line is a stretch whose save finished (answers come in request order).
book_until_killed() {
    local round=$1 i requests=()
    for ((i = 0; i < 400; i++)); do
        requests+=("{\"cmd\":\"book\",\"activity\":\"$(printf 'k%04d-%04d' "$round" "$i")\",\"seconds\":60}")
    done
    stdbuf -oL "$CAT_ASK" "$CAT_SOCKET" "${requests[@]}" >"$ANSWERS" 2>/dev/null || true
}

# The names of the stretches whose saves were answered in this round.
answered_names() {
    local round=$1 n
    n=$(grep -c '"ok":true' "$ANSWERS" || true)
    for ((i = 0; i < n; i++)); do printf 'k%04d-%04d\n' "$round" "$i"; done
}

answered() { grep -q '"ok":true' "$ANSWERS"; }

check_files() {
    local round=$1 stored
    stored=$(jq -r 'if type == "array" and all(.[]; keys == ["activity","completed","planned","seconds","sitting","start"])
                    then .[].activity else error("damaged") end' "$LOG_FILE") ||
        fail "round $round: focusLog.json is damaged: $(head -c 300 "$LOG_FILE")"
    jq -e --arg last "$(tail -1 "$CONFIRMED")" 'type == "object" and .pomodoroActivity >= $last' \
        "$SETTINGS" >/dev/null || fail "round $round: settings.json is damaged or lost its last value"
    local missing
    missing=$(comm -23 <(sort "$CONFIRMED") <(sort <<<"$stored"))
    [ -z "$missing" ] || fail "round $round: saved stretches lost: $(head -3 <<<"$missing")"
    [ -z "$(sort <<<"$stored" | uniq -d)" ] || fail "round $round: a stretch is stored twice"
    ! ls "$XDG_DATA_HOME/purrlox" "$XDG_CONFIG_HOME/purrlox" | grep -q unreadable ||
        fail "round $round: a store was found unreadable and kept aside"
}

# One user: start, let it save, kill it at a random moment, check, again.
lane() {
    local lane=$1 kills=$2 round booker
    export HOME=$E2E_TMP/lane$lane XDG_CONFIG_HOME=$E2E_TMP/lane$lane/config
    export XDG_DATA_HOME=$E2E_TMP/lane$lane/data XDG_RUNTIME_DIR=$E2E_TMP/lane$lane/run
    mkdir -p -m 700 "$HOME" "$XDG_RUNTIME_DIR"
    CAT_SOCKET=$HOME/cat.sock CAT_LOG=$HOME/cat.log
    LOG_FILE=$XDG_DATA_HOME/purrlox/focusLog.json SETTINGS=$XDG_CONFIG_HOME/purrlox/settings.json
    CONFIRMED=$HOME/confirmed ANSWERS=$HOME/answers
    : >"$CONFIRMED"
    for ((round = 1; round <= kills; round++)); do
        rm -f "$CAT_SOCKET" "$ANSWERS" # the killed run's socket file stays behind
        : >"$ANSWERS"
        start_cat
        book_until_killed "$round" &
        booker=$!
        # Once it saves, at a random moment within the next 150 ms.
        wait_for 10 "round $round: the first save is answered" answered
        sleep "0.$(printf '%03d' $((RANDOM % 150)))"
        kill -9 "$CAT_PID"
        wait "$CAT_PID" 2>/dev/null || true
        wait "$booker" || true
        answered_names "$round" >>"$CONFIRMED"
        check_files "$round"
    done
    echo "lane $lane: $kills kills, $(wc -l <"$CONFIRMED") answered saves, $(jq length "$LOG_FILE") stretches stored"
}

started=$(now)
lanes=()
for ((l = 1; l <= LANES; l++)); do
    lane "$l" $((KILLS / LANES)) &
    lanes+=($!)
done
for pid in "${lanes[@]}"; do wait "$pid" || fail "a lane failed"; done
echo "ok: $KILLS kills at random moments while saving, nothing lost, in $(echo "$(now) - $started" | bc | cut -d. -f1) s"

# Two starts at the same moment: exactly one stays.
export XDG_DATA_HOME=$E2E_TMP/data
for attempt in 1 2 3 4 5; do
    "$E2E_PURRLOX" >"$E2E_TMP/a.log" 2>&1 &
    a=$!
    "$E2E_PURRLOX" >"$E2E_TMP/b.log" 2>&1 &
    b=$!
    E2E_PIDS+=($a $b)
    sleep 1.5
    running=0
    kill -0 $a 2>/dev/null && running=$((running + 1))
    kill -0 $b 2>/dev/null && running=$((running + 1))
    [ $running = 1 ] || fail "attempt $attempt: $running instances run: $(cat "$E2E_TMP/a.log" "$E2E_TMP/b.log")"
    kill -9 $a $b 2>/dev/null || true
    wait $a $b 2>/dev/null || true
done
echo "ok: two starts at the same moment leave one running, 5 of 5"
