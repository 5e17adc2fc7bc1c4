#!/usr/bin/env bash
# The cat's moving cases against each other and against oneko, measured in turns so that the
# machine's drift reaches them alike. On a shared machine the CPU a case costs can change by half
# from one minute to the next, far more than the margins of the ratios we aim for; cpu_bench.sh
# measures each case for a minute after the other and so compares different machines. Here every
# subject runs at once on one Xvfb + openbox + picom desktop, all but one stopped (SIGSTOP):
# in turns each is let go for a short slot and its CPU, the X server's and the compositor's over
# that slot are added to its account. A stopped subject costs nothing: its windows stand still.
#
#   pair 1: a walking cat and oneko chasing a pointer that jumps every 1.5 s;
#   pair 2: a walking cat, a cat climbing window faces, and a cat dangling from a still pointer
#           (three instances of Purrlox, each with its own home, settings and socket).
#
# A walking cat's slot counts only if it walks at both ends of the slot (its wanders may end in
# a jump or a nap); a climbing cat's only if it is on its way up, over, down or to a face.
# Usage: bench/paired_bench.sh build/purrlox   (PAIRED_SLOTS turns per subject, 15; PAIRED_SLOT
# seconds each, 2)
source "$(dirname "$0")/bench_lib.sh"
SLOTS=${PAIRED_SLOTS:-15}
SLOT=${PAIRED_SLOT:-2}
command -v oneko >/dev/null || [ -x /usr/games/oneko ] || fail "oneko is not installed"
export PATH=$PATH:/usr/games

bench_desktop

# Nanoseconds of CPU of every thread of a process so far.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{n += $1} END {printf "%.0f\n", n}'; }

# A Purrlox of its own: NAME's home, settings, runtime directory and automation socket.
declare -A pid_of
start_instance() {
    local name=$1 dir=$E2E_TMP/$1
    mkdir -p "$dir/config" "$dir/data"
    mkdir -m 700 "$dir/run"
    HOME=$dir XDG_CONFIG_HOME=$dir/config XDG_DATA_HOME=$dir/data XDG_RUNTIME_DIR=$dir/run \
        "$E2E_PURRLOX" --automation "$dir/cat.sock" >"$dir/cat.log" 2>&1 &
    E2E_PIDS+=($!)
    pid_of[$name]=$!
    wait_for 15 "$name's automation socket opens" test -S "$dir/cat.sock"
}
# start_instance, then waits for the cat to sit at its entry spot with its own timers put off.
ready_instance() {
    start_instance "$1"
    ask_cat "$1" '{"cmd":"calm","seconds":3600}' >/dev/null
    wait_for 40 "$1 sits at its entry spot" is_kind "$1" idle
}
ask_cat() { "$CAT_ASK" "$E2E_TMP/$1/cat.sock" "$2"; }
kind_of() { ask_cat "$1" '{"cmd":"state"}' 2>/dev/null | jq -r .kind; }
is_kind() { [ "$(kind_of "$1")" = "$2" ]; }

declare -A app_ns x_ns comp_ns wake slots
# A slot counts when its check (a command given the subject) passes before and after it.
run_slot() {
    local name=$1 pid=$2 check=$3 instance=$4 a x c w
    kill -CONT "$pid"
    sleep 0.3 # what piled up while it stood is not its running cost
    $check "$instance" || return 0
    a=$(cpu_ns "$pid") x=$(cpu_ns "$xvfb_pid") c=$(cpu_ns "$picom_pid") w=$(wakeups "$pid")
    sleep "$SLOT"
    local a1 x1 c1 w1
    a1=$(cpu_ns "$pid") x1=$(cpu_ns "$xvfb_pid") c1=$(cpu_ns "$picom_pid") w1=$(wakeups "$pid")
    $check "$instance" || return 0
    app_ns[$name]=$((${app_ns[$name]:-0} + a1 - a))
    x_ns[$name]=$((${x_ns[$name]:-0} + x1 - x))
    comp_ns[$name]=$((${comp_ns[$name]:-0} + c1 - c))
    wake[$name]=$((${wake[$name]:-0} + w1 - w))
    slots[$name]=$((${slots[$name]:-0} + 1))
}
# turns SUBJECT...: SLOTS rounds in which each subject runs its slot while the others stand.
# A subject is NAME:PID:CHECK:INSTANCE, the check being given the instance.
turns() {
    local round s name pid check instance
    for round in $(seq "$SLOTS"); do
        for s in "$@"; do
            IFS=: read -r name pid check instance <<<"$s"
            for other in "$@"; do kill -STOP "$(cut -d: -f2 <<<"$other")"; done
            run_slot "$name" "$pid" "$check" "$instance"
        done
    done
    for s in "$@"; do kill -STOP "$(cut -d: -f2 <<<"$s")"; done
}

