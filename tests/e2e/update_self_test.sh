#!/usr/bin/env bash
# Self-update end to end: version A installed into a folder of its own finds a signed version B
# on a local web server, the cat brings the update letter, accepting it ends A and B starts from
# the same path with the old install gone. A tampered B leaves A in place and brings the
# update-failed letter. Letters are opened and "Update" pressed with real clicks; screenshots
# of the letters go to $E2E_SCREENS (default /work/screens) when that folder can be made.
source "$(dirname "${BASH_SOURCE[0]}")/cat_lib.sh"

BUILD=$(dirname "$E2E_PURRLOX")
SIGN=$BUILD/purrlox-sign
KEY=$BUILD/test-keys/update-test.sec
[ -x "$SIGN" ] && [ -f "$KEY" ] || fail "purrlox-sign or the test key is missing in $BUILD"
if grep -q '^PURRLOX_UPDATE_PUBLIC_KEY:STRING=.' "$BUILD/CMakeCache.txt"; then
    echo "this build pins a release key; the test key cannot sign for it"
    exit 0
fi
command -v python3 >/dev/null || fail "python3 is not installed"

start_desktop
export XDG_CACHE_HOME=$E2E_TMP/cache XDG_DATA_HOME=$E2E_TMP/data PURRLOX_LOG_PRIVATE=1
export QT_LOGGING_RULES="app.purrlox.Purrlox.app.debug=true"
APPS=$E2E_TMP/apps
SITE=$E2E_TMP/site

install_a() {
    rm -rf "$APPS" "$XDG_CACHE_HOME"
    PURRLOX_NO_REGISTER=1 cmake --install "$BUILD" --prefix "$APPS/Purrlox" >/dev/null
    echo 1.0 >"$APPS/Purrlox/VERSION"
}

# release_b [tamper]: B is A's program with version 9.9, signed; tamper changes the program
# after signing (the manifest still names the archive's true digest).
release_b() {
    rm -rf "$E2E_TMP/b" "$SITE" && mkdir -p "$E2E_TMP/b" "$SITE/update"
    cp -a "$APPS/Purrlox" "$E2E_TMP/b/Purrlox"
    echo 9.9 >"$E2E_TMP/b/Purrlox/VERSION"
    "$SIGN" --key-file "$KEY" folder "$E2E_TMP/b/Purrlox"
    if [ "${1:-}" = tamper ]; then printf 'tampered' >>"$E2E_TMP/b/Purrlox/bin/purrlox"; fi
    tar -C "$E2E_TMP/b" -czf "$SITE/update/Purrlox.tar.gz" Purrlox
    "$SIGN" --key-file "$KEY" manifest 9.9 "$SITE/update/Purrlox.tar.gz" >"$SITE/update/linux"
}

start_site() {
    python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$SITE" >"$E2E_TMP/site.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 "the web server listens" grep -q 'port [0-9]*' "$E2E_TMP/site.log"
    PORT=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$E2E_TMP/site.log" | head -1)
}

start_a() {
    rm -f "$CAT_SOCKET"
    : >"$CAT_LOG"
    returning_user # no welcome letter before the update's
    PURRLOX_UPDATE_URL=http://127.0.0.1:$PORT/ PURRLOX_UPDATE_DELAY=1 \
        "$APPS/Purrlox/bin/purrlox" --automation "$CAT_SOCKET" "$@" >>"$CAT_LOG" 2>&1 &
    CAT_PID=$!
    E2E_PIDS+=($CAT_PID)
    wait_for 15 "A opens its automation socket" test -S "$CAT_SOCKET"
    grep -q "updates: version 1.0 runs from $APPS/Purrlox" "$CAT_LOG" || fail "A does not say where it runs"
}

SCREENS=${E2E_SCREENS:-/work/screens}
mkdir -p "$SCREENS" 2>/dev/null || SCREENS=""

letters() { ask '{"cmd":"letters"}'; }
state_has() { cat_state | jq -e "$@"; }

# Waits for the cat to come back carrying a letter, opens it with a real click on the cat and
# prints the panel's root pixels "x y w h"; shoots it to $SCREENS/$2 when screens are kept.
open_letter() {
    wait_for 90 "the cat comes back carrying the letter and sits" \
        state_has '.carrying == true and .kind == "idle" and .reading == null'
    local reading cat_x cat_y
    reading=$(cat_state)
    cat_x=$(jq '.x | round' <<<"$reading")
    cat_y=$(jq --argjson H "$E2E_HEIGHT" '$H - (.feetY + 30) | round' <<<"$reading")
    xdotool mousemove "$cat_x" "$cat_y"
    sleep 0.3
    xdotool click 1
    wait_for 5 "the letter opens" state_has --arg t "$1" '.kind == "reading" and (.reading | contains($t))'
    sleep 0.5
    local px py pw ph
    read -r px py pw ph <<<"$(panel_pixels "$(cat_state)")"
    if [ -n "$SCREENS" ]; then
        import -window root -crop "${pw}x${ph}+${px}+${py}" +repage "$SCREENS/$2"
    fi
    echo "$px $py $pw $ph"
}

