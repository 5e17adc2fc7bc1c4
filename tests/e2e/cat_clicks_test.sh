#!/usr/bin/env bash
# Clicks on the clear part of the cat panel reach the window below; clicks on the cat never
# move the keyboard focus; a raised window does not bury the cat.
source "$(dirname "$0")/cat_lib.sh"
start_desktop
under=$(open_xterm e2e-under 80x40+100+100)
other=$(open_xterm e2e-other 40x10+1200+100)
start_cat
keep_cat_still
wait_for 30 "the cat sits at its spot" cat_is snacking
reading=$(cat_state)
panel=$(panel_window)
read -r px py pw ph <<<"$(panel_pixels "$reading")"
read -r _ _ fw fh <<<"$(xwininfo_frame "$under")"
# The xterm lies under the whole panel.
move_frame "$under" $((px - 20)) $((py - 20))
wait_for 5 "the cat is back on top" sh -c "xwininfo -root -children | grep '^ *0x' | head -1 | grep -q '\"Purrlox\"'"

xdotool windowactivate --sync "$other"
wait_for 5 "the other xterm is active" sh -c "[ \$(xprop -root _NET_ACTIVE_WINDOW | awk '{print \$NF}') = $(printf '0x%x' "$other") ]"
before=$(active_window)

# The middle of the sitting cat's body: the cat's x, 30 points above its feet.
x=$(jq '.x | round' <<<"$reading")
y=$(jq --argjson H "$E2E_HEIGHT" '$H - (.feetY + 30) | round' <<<"$reading")
xdotool mousemove "$x" "$y"
under_pointer() { xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p'; }
wait_for 3 "the pointer is over the cat panel" sh -c "[ \$(xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p') = $((panel)) ]"
xdotool click 1
sleep 0.5
[ "$(active_window)" = "$before" ] || fail "clicking the cat changed the active window to $(active_window)"
xdotool mousedown 1 mousemove_relative 1 0 mouseup 1
sleep 0.3
[ "$(active_window)" = "$before" ] || fail "pressing the cat changed the active window"
echo "ok: the cat takes clicks without taking the focus ($before stays active)"

# The panel's top-left corner is clear: the click goes to the xterm below, which takes focus.
xdotool mousemove $((px + 5)) $((py + 5))
sleep 0.2
[ "$(under_pointer)" != "$((panel))" ] || fail "the clear corner of the panel takes the pointer"
xdotool click 1
wait_for 5 "the xterm under the panel becomes active" \
    sh -c "[ \$(xprop -root _NET_ACTIVE_WINDOW | awk '{print \$NF}') = $(printf '0x%x' "$under") ]"
echo "ok: a click on the clear part of the panel reached the xterm below"

# Raising the xterm over the cat: the cat comes back on top.
xdotool windowraise "$(frame_window_of "$under")"
wait_for 3 "the cat is back on top" sh -c "xwininfo -root -children | grep '^ *0x' | head -1 | grep -q '\"Purrlox\"'"
echo "ok: the cat stays on top of a raised window"

# A full-screen window does not cover the cat either.
xterm -title e2e-full -fullscreen -e sleep 600 >/dev/null 2>&1 &
E2E_PIDS+=($!)
wait_for 10 "the full-screen xterm appears" sh -c "xdotool search --name '^e2e-full\$' >/dev/null"
full=$(xdotool search --name '^e2e-full$' | head -1)
wait_for 10 "the xterm is full screen" sh -c "xprop -id $full _NET_WM_STATE | grep -q FULLSCREEN"
wait_for 3 "the cat is on top of the full-screen window" sh -c "xwininfo -root -children | grep '^ *0x' | head -1 | grep -q '\"Purrlox\"'"
echo "ok: the cat stays over a full-screen window"
