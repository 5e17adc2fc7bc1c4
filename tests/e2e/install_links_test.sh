#!/usr/bin/env bash
# The installed form and purrlox:// links: `cmake --install` writes the Purrlox folder and
# registers the desktop entry as the handler of purrlox://; xdg-open then reaches the running
# cat through a second start, and a link that starts Purrlox is handled once it is wired.
source "$(dirname "${BASH_SOURCE[0]}")/cat_lib.sh"

BUILD=$(dirname "$E2E_PURRLOX")
command -v xdg-open >/dev/null && command -v xdg-mime >/dev/null ||
    fail "xdg-utils is not installed (make deps installs it)"

start_desktop
export XDG_DATA_HOME=$E2E_TMP/data XDG_CACHE_HOME=$E2E_TMP/cache PURRLOX_LOG_PRIVATE=1
export QT_LOGGING_RULES="app.purrlox.Purrlox.app.debug=true"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
APP=$E2E_TMP/apps/Purrlox

cmake --install "$BUILD" --prefix "$APP" >"$E2E_TMP/install.log" 2>&1 || fail "install: $(cat "$E2E_TMP/install.log")"
for f in bin/purrlox VERSION share/applications/app.purrlox.Purrlox.desktop \
    share/icons/hicolor/scalable/apps/app.purrlox.Purrlox.svg; do
    [ -e "$APP/$f" ] || fail "the install lacks $f"
done
ENTRY=$XDG_DATA_HOME/applications/app.purrlox.Purrlox.desktop
grep -qx 'MimeType=x-scheme-handler/purrlox;' "$ENTRY" || fail "no scheme handler in $ENTRY"
grep -qx "Exec=$APP/bin/purrlox %u" "$ENTRY" || fail "the entry does not start this install: $(grep Exec "$ENTRY")"
# Its actions (the launcher's right-click menu) start this install too.
for args in "--focus start" "--focus stop" "--open"; do
    grep -qx "Exec=$APP/bin/purrlox $args" "$ENTRY" || fail "no action runs '$args': $(grep Exec "$ENTRY")"
done
desktop-file-validate "$ENTRY" || fail "the desktop entry does not validate"
[ "$(xdg-mime query default x-scheme-handler/purrlox)" = app.purrlox.Purrlox.desktop ] ||
    fail "purrlox:// is not ours: $(xdg-mime query default x-scheme-handler/purrlox)"

# A link that starts Purrlox: handled after the wiring, exactly once.
CAT_LOG=$E2E_TMP/first.log
"$APP/bin/purrlox" --automation "$CAT_SOCKET" "purrlox://first/start" >"$CAT_LOG" 2>&1 &
CAT_PID=$!
E2E_PIDS+=($CAT_PID)
wait_for 15 "the automation socket opens" test -S "$CAT_SOCKET"
wait_for 5 "the start link is logged" grep -q 'ignored a purrlox:// link (first)' "$CAT_LOG"

# Links from the desktop entry reach the running cat; the second start exits.
xdg-open "purrlox://from-xdg-open/some/path?q=1" >"$E2E_TMP/xdg-open.log" 2>&1 ||
    fail "xdg-open: $(cat "$E2E_TMP/xdg-open.log")"
wait_for 10 "the running cat logs the link" grep -q 'ignored a purrlox:// link (from-xdg-open)' "$CAT_LOG"
xdg-open "purrlox:no-host" >>"$E2E_TMP/xdg-open.log" 2>&1 || fail "xdg-open: $(cat "$E2E_TMP/xdg-open.log")"
wait_for 10 "a link without a host" grep -q 'ignored a purrlox:// link (no host)' "$CAT_LOG"
[ "$(grep -c 'ignored a purrlox:// link (first)' "$CAT_LOG")" = 1 ] || fail "the start link was handled twice"
[ "$(own_pids "$APP/bin/purrlox" | wc -l)" = 1 ] || fail "a second Purrlox stayed"
stop_cat
# A folder with a space: the entry quotes the program as the desktop entry rules ask.
SPACED="$E2E_TMP/my apps/Purrlox"
cmake --install "$BUILD" --prefix "$SPACED" >"$E2E_TMP/install2.log" 2>&1 || fail "install: $(cat "$E2E_TMP/install2.log")"
grep -qx "Exec=\"$SPACED/bin/purrlox\" %u" "$ENTRY" || fail "unquoted: $(grep Exec "$ENTRY")"
desktop-file-validate "$ENTRY" || fail "the quoted entry does not validate"
echo "installed, registered, and links reach the running cat"
