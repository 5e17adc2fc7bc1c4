#!/usr/bin/env bash
# KDE Plasma at scale 2 with X11 applications scaling themselves (KWin's "Xwayland Scale"):
# XWayland's root then holds device pixels, twice KWin's logical ones, and the cat's tops are
# KWin's frames doubled, the native window's and the xterm's alike.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/kwin_lib.sh"

mkdir -p "$E2E_TMP/config"
printf '[Xwayland]\nScale=2\n' >"$E2E_TMP/config/kwinrc"
KWIN_SCALE=2 start_kwin
read -r root_w root_h <<<"$(xwininfo -root | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}')"
[ "$root_w $root_h" = "2560 1600" ] || fail "XWayland's root is ${root_w}x$root_h, not 2560x1600"
open_two_windows
start_cat
ask '{"cmd":"calm","seconds":3600}' >/dev/null

# KWin's logical frame "x y w h" doubled, in the engine's y-up points on the 1600-pixel root.
doubled() {
    local x y w h
    read -r x y w h <<<"$1"
    jq -nc --argjson x "$x" --argjson y "$y" --argjson w "$w" --argjson h "$h" \
        '[($x * 2 | round), (1600 - ($y + $h) * 2 | round), ($w * 2 | round), ($h * 2 | round)]'
}
native=$(doubled "$(kwin_frame Wayland_Terminal)")
xterm_top=$(doubled "$(kwin_frame e2e-xterm)")
wait_for 10 "the native window's top, doubled, is in the cat's list ($native)" has_top "$native"
wait_for 10 "the xterm's top, doubled, is in the cat's list ($xterm_top)" has_top "$xterm_top"
# The xterm's frame as XWayland itself has it agrees.
read -r x y w h <<<"$(window_pixels "$(xwininfo -root -tree | awk '/"e2e-xterm"/ {print $1; exit}')")"
[ "[$x,$((1600 - y - h)),$w,$h]" = "$xterm_top" ] ||
    fail "XWayland has the xterm at $x $y $w $h, the cat at $xterm_top"
echo "ok: at scale 2 the cat's tops are KWin's frames doubled: native $native, xterm $xterm_top"
