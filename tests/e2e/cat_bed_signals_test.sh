#!/usr/bin/env bash
# The cat hears a private sound server and private buses: recording from a real input puts it in
# bed dozing and it gets up when the call is over; a known player's stream and an MPRIS player
# make it listen with headphones; logind's sleep and wake reach it; a sound server that dies and
# comes back is found again.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/devices_lib.sh"
SHOTS=${PURRLOX_SCREENS:-}

start_desktop
start_buses
start_pulse
start_fake logind logind
start_fake player mpris spotify

# The bed near where the cat walks in, so the trips are short.
mkdir -p "$XDG_CONFIG_HOME/purrlox"
echo '{"bedSpot": [420, 12]}' >"$XDG_CONFIG_HOME/purrlox/settings.json"
start_cat
ask '{"cmd":"calm"}' >/dev/null
wait_for 20 "the cat has walked in" cat_is idle

# A call: recording from the microphone (not a monitor) for 4 s starts it; the cat goes to bed.
parecord --device=mic "$E2E_TMP/call.wav" &
REC=$!
E2E_PIDS+=($REC)
sleep 2
[ "$(state_field inCall)" = false ] || fail "2 s of recording started a call"
wait_for 6 "4 s of recording start a call" sh -c "[ \"\$($CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -r .inCall)\" = true ]"
wait_for 25 "the cat lies in its bed" sh -c "[ \"\$($CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -r .lying)\" = true ]"
wait_for 6 "it dozes" sprite_starts bed_doze
sleep 2.5 # past the settling-in, eyes shut
[ -n "$SHOTS" ] && import -window root "$SHOTS/bed_dozing_during_call.png"

# Hanging up: 5 s without microphone end the call; the cat finishes its loop and gets up.
kill "$REC"
wait "$REC" 2>/dev/null || true
sleep 3
[ "$(state_field inCall)" = true ] || fail "the call ended after 3 s"
wait_for 6 "the call ends" sh -c "[ \"\$($CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -r .inCall)\" = false ]"
wait_for 10 "the cat gets out of bed" sh -c "[ \"\$($CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -r .lying)\" = false ]"

# Sleep and wake from logind: the cat on the floor falls asleep and yawns awake.
wait_for 10 "the cat sits" cat_is idle
fake logind sleep true
wait_for 3 "the cat sleeps with the machine" cat_is sleeping
fake logind sleep false
wait_for 3 "the cat yawns awake" cat_is yawning

# A cat that lives in its bed starts there after a restart.
stop_cat
jq '.catLivesInBed = true' "$XDG_CONFIG_HOME/purrlox/settings.json" >"$E2E_TMP/s.json"
mv "$E2E_TMP/s.json" "$XDG_CONFIG_HOME/purrlox/settings.json"
rm -f "$CAT_SOCKET"
start_cat
ask '{"cmd":"calm"}' >/dev/null
wait_for 5 "the cat starts in bed" sh -c "[ \"\$($CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -r .lying)\" = true ]"

# Music from a stream of a known player: headphones.
paplay --raw --property=application.id=spotify /dev/zero &
PLAY=$!
E2E_PIDS+=($PLAY)
wait_for 5 "the cat hears the music" sh -c "[ \"\$($CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -r .musicPlaying)\" = true ]"
wait_for 10 "it listens with headphones" sprite_starts bed_music
sleep 1.5
[ -n "$SHOTS" ] && import -window root "$SHOTS/bed_headphones_music.png"
kill "$PLAY"
wait "$PLAY" 2>/dev/null || true
wait_for 5 "the music stops" sh -c "[ \"\$($CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -r .musicPlaying)\" = false ]"

# A stream of an unknown program is no music.
paplay --raw --property=application.id=org.example.beeper /dev/zero &
PLAY=$!
E2E_PIDS+=($PLAY)
sleep 2.5
[ "$(state_field musicPlaying)" = false ] || fail "an unknown program's sound counted as music"
kill "$PLAY"

# An MPRIS player that plays, then reports nonsense.
fake player status Playing
wait_for 5 "the MPRIS player counts" sh -c "[ \"\$($CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -r .musicPlaying)\" = true ]"
fake player bad
wait_for 5 "a nonsense status counts as stopped" sh -c "[ \"\$($CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -r .musicPlaying)\" = false ]"
fake player bad
[ "$(grep -c 'playback status as something other than text' "$CAT_LOG")" = 1 ] ||
    fail "the bad status was not logged exactly once"

# Waking in bed: a yawn in the bed.
fake logind sleep true
sleep 0.5
[ "$(state_field lying)" = true ] || fail "the cat left its bed for the night"
fake logind sleep false
wait_for 3 "a yawn in bed" sprite_starts bed_yawn

# The sound server dies and comes back: the cat finds it again.
kill "$PULSE_PID"
wait "$PULSE_PID" 2>/dev/null || true
sleep 1
start_pulse
parecord --device=mic "$E2E_TMP/call2.wav" &
REC=$!
E2E_PIDS+=($REC)
wait_for 12 "a call on the new server" sh -c "[ \"\$($CAT_ASK $CAT_SOCKET '{\"cmd\":\"state\"}' | jq -r .inCall)\" = true ]"
kill "$REC"
kill -0 "$CAT_PID" || fail "the cat died"
[ "$(grep -c 'sound: the sound server went away' "$CAT_LOG")" = 1 ] || fail "the server's death was not logged once"
echo "PASS"
