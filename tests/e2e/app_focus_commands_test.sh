#!/usr/bin/env bash
# The focus timer from outside the window: `purrlox --status` (text, waybar's JSON, and
# --follow, whose lines the running app pushes), `--focus start|stop` and `--open`, each handed
# to the running Purrlox over its instance socket without a second cat, and each with no
# Purrlox running (--status says so and exits 3, --focus start and --open start Purrlox and do
# it); bad words exit 2 with the usage; the desktop entry's actions run these commands.
source "$(dirname "$0")/cat_lib.sh"

export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
ENTRY=$(dirname "$0")/../../data/app.purrlox.Purrlox.desktop

# The entry's actions, valid and running our commands.
desktop-file-validate "$ENTRY" || fail "the desktop entry does not validate"
grep -qx 'Actions=start-focus;stop-focus;open;' "$ENTRY" || fail "no actions in the entry"
for action in "start-focus:Start focus:Начать фокус:--focus start" \
    "stop-focus:Stop focus:Остановить фокус:--focus stop" "open:Open Purrlox:Открыть Purrlox:--open"; do
    IFS=: read -r id en ru args <<<"$action"
    section=$(sed -n "/^\[Desktop Action $id\]/,/^\[/p" "$ENTRY")
    grep -qx "Name=$en" <<<"$section" && grep -qx "Name\[ru\]=$ru" <<<"$section" &&
        grep -qx "Exec=purrlox $args" <<<"$section" || fail "action $id: $section"
done

# run NAME ARGS...: the command's exit status; its output and errors in $E2E_TMP/NAME.{out,err}
run() {
    local name=$1
    shift
    local status=0
    timeout 20 "$E2E_PURRLOX" "$@" >"$E2E_TMP/$name.out" 2>"$E2E_TMP/$name.err" || status=$?
    echo "$status"
}
out() { cat "$E2E_TMP/$1.out"; }
# The follower below is a purrlox process too, but no cat.
purrloxes() { own_pids "$E2E_PURRLOX" | grep -vx "${FOLLOW_PID:-none}" | wc -l; }

# Bad words: the usage on standard error, status 2, nothing started.
for bad in "--focus pause" "--focus" "--status --bogus" "--status now" "--json" \
    "--follow" "--open --status" "--focus=start --open"; do
    # shellcheck disable=SC2086
    [ "$(run bad $bad)" = 2 ] || fail "'$bad' did not exit 2: $(cat "$E2E_TMP/bad.err")"
    grep -q '^Usage: purrlox ' "$E2E_TMP/bad.err" || fail "'$bad': no usage on stderr"
    [ ! -s "$E2E_TMP/bad.out" ] || fail "'$bad' wrote to stdout"
done
grep -q "^purrlox: option '--focus' takes start or stop, not 'pause'$" <(run bad --focus pause >/dev/null; cat "$E2E_TMP/bad.err") ||
    fail "--focus pause: $(head -1 "$E2E_TMP/bad.err")"

# No Purrlox and no display needed: --status says so and exits 3; so does --focus stop.
(
    unset DISPLAY
    [ "$(run none --status)" = 3 ] || fail "--status with none running did not exit 3"
    [ "$(out none)" = "Purrlox is not running" ] || fail "--status with none: $(out none)"
    [ "$(run nonejson --status --json)" = 3 ] || fail "--status --json with none did not exit 3"
    [ "$(jq -r .class "$E2E_TMP/nonejson.out")" = off ] || fail "--status --json with none: $(out nonejson)"
    [ "$(run nonefollow --status --follow)" = 3 ] || fail "--follow with none did not exit 3"
    [ "$(run nonestop --focus stop)" = 3 ] || fail "--focus stop with none did not exit 3"
)
[ ! -e "$PURRLOX_DATA_HOME/purrlox/instance.lock" ] || [ "$(purrloxes)" = 0 ] || fail "a command started Purrlox"

start_desktop
start_cat
[ "$(run off --status)" = 0 ] || fail "--status: $(cat "$E2E_TMP/off.err")"
[ "$(out off)" = "Focus timer is off" ] || fail "--status while off: $(out off)"
[ "$(run offjson --status --json)" = 0 ] || fail "--status --json"
[ "$(jq -c . "$E2E_TMP/offjson.out")" = '{"alt":"off","class":"off","text":"🐾","tooltip":"Focus timer is off"}' ] ||
    fail "--status --json while off: $(out offjson)"

