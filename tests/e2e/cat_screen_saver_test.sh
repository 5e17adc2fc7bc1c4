#!/usr/bin/env bash
# A real xscreensaver, which says nothing on D-Bus: blanking puts the cat to sleep, and the cat's
# panels stay under the saver's window all the while; unblanking wakes it. Then MATE's screen
# saver signal on the session bus does the same.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/devices_lib.sh"
for tool in xscreensaver xscreensaver-command; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done

start_desktop
start_buses
xscreensaver -no-splash >"$E2E_TMP/xscreensaver.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 10 "xscreensaver publishes its status" sh -c "xprop -root _SCREENSAVER_STATUS | grep -q ' = 0,'"
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 20 "the cat has walked in" cat_is idle

# Top-most first: which of the saver's and the cat's windows stands highest.
saver_on_top() {
    local first
    first=$(xwininfo -root -children | grep -m1 -E '"(XScreenSaver|Purrlox)"')
    [[ $first == *'"XScreenSaver"'* ]]
}
xscreensaver-command -activate >/dev/null
wait_for 5 "the cat falls asleep with the screens" cat_is sleeping
# Past the panels' slow look at the stacking order (every 5 s), the saver still covers them.
for _ in $(seq 14); do
    saver_on_top || fail "the cat's panel stands over the screen saver: $(xwininfo -root -children | sed -n 6,12p)"
    sleep 0.5
done
echo "ok: xscreensaver blanks: the cat sleeps under its window"

xscreensaver-command -deactivate >/dev/null
not_sleeping() { ! cat_is sleeping; }
wait_for 5 "the cat wakes when the screens come back" not_sleeping
echo "ok: xscreensaver unblanks: the cat is $(cat_state | jq -r .kind)"

# MATE's screen saver announces itself on the session bus only.
mate_saver() {
    dbus-send --session --type=signal /org/mate/ScreenSaver org.mate.ScreenSaver.ActiveChanged "boolean:$1"
}
wait_for 15 "the cat is up again" cat_is idle
mate_saver true
wait_for 5 "the cat sleeps when MATE's screen saver starts" cat_is sleeping
mate_saver false
wait_for 5 "the cat wakes when it stops" not_sleeping
echo "ok: org.mate.ScreenSaver ActiveChanged: asleep and awake"
echo PASS
