# Shared by the scripts that drop files on the cat: a real XDND drag with the real pointer from
# the drag-files helper window onto the cat's body, and a watch on how fast the app answers.
# Source after cat_lib.sh.
DRAG_FILES=${DRAG_FILES:-$(dirname "$E2E_PURRLOX")/tests/e2e/drag-files}
[ -x "$DRAG_FILES" ] || fail "drag-files not found at $DRAG_FILES (build the drag-files target)"

# drag SOURCE_X SOURCE_Y FILE...: drags from the helper window to the cat's body and prints
# the target's answer as the source got it ("finished: accepted move", "finished: refused",
# "finished: no answer" after ten seconds); $E2E_TMP/drag.seconds holds the wait after the
# release.
drag() {
    local sx=$1 sy=$2 out=$E2E_TMP/drag.out
    shift 2
    "$DRAG_FILES" "$sx" "$sy" "$@" >"$out" 2>"$E2E_TMP/drag.log" &
    local helper=$!
    E2E_PIDS+=($helper)
    wait_for 10 "the drag source appears" sh -c "xdotool search --name '^e2e-drag-source\$' | grep -q ."
    sleep 0.5
    # A script may set the scene once the source is up (DRAG_BEFORE: a command).
    ${DRAG_BEFORE:-true}
    local reading cat_x cat_y x y step
    reading=$(cat_state)
    cat_x=$(jq '.x | round' <<<"$reading")
    cat_y=$(jq --argjson H "$E2E_HEIGHT" '$H - (.feetY + 30) | round' <<<"$reading")
    x=$((sx + 80)) y=$((sy + 50))
    xdotool mousemove "$x" "$y"
    sleep 0.2
    xdotool mousedown 1
    for step in 1 2 3 4 5 6 7 8 9 10 11 12; do
        xdotool mousemove "$((x + (cat_x - x) * step / 12))" "$((y + (cat_y - y) * step / 12))"
        sleep 0.05
    done
    # Wiggle on the cat so the drop target sees the pointer settle over it.
    xdotool mousemove "$((cat_x + 1))" "$cat_y"
    sleep 0.2
    xdotool mousemove "$cat_x" "$cat_y"
    sleep 0.3
    local released
    released=$(now)
    xdotool mouseup 1
    wait_for 15 "the drag source ends" sh -c "! kill -0 $helper 2>/dev/null"
    # How long the source waited for its answer after the release.
    echo "$(now) - $released" | bc >"$E2E_TMP/drag.seconds"
    cat "$out"
}

# Asks the app for its state five times a second in the background and notes how long each
# answer took (seconds, one per line); slowest_answer prints the longest so far.
watch_answers() {
    : >"$E2E_TMP/answers"
    (while :; do
        local t0 t1
        t0=$(now)
        timeout 10 "$CAT_ASK" "$CAT_SOCKET" '{"cmd":"state"}' >/dev/null 2>&1 || true
        t1=$(now)
        echo "$t1 - $t0" | bc >>"$E2E_TMP/answers"
        sleep 0.2
    done) &
    ANSWERS_PID=$!
    E2E_PIDS+=($ANSWERS_PID)
}
slowest_answer() { sort -g "$E2E_TMP/answers" | tail -1; }
answers_seen() { wc -l <"$E2E_TMP/answers"; }
