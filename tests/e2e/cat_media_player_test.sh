#!/usr/bin/env bash
# A general media player (mpv, with mpv-mpris on the session bus) plays a generated tone: that is
# music to the cat; paused, it is not.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/devices_lib.sh"
for tool in mpv sox dbus-send; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done
[ -e /etc/mpv/scripts/mpris.so ] || fail "mpv-mpris is not installed (make deps installs it)"

start_desktop
start_buses
start_pulse
sox -n -r 44100 -c 2 "$E2E_TMP/tone.wav" synth 40 sine 440
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 20 "the cat has walked in" cat_is idle
[ "$(state_field musicPlaying)" = false ] || fail "music before anything plays"

mpv --no-config --no-terminal --script=/etc/mpv/scripts/mpris.so \
    "$E2E_TMP/tone.wav" &
PLAYER=$!
E2E_PIDS+=($PLAYER)
music_is() { [ "$(state_field musicPlaying)" = "$1" ]; }
wait_for 5 "mpv playing a tone is music" music_is true
echo "ok: mpv plays: music"

# Paused the way media keys do it: through its MPRIS interface.
dbus-send --session --type=method_call --dest=org.mpris.MediaPlayer2.mpv /org/mpris/MediaPlayer2 \
    org.mpris.MediaPlayer2.Player.Pause
wait_for 5 "mpv paused is no music" music_is false
echo "ok: mpv paused: no music"
echo PASS
