# Shared by the CPU benches: the private desktop they measure on, with its X server's and
# compositor's pids, and the pointer oneko chases.
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/cat_lib.sh"

# One Xvfb + openbox + picom session with two xterm windows; sets xvfb_pid and picom_pid.
bench_desktop() {
    start_desktop
    picom_pid=${E2E_PIDS[-1]}
    xvfb_pid=${E2E_PIDS[0]}
    open_xterm bench-a 80x24+200+150 >/dev/null
    open_xterm bench-b 60x20+900+300 >/dev/null
    xdotool mousemove 1500 200
}

# Moves the pointer between two spots every 1.5 s, for ever: run it in the background.
jump_pointer() {
    while :; do
        xdotool mousemove 500 600
        sleep 1.5
        xdotool mousemove 1400 400
        sleep 1.5
    done
}

# pick_up STATE X Y: presses on the cat whose state reading is STATE and drags it to root
# pixel (X, Y), where the pointer stays with the button held: the cat dangles there.
pick_up() {
    local px py step
    px=$(jq '.x | round' <<<"$1")
    py=$(jq --argjson H "$E2E_HEIGHT" '$H - (.feetY + 30) | round' <<<"$1")
    xdotool mousemove "$px" "$py" mousedown 1
    for step in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove "$((px + ($2 - px) * step / 10))" "$((py + ($3 - py) * step / 10))"
        sleep 0.03
    done
}

# CPU time of PID so far in clock ticks, and TICKS over SECONDS as % of one core.
hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
pct() { printf '%.2f' "$(echo "scale=4; 100 * ($1) / ($hz * $2)" | bc)"; }
# Context switches of every thread of PID so far. A thread that ends during the measurement
# takes its count with it, so the figure is a lower bound for apps that start threads.
wakeups() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ {n += $2} END {print n + 0}'
}
# ratio A B: A / B to two places, or n/a when either is missing or B is zero.
ratio() { [ -n "$1" ] && [ -n "$2" ] && [ "$(echo "$2 > 0" | bc)" = 1 ] && printf "%.2f" "$(echo "scale=4; $1 / $2" | bc)" || echo "n/a"; }

# A nudge of the pointer counts as user input, so the cat does not doze off between cases on
# a slow machine (it sleeps after three minutes without input).
nudge() { xdotool mousemove_relative 1 0 mousemove_relative -- -1 0; }
