#!/usr/bin/env bash
# The menu window as a screen reader and a keyboard user meet it, with real keys and clicks and
# the accessibility bus walked over AT-SPI: the application is "Purrlox" and lists the menu
# window, named "Purrlox", with every control named without emoji and nothing hidden in the
# tree; a sub-screen is a pane named by its title; Tab stops only where a ring shows; Escape
# goes back from a sub-screen and closes the main page; an open letter's text is in the tree and
# its "Done" button is reached from the menu by the keyboard. Screenshots go to $MENU_SCREENS
# when set.
source "$(dirname "$0")/cat_lib.sh"
WALK=$(dirname "$0")/atspi_walk.py
BUS_LAUNCHER=/usr/libexec/at-spi-bus-launcher
[ -x "$BUS_LAUNCHER" ] || fail "at-spi-bus-launcher is missing (make deps installs at-spi2-core)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "python3-pyatspi is missing (make deps installs it)"

export PURRLOX_DATA_HOME=$E2E_TMP/data PURRLOX_CONFIG_HOME=$E2E_TMP/settings LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
start_desktop
start_tray
# A session bus of our own, and on it the accessibility bus with its registry.
dbus-daemon --session --nofork --print-address=1 >"$E2E_TMP/session.address" 2>"$E2E_TMP/session.log" &
E2E_PIDS+=($!)
wait_for 10 "the session bus starts" test -s "$E2E_TMP/session.address"
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$E2E_TMP/session.address")
"$BUS_LAUNCHER" --launch-immediately >"$E2E_TMP/atspi.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 10 "the accessibility bus starts" sh -c \
    "dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress | grep -q unix"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null

menu() { ask '{"cmd":"menu"}'; }
menu_open() { [ "$(menu | jq -r .open)" = true ]; }
menu_closed() { [ "$(menu | jq -r .open)" = false ]; }
screen_is() { [ "$(menu | jq -r .screen)" = "$1" ]; }
focus_is() { [ "$(menu | jq -r .focus)" = "$1" ]; }
icon_docked() { [ "$(menu | jq -r '.tray.icon[2]')" -gt 0 ]; }
open_by_tray() {
    local icon
    icon=$(menu | jq -r '.tray.icon | "\(.[0] + .[2] / 2 | floor) \(.[1] + .[3] / 2 | floor)"')
    # shellcheck disable=SC2086
    xdotool mousemove $icon click 1
    wait_for 5 "the menu window opens" menu_open
    xdotool mousemove 10 700 # out of the way: no hover on a control
}
shoot() {
    [ -n "${MENU_SCREENS:-}" ] || return 0
    import -window root -crop "$(menu | jq -r '.frame | "\(.[2])x\(.[3])+\(.[0])+\(.[1])"')" "$MENU_SCREENS/$1"
}
walk() { /usr/bin/python3 "$WALK" "$CAT_PID" >"$E2E_TMP/tree.jsonl" 2>"$E2E_TMP/walk.log"; }
# The nodes of the last walk as one JSON array.
tree() { jq -s . "$E2E_TMP/tree.jsonl"; }
# Emoji, pictographs, dingbats, variation selectors, joiners, keycaps and "‹ › ✓".
EMOJI='[\x{1F000}-\x{1FAFF}\x{2600}-\x{27BF}\x{2B00}-\x{2BFF}\x{2300}-\x{23FF}\x{FE0F}\x{200D}\x{20E3}\x{2039}\x{203A}]'
# Every node of the window's subtree shows, every control has a name in words only. The menu
# window is the application's active one (the cat's panel is named Purrlox too, and never active).
check_window() {
    local window=$1 path bad
    path=$(tree | jq -r --arg n "$window" '[.[] | select(.path | test("^/[0-9]+$")) | select((.role == "frame" or .role == "window") and .name == $n and (.states | index("active")))][0].path // empty')
    [ -n "$path" ] || fail "no window named $window under the application: $(tree | jq -c '[.[] | select(.path | test("^/[0-9]+$")) | {role, name}]')"
    bad=$(tree | jq -c --arg p "$path/" '[.[] | select(.path | startswith($p)) | select(.states | index("visible") | not) | {role, name}]')
    [ "$bad" = "[]" ] || fail "hidden nodes in the $window tree: $bad"
    bad=$(tree | jq -c --arg p "$path/" --arg e "$EMOJI" '[.[] | select(.path | startswith($p))
        | select(.role | test("push button|check box|text|entry|toggle button"))
        | select((.name | length) == 0 or (.name | test($e)))
        | {role, name}]')
    [ "$bad" = "[]" ] || fail "controls without a plain name in $window: $bad"
    TREE_PATH=$path
}

wait_for 10 "the paw docks in the tray" icon_docked
open_by_tray
wait_for 10 "the application is on the accessibility bus" walk
app=$(tree | jq -r '.[0] | "\(.role)|\(.name)"')
[ "$app" = "application|Purrlox" ] || fail "the application reads as $app"
check_window Purrlox
tree | jq -e --arg p "$TREE_PATH/" '[.[] | select(.path | startswith($p)) | select(.role == "text" and .name == "What are we working on?")] | length == 1' >/dev/null ||
    fail "the activity field has no name: $(tree | jq -c '[.[] | select(.role == "text")]')"
