# Private sound server and D-Bus buses for the cat's device e2e scripts. Source after cat_lib.sh.
FAKE_SERVICES=${FAKE_SERVICES:-$(dirname "$E2E_PURRLOX")/tests/e2e/fake-services}
[ -x "$FAKE_SERVICES" ] || fail "fake-services not found at $FAKE_SERVICES"
for tool in pulseaudio parecord paplay pactl dbus-daemon; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done

# A session bus and a "system" bus of our own; the app finds them through the usual variables.
start_buses() {
    local name
    for name in session system; do
        dbus-daemon --session --nofork --print-address=1 >"$E2E_TMP/$name.address" \
            2>"$E2E_TMP/$name.log" &
        E2E_PIDS+=($!)
        wait_for 10 "the $name bus starts" test -s "$E2E_TMP/$name.address"
    done
    export DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS
    DBUS_SESSION_BUS_ADDRESS=$(head -1 "$E2E_TMP/session.address")
    DBUS_SYSTEM_BUS_ADDRESS=$(head -1 "$E2E_TMP/system.address")
}

# A PulseAudio server with a null sink (speakers) and a null source (a real input, not a
# monitor), reachable only through our socket.
start_pulse() {
    export PULSE_SERVER=unix:$E2E_TMP/pulse.sock
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm --use-pid-file=no \
        --log-target=stderr \
        -L "module-native-protocol-unix socket=$E2E_TMP/pulse.sock auth-anonymous=1" \
        -L "module-null-sink sink_name=speakers" -L "module-null-source source_name=mic" \
        >>"$E2E_TMP/pulse.log" 2>&1 &
    PULSE_PID=$!
    E2E_PIDS+=($PULSE_PID)
    wait_for 10 "the sound server answers" pactl info
}

# fake-services MODE ARGS… reading commands from a pipe; SERVICE_IN_<name> is its input.
start_fake() {
    local name=$1
    shift
    mkfifo "$E2E_TMP/$name.in"
    "$FAKE_SERVICES" "$@" <"$E2E_TMP/$name.in" >"$E2E_TMP/$name.out" 2>&1 &
    E2E_PIDS+=($!)
    exec {fd}>"$E2E_TMP/$name.in"
    eval "FAKE_$name=$fd"
    wait_for 10 "$name is on its bus" grep -q ready "$E2E_TMP/$name.out"
}

# fake NAME COMMAND…: sends one command line to a fake service and waits until it is done.
fake() {
    local name=$1 fd
    shift
    eval "fd=\$FAKE_$name"
    local before
    before=$(grep -c '^done' "$E2E_TMP/$name.out" || true)
    echo "$*" >&"$fd"
    wait_for 5 "$name did: $*" sh -c "[ \$(grep -c '^done' '$E2E_TMP/$name.out') -gt $before ]"
}

state_field() { cat_state | jq -r ".$1"; }
sprite_starts() { [[ "$(state_field sprite)" == "$1"* ]]; }
