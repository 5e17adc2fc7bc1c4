#!/usr/bin/env bash
# The window list against the X server's own answers: xterms front to back with the frames
# xwininfo shows; a move seen at the next read; a raise reorders.
source "$(dirname "$0")/lib.sh"
start_desktop

a=$(open_xterm e2e-a 80x24+100+150)
b=$(open_xterm e2e-b 60x20+400+300)
c=$(open_xterm e2e-c 40x10+900+500)

reading=$(probe)
[ "$(listed_order "$reading" "$a" "$b" "$c")" = "$c $b $a" ] ||
    fail "expected front to back $c $b $a, got: $(listed_order "$reading" "$a" "$b" "$c")"
for w in "$a" "$b" "$c"; do
    want=$(xwininfo_frame "$w")
    [ "$(listed_pixels "$reading" "$w")" = "$want" ] ||
        fail "window $w: listed $(listed_pixels "$reading" "$w") px, xwininfo shows $want"
    [ "$(listed_points "$reading" "$w")" = "$(points_of "$want")" ] ||
        fail "window $w: listed $(listed_points "$reading" "$w") pt, expected $(points_of "$want")"
    jq -e --argjson id "$w" '.windows[] | select(.id == $id) |
        .layer == 0 and .onScreen and .alpha == 1 and .pid > 0' <<<"$reading" >/dev/null ||
        fail "window $w: wrong layer, visibility, alpha or pid: $reading"
done
# The xterms' owner is the xterm process itself.
xterm_pid=$(xprop -id "$a" _NET_WM_PID | awk '{print $NF}')
jq -e --argjson id "$a" --argjson pid "$xterm_pid" \
    '.windows[] | select(.id == $id) | .pid == $pid' <<<"$reading" >/dev/null ||
    fail "window $a: pid differs from _NET_WM_PID $xterm_pid"
echo "ok: order and frames of three xterms"

# A long-running reader: unchanged reads cost nothing, a change is seen at the next read.
start_watch
sleep 0.3
before=$(last_reading)
[ "$(jq .refreshes <<<"$before")" = 1 ] ||
    fail "reads with nothing changed refreshed the list: $(jq -c '{refreshes, roundTrips}' <<<"$before")"
[ "$(jq .roundTrips <<<"$before")" = 2 ] ||
    fail "the first refresh should take two round trips: $(jq .roundTrips <<<"$before")"

xdotool windowmove "$a" 300 400
moved_to() {
    local want r
    want=$(xwininfo_frame "$a")
    r=$(last_reading)
    [ "$(listed_pixels "$r" "$a")" = "$want" ] && [ "${want%% *}" != 100 ]
}
wait_for 5 "the moved xterm is listed at its new place" moved_to
after=$(last_reading)
gen_before=$(jq .generation <<<"$before")
gen_after=$(jq .generation <<<"$after")
((gen_after > gen_before)) || fail "generation did not move on: $gen_before -> $gen_after"
trips=$(jq '.roundTrips - 2' <<<"$after")
refreshes=$(jq '.refreshes - 1' <<<"$after")
((trips == 2 * refreshes)) || fail "$refreshes refreshes took $trips round trips, expected two each"
echo "ok: move seen (generation $gen_before -> $gen_after, $refreshes refreshes)"

xdotool windowraise "$a"
raised() { [ "$(listed_order "$(last_reading)" "$a" "$b" "$c")" = "$a $c $b" ]; }
wait_for 5 "the raised xterm is listed first" raised
echo "ok: raise reorders"

# A window that closes is dropped from the list.
kill "$(xprop -id "$b" _NET_WM_PID | awk '{print $NF}')"
closed() { [ "$(listed_order "$(last_reading)" "$a" "$b" "$c")" = "$a $c" ]; }
wait_for 5 "the closed xterm leaves the list" closed
echo "ok: closed window dropped"

# Opacity, minimising and another desktop, each seen by the running reader.
xprop -id "$a" -f _NET_WM_WINDOW_OPACITY 32c -set _NET_WM_WINDOW_OPACITY 0x7fffffff
half_opaque() {
    jq -e --argjson id "$a" '.windows[] | select(.id == $id) | (.alpha - 0.5 | fabs) < 0.001' \
        <<<"$(last_reading)"
}
wait_for 5 "the opacity property is read as alpha 0.5" half_opaque
listed_on_screen() {
    jq -e --argjson id "$1" --argjson on "$2" '.windows[] | select(.id == $id) | .onScreen == $on' \
        <<<"$(last_reading)"
}
xdotool windowminimize "$c"
wait_for 5 "the minimised xterm is off screen" listed_on_screen "$c" false
xdotool set_desktop_for_window "$a" 1
wait_for 5 "the xterm on another desktop is off screen" listed_on_screen "$a" false
xdotool set_desktop 1
wait_for 5 "switching to its desktop brings it back" listed_on_screen "$a" true
listed_on_screen "$c" false >/dev/null || fail "the minimised xterm came back on desktop 1"
xdotool set_desktop_for_window "$a" 0 set_desktop 0 windowactivate --sync "$c"
wait_for 5 "the restored xterm is on screen" listed_on_screen "$c" true
echo "ok: alpha, minimised and other-desktop windows"

# Windows opening and closing while the reader refreshes (some vanish between the stacking list
# and their replies): no X errors, no crash, and none of them left listed.
watcher=${E2E_PIDS[-1]}
churn=()
for i in 1 2 3 4 5 6; do
    xterm -title "e2e-churn-$i" -geometry 20x5+$((60 * i))+600 -e sleep 600 >/dev/null 2>&1 &
    churn+=($!)
done
wait_for 10 "six churning xterms listed" sh -c \
    "[ \$(xdotool search --name '^e2e-churn-' | wc -l) -ge 6 ]"
for pid in "${churn[@]}"; do
    kill "$pid"
    sleep 0.02
done
churned_out() {
    jq -e --argjson ids "[$(IFS=,; echo "$a,$c")]" '[.windows[].id] | sort == ($ids | sort)' \
        <<<"$(last_reading)"
}
wait_for 5 "the churned windows leave the list" churned_out
kill -0 "$watcher" || fail "the reader died during the churn: $(cat "$E2E_TMP/watch.log")"
if grep -i "error" "$E2E_TMP/watch.log"; then fail "X errors reached the log during the churn"; fi
echo "ok: windows closing during refreshes"

# A client-side shadow (_GTK_FRAME_EXTENTS) is no part of the frame, whether the list comes from
# the manager's stacking list or, once the manager stops publishing it, from the root's
# children: then the manager's frame is listed and loses the shadow of the client inside it.
xprop -id "$a" -f _GTK_FRAME_EXTENTS 32c -set _GTK_FRAME_EXTENTS "10, 10, 10, 10"
read -r fx fy fw fh <<<"$(xwininfo_frame "$a")"
shadowless="$((fx + 10)) $((fy + 10)) $((fw - 20)) $((fh - 20))"
listed_as() { [ "$(listed_pixels "$(last_reading)" "$1")" = "$2" ]; }
wait_for 5 "the stacking list's window loses its shadow" listed_as "$a" "$shadowless"
frame=$(frame_window_of "$a")
xprop -root -remove _NET_CLIENT_LIST_STACKING
wait_for 5 "the root's children are listed: the frame without the client's shadow" \
    listed_as "$frame" "$shadowless"
echo "ok: client-side shadows are cut from the stacking list's windows and from the root's children"