pct() { echo "scale=2; 100 * $1 / (${slots[$2]} * $SLOT * 1000000000)" | bc; }
row() {
    local name=$1
    if [ -z "${slots[$name]:-}" ]; then
        printf '%-22s no slot counted\n' "$name"
        return
    fi
    local all=$((${app_ns[$name]} + ${x_ns[$name]} + ${comp_ns[$name]}))
    together[$name]=$(pct "$all" "$name")
    printf '| %s | %s %% | %s %% | %s %% | %s %% | %s | %s |\n' "$name" \
        "$(pct "${app_ns[$name]}" "$name")" "$(pct "${x_ns[$name]}" "$name")" \
        "$(pct "${comp_ns[$name]}" "$name")" "${together[$name]}" \
        "$((${wake[$name]} / (${slots[$name]} * SLOT)))" "${slots[$name]}"
}
declare -A together
ratio() { [ -n "${together[$1]:-}" ] && [ -n "${together[$2]:-}" ] && printf '%.2f' "$(echo "scale=4; ${together[$1]} / ${together[$2]}" | bc)" || echo n/a; }

walking_now() { is_kind "$1" walking; }
climbing_now() {
    case $(kind_of "$1") in
    climbingUp | pullingUp | lowering | climbingDown | walking | jumping | falling) return 0 ;;
    *) return 1 ;;
    esac
}
held_now() { is_kind "$1" held; }
always() { :; }

# Keeps a cat walking: a wander made due whenever it stands, a nap cut short.
keep_walking() {
    while :; do
        case $(kind_of "$1") in
        idle) ask_cat "$1" '{"cmd":"due","what":"wander"}' >/dev/null 2>&1 || true ;;
        inBed | sleeping) ask_cat "$1" '{"cmd":"calm","seconds":3600}' >/dev/null 2>&1 || true ;;
        esac
        sleep 1
    done
}
keep_climbing() {
    while :; do
        ask_cat "$1" '{"cmd":"due","what":"climb"}' >/dev/null 2>&1 || true
        sleep 1
    done
}

# Pair 1: walking against oneko chasing.
ready_instance walker
keep_walking walker &
E2E_PIDS+=($!)
wait_for 30 "the walker walks" is_kind walker walking
oneko >/dev/null 2>&1 &
E2E_PIDS+=($!)
oneko_pid=$!
jump_pointer &
E2E_PIDS+=($!)
jumper=$!
turns "walking:${pid_of[walker]}:walking_now:walker" "oneko chasing:$oneko_pid:always:"
kill "$jumper" "$oneko_pid"
kill -CONT "$oneko_pid" # a stopped process takes its signal only once it runs

# Pair 2: walking, climbing and dangling. The walker sits out the set-up.
kill -STOP "${pid_of[walker]}"
xdotool mousemove 1500 200
ready_instance climber
keep_climbing climber &
E2E_PIDS+=($!)
wait_for 60 "the climber climbs" is_kind climber climbingUp
kill -STOP "${pid_of[climber]}"
ready_instance dangler
pick_up "$(ask_cat dangler '{"cmd":"state"}')" 900 700
wait_for 5 "the dangler dangles" is_kind dangler held
turns "walking, pair 2:${pid_of[walker]}:walking_now:walker" \
    "climbing:${pid_of[climber]}:climbing_now:climber" "dangling:${pid_of[dangler]}:held_now:dangler"
for name in walker climber dangler; do kill -CONT "${pid_of[$name]}"; done
xdotool mouseup 1

echo "In turns of $SLOT s, $SLOTS turns each (app = the subject's own CPU, % of one core)"
echo "| case | app CPU | X server | compositor | together | wake-ups/s | slots |"
echo "|---|---|---|---|---|---|---|"
for name in walking "oneko chasing" "walking, pair 2" climbing dangling; do row "$name"; done
echo
echo "walking / oneko chasing, together:   $(ratio walking "oneko chasing")   (goal at most 1.6)"
echo "climbing / walking, together:        $(ratio climbing "walking, pair 2")   (goal at most 1.33)"
echo "dangling / walking, together:        $(ratio dangling "walking, pair 2")   (goal at most 1.33)"