# The root pixel at the middle of the pink "Update" button: the pink right of the panel's
# middle, in the lower half of the bubble (above the cat picture).
update_button() {
    local px py pw ph
    read -r px py pw ph <<<"$1"
    import -window root -crop "${pw}x$((ph - 96))+${px}+${py}" +repage "$E2E_TMP/bubble.png"
    convert "$E2E_TMP/bubble.png" -depth 8 -alpha off txt:- | awk -F'[,: ()]+' -v half=$((pw / 2)) -v top=$(((ph - 96) / 2)) \
        -v px="$px" -v py="$py" '
        NR > 1 && $1 > half && $2 > top {
            r = $3; g = $4; b = $5
            if (r > 230 && g > 140 && g < 175 && b > 170 && b < 200) { sx += $1; sy += $2; n++ }
        }
        END { if (n < 50) exit 1; printf "%d %d\n", px + sx / n, py + sy / n }'
}
has_update_letter() { letters | jq -e '.letters | map(select(.update and (.text | contains("9.9")))) | length == 1'; }
has_failed_letter() { letters | jq -e --arg site "127.0.0.1" '.letters | map(select((.update | not) and (.text | contains($site)))) | length == 1'; }
new_pid() { own_pids "$APPS/Purrlox/bin/purrlox" | grep -vx "$CAT_PID"; }

# A good B.
install_a
release_b
start_site
start_a purrlox://before-update
wait_for 30 "A downloads and verifies B" grep -q "updates: 9.9 is ready for $XDG_CACHE_HOME/app.purrlox.Purrlox/Update/Purrlox-9.9.tar.gz" "$CAT_LOG"
wait_for 10 "the cat carries the update letter" has_update_letter
ask '{"cmd":"calm","seconds":3600}' >/dev/null
panel=$(open_letter 9.9 update_letter.png)
button=$(update_button "$panel") || fail "no Update button in the letter"
read -r ux uy <<<"$button"
xdotool mousemove "$ux" "$uy"
sleep 0.3
xdotool click 1
wait_for 20 "A ends" sh -c "! kill -0 $CAT_PID"
wait_for 20 "B starts from the same path" grep -q "updates: version 9.9 runs from $APPS/Purrlox" "$CAT_LOG"
grep -q "updates: 9.9 is in place, relaunching" "$CAT_LOG" || fail "no relaunch line"
B_PID=$(new_pid) || fail "no B process"
E2E_PIDS+=($B_PID)
[ "$(cat "$APPS/Purrlox/VERSION")" = 9.9 ] || fail "the install is not B"
wait_for 10 "the old install is removed" test ! -e "$APPS/.Purrlox-update"
[ "$(readlink /proc/"$B_PID"/exe)" = "$APPS/Purrlox/bin/purrlox" ] || fail "B runs from elsewhere"
wait_for 15 "B answers on the automation socket" sh -c "'$CAT_ASK' '$CAT_SOCKET' '{\"cmd\":\"state\"}'"
[ "$(grep -c 'ignored a purrlox:// link (before-update)' "$CAT_LOG")" = 1 ] ||
    fail "B opened A's start link again"
kill "$B_PID"
wait_for 10 "B ends" sh -c "! kill -0 $B_PID"
echo "good release: installed and relaunched"

# A tampered B.
install_a
release_b tamper
start_a
wait_for 30 "A downloads B" grep -q "updates: 9.9 is ready" "$CAT_LOG"
wait_for 10 "the cat carries the update letter" has_update_letter
ask '{"cmd":"calm","seconds":3600}' >/dev/null
panel=$(open_letter 9.9 update_letter_tampered.png)
button=$(update_button "$panel") || fail "no Update button in the letter"
read -r ux uy <<<"$button"
xdotool mousemove "$ux" "$uy"
sleep 0.3
xdotool click 1
wait_for 20 "the install fails" grep -q "updates: install failed: .* does not match its signed file list" "$CAT_LOG"
wait_for 10 "the cat carries the update-failed letter" has_failed_letter
kill -0 "$CAT_PID" || fail "A did not survive the failed install"
open_letter 127.0.0.1 update_failed_letter.png >/dev/null
[ "$(cat "$APPS/Purrlox/VERSION")" = 1.0 ] || fail "the install changed"
[ -z "$(ls -A "$APPS" | grep -v '^Purrlox$')" ] || fail "something was left beside the install: $(ls -A "$APPS")"
stop_cat
echo "tampered release: refused, A untouched"