for control in "Stats, today 0 min" "Reminders, none yet" "Language" "Quit" "Start" "Open at login"; do
    tree | jq -e --arg p "$TREE_PATH/" --arg n "$control" '[.[] | select(.path | startswith($p)) | select(.name == $n)] | length >= 1' >/dev/null ||
        fail "no control named \"$control\": $(tree | jq -c '[.[] | select(.role | test("button|box")) | .name]')"
done
echo "ok: the application \"Purrlox\" lists the window \"Purrlox\"; its $(tree | jq --arg p "$TREE_PATH/" '[.[] | select(.path | startswith($p))] | length') nodes show, named without emoji"

# Tab from the field round the whole page and past its end: every stop wears the ring.
declare -A seen=()
for step in $(seq 1 16); do
    xdotool key Tab
    sleep 0.15
    now=$(menu | jq -r .focus)
    ring=$(menu | jq -r .ring)
    [ "$now" != null ] && [ "$ring" = "$now" ] ||
        fail "Tab $step (after ${!seen[*]}): the focus is on \"$now\", the ring around \"$ring\""
    seen[$now]=1
done
[ -n "${seen[quitButton]:-}" ] && [ -n "${seen[activityField]:-}" ] || fail "Tab went round only ${!seen[*]}"
echo "ok: Tab went round the main page (${!seen[*]}) with no stop the ring does not show"

# The statistics screen from the keyboard: Tab to its card, Space opens it, Back comes first.
for _ in $(seq 1 20); do
    focus_is statsLink && break
    xdotool key Tab
    sleep 0.1
done
focus_is statsLink || fail "Tab never reached the statistics card"
xdotool key space
wait_for 5 "Space opens the statistics" screen_is stats
walk
check_window Purrlox
tree | jq -e --arg p "$TREE_PATH/" '[.[] | select(.path | startswith($p)) | select(.name == "Stats" and (.role | test("frame|window|panel")))] | length == 1' >/dev/null ||
    fail "no screen named Stats: $(tree | jq -c --arg p "$TREE_PATH/" '[.[] | select(.path | startswith($p)) | select(.children > 0) | {role, name}]')"
stops=()
for step in 1 2 3 4 5; do
    now=$(menu | jq -r .focus)
    ring=$(menu | jq -r .ring)
    [ "$now" != null ] && [ "$ring" = "$now" ] ||
        fail "statistics, stop $step (after ${stops[*]:-nothing}): the focus is on \"$now\", the ring around \"$ring\""
    stops+=("$now")
    xdotool key Tab
    sleep 0.15
done
[ "${stops[0]}" = backButton ] || fail "the statistics screen opened with the focus on ${stops[0]}, not Back"
echo "ok: the statistics screen starts at ${stops[0]} and every stop shows its ring: ${stops[*]}"

# Escape: a sub-screen goes back (to the card that opened it), the main page closes.
xdotool key Escape
wait_for 5 "Escape goes back to the main page" screen_is main
menu_open || fail "Escape on the statistics closed the window"
wait_for 5 "the focus comes back to the statistics card" focus_is statsLink
xdotool key Escape
wait_for 5 "Escape on the main page closes the window" menu_closed
echo "ok: Escape went back from the statistics, then closed the window"

# A letter: the cat brings it, a click opens it; its words are in the tree, and from the menu
# the keyboard reaches "Done", which closes it.
ask '{"cmd":"deliver","text":"Water the ficus"}' >/dev/null
state_has() { cat_state | jq -e "$@"; }
wait_for 90 "the cat comes back carrying the letter" state_has '.carrying == true and .kind == "idle"'
read -r cx cy <<<"$(cat_body_point)"
xdotool mousemove "$cx" "$cy" click 1
wait_for 5 "the letter opens" state_has '.reading == "Water the ficus"'
xdotool mousemove 10 700
letter_in_tree() {
    walk && tree | jq -e '[.[] | select(.name == "Water the ficus" and .role != "push button")] | length >= 1'
}
# The bubble grows from a picture of itself; its widgets show once it has grown.
for _ in $(seq 1 50); do letter_in_tree >/dev/null && break; sleep 0.1; done
letter_in_tree >/dev/null ||
    fail "the open letter's words are not in the tree: $(tree | jq -c '[.[] | {path, role, name}]')"
tree | jq -e '[.[] | select(.role == "push button" and .name == "Done")] | length >= 1' >/dev/null ||
    fail "no \"Done\" button for the letter: $(tree | jq -c '[.[] | select(.role == "push button") | .name]')"
open_by_tray
for _ in $(seq 1 20); do
    focus_is bubbleButton1 && break
    xdotool key shift+Tab
    sleep 0.1
done
focus_is bubbleButton1 || fail "the keyboard never reached the letter's button in the menu"
sleep 0.2
shoot menu_letter_card.png
[ "$(menu | jq -r .ring)" = bubbleButton1 ] || fail "no ring on the letter's button"
xdotool key space
wait_for 5 "Space on Done closes the letter" state_has '.reading == null'
echo "ok: the letter's words are in the tree, and Space on its Done button in the menu read it"
echo PASS
