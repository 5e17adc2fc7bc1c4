#!/usr/bin/env bash
# A real mixer (pavucontrol) open for 10 s draws level meters from the microphone through
# peak-detect recording streams: no call. Then a real recording (parecord) for 5 s: a call.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/devices_lib.sh"
command -v pavucontrol >/dev/null || fail "pavucontrol is not installed (make deps installs it)"

start_desktop
start_buses
start_pulse
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 20 "the cat has walked in" cat_is idle

pavucontrol >"$E2E_TMP/pavucontrol.log" 2>&1 &
MIXER=$!
E2E_PIDS+=($MIXER)
meters_on_mic() { pactl list source-outputs | grep -q 'Resample method: peaks'; }
wait_for 10 "pavucontrol measures the microphone" meters_on_mic
for _ in $(seq 20); do
    [ "$(state_field inCall)" = false ] || fail "pavucontrol's level meters made a call"
    sleep 0.5
done
echo "ok: pavucontrol open for 10 s with $(pactl list source-outputs short | wc -l) meters: no call"

parecord --device=mic "$E2E_TMP/call.wav" &
REC=$!
E2E_PIDS+=($REC)
in_call() { [ "$(state_field inCall)" = true ]; }
wait_for 5 "a real recording starts a call" in_call
kill "$REC"
echo "ok: parecord beside pavucontrol: a call"
echo PASS
