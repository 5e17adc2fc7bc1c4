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