# A follower hears the start and the stop, each once; nothing between the minutes.
"$E2E_PURRLOX" --status --follow --json >"$E2E_TMP/follow.out" 2>"$E2E_TMP/follow.err" &
FOLLOW_PID=$!
E2E_PIDS+=($FOLLOW_PID)
wait_for 10 "the follower gets its first line" test -s "$E2E_TMP/follow.out"

[ "$(run start --focus start)" = 0 ] || fail "--focus start: $(cat "$E2E_TMP/start.err")"
[ "$(purrloxes)" = 1 ] || fail "--focus start made a second Purrlox"
[ "$(run json1 --status --json)" = 0 ] || fail "--status --json while running"
jq -e '.class == "work" and (.text | test("^🐾 2[45]:[0-9][0-9]$")) and (.tooltip | test("^Working · 2[45]:[0-9][0-9] left · "))' \
    "$E2E_TMP/json1.out" >/dev/null || fail "--status --json while working: $(out json1)"
sleep 2.1
run json2 --status --json >/dev/null
first=$(jq -r .text "$E2E_TMP/json1.out")
second=$(jq -r .text "$E2E_TMP/json2.out")
[[ "$second" < "$first" ]] || fail "the countdown does not count down: $first then $second"
[ "$(run text --status)" = 0 ] && [[ "$(out text)" =~ ^"Working · 2"[45]:[0-9][0-9]" left · " ]] ||
    fail "--status while working: $(out text)"
# Started again while it runs: it keeps running.
[ "$(run again --focus start)" = 0 ] || fail "a second --focus start"
run json3 --status --json >/dev/null
[ "$(jq -r .class "$E2E_TMP/json3.out")" = work ] || fail "a second --focus start stopped it"
sleep 1.5
[ "$(run stop --focus stop)" = 0 ] || fail "--focus stop: $(cat "$E2E_TMP/stop.err")"
[ "$(run off2 --status)" = 0 ] && [ "$(out off2)" = "Focus timer is off" ] || fail "after stop: $(out off2)"
wait_for 5 "the follower hears the stop" sh -c "[ \$(wc -l <'$E2E_TMP/follow.out') -ge 3 ]"
sleep 0.5
jq -r .class "$E2E_TMP/follow.out" | paste -sd ' ' >"$E2E_TMP/classes"
[ "$(cat "$E2E_TMP/classes")" = "off work off" ] ||
    fail "follower lines: $(cat "$E2E_TMP/follow.out")"
[ "$(jq -r 'select(.class == "work") | .text' "$E2E_TMP/follow.out")" = "🐾 25 min" ] ||
    fail "the follower's running line: $(cat "$E2E_TMP/follow.out")"

# --open opens the menu window of the running one.
menu_open() { [ "$(ask '{"cmd":"menu"}' | jq -r .open)" = true ]; }
[ "$(run open --open)" = 0 ] || fail "--open: $(cat "$E2E_TMP/open.err")"
wait_for 5 "--open opens the window" menu_open
[ "$(purrloxes)" = 1 ] || fail "--open made a second Purrlox"

# The app quits: the follower says so and ends with 3.
stop_cat
follow_status=0
wait "$FOLLOW_PID" || follow_status=$?
[ "$follow_status" = 3 ] || fail "the follower ended with $follow_status when Purrlox quit"
[ "$(tail -1 "$E2E_TMP/follow.out" | jq -r .tooltip)" = "Purrlox is not running" ] ||
    fail "the follower's last line: $(tail -1 "$E2E_TMP/follow.out")"

# None running: --focus start starts Purrlox with the timer running.
rm -f "$CAT_SOCKET"
"$E2E_PURRLOX" --focus start --automation "$CAT_SOCKET" >"$CAT_LOG" 2>&1 &
CAT_PID=$!
E2E_PIDS+=($CAT_PID)
wait_for 15 "--focus start starts Purrlox" test -S "$CAT_SOCKET"
wait_for 5 "with the timer running" sh -c "'$E2E_PURRLOX' --status --json | jq -e '.class == \"work\"'"
stop_cat
# None running: --open starts Purrlox with the window open.
rm -f "$CAT_SOCKET"
"$E2E_PURRLOX" --open --automation "$CAT_SOCKET" >"$CAT_LOG" 2>&1 &
CAT_PID=$!
E2E_PIDS+=($CAT_PID)
wait_for 15 "--open starts Purrlox" test -S "$CAT_SOCKET"
wait_for 10 "with the window open" menu_open
stop_cat
echo "PASS"
