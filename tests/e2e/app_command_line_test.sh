#!/usr/bin/env bash
# The command line: --help, -h and --version print and exit 0 without a display and with one,
# never starting the cat; an unknown option prints the usage to standard error and exits 2;
# with no display at all the app says so in one line and exits 1 instead of aborting.
source "$(dirname "$0")/lib.sh"

VERSION=$(sed -n 's/^project(Purrlox VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
CACHED=$(sed -n 's/^PURRLOX_RELEASE_VERSION:STRING=//p' "$(dirname "$E2E_PURRLOX")/CMakeCache.txt" 2>/dev/null)
VERSION=${CACHED:-$VERSION}
export PURRLOX_CONFIG_HOME=$E2E_TMP/settings PURRLOX_DATA_HOME=$E2E_TMP/data

# run NAME ARGS...: the app's exit status, output and errors in $E2E_TMP/NAME.{out,err}
run() {
    local name=$1
    shift
    local status=0
    timeout 10 "$E2E_PURRLOX" "$@" >"$E2E_TMP/$name.out" 2>"$E2E_TMP/$name.err" || status=$?
    echo "$status"
}
no_cat_started() {
    [ ! -e "$PURRLOX_DATA_HOME/purrlox/instance.lock" ] || fail "$1 started the app"
}

check_line() {
    local where=$1
    [ "$(run "version$where" --version)" = 0 ] || fail "--version $where: $(cat "$E2E_TMP/version$where.err")"
    [ "$(cat "$E2E_TMP/version$where.out")" = "Purrlox $VERSION" ] ||
        fail "--version $where printed '$(cat "$E2E_TMP/version$where.out")', not Purrlox $VERSION"
    for help in --help -h; do
        [ "$(run "help$where" $help)" = 0 ] || fail "$help $where failed"
        grep -q '^Usage: purrlox ' "$E2E_TMP/help$where.out" || fail "$help $where: no usage"
        grep -q -- '--version' "$E2E_TMP/help$where.out" || fail "$help $where: options missing"
        [ ! -s "$E2E_TMP/help$where.err" ] || fail "$help $where wrote errors: $(cat "$E2E_TMP/help$where.err")"
    done
    for bad in --bogus -x --automation --version=2; do
        [ "$(run "bad$where" $bad)" = 2 ] || fail "$bad $where did not exit 2"
        grep -q "^purrlox: " "$E2E_TMP/bad$where.err" || fail "$bad $where: no complaint"
        grep -q '^Usage: purrlox ' "$E2E_TMP/bad$where.err" || fail "$bad $where: no usage on stderr"
        [ ! -s "$E2E_TMP/bad$where.out" ] || fail "$bad $where wrote to stdout"
    done
    run "bogus$where" --bogus >/dev/null
    grep -q "^purrlox: unknown option '--bogus'$" "$E2E_TMP/bogus$where.err" ||
        fail "--bogus $where: $(head -1 "$E2E_TMP/bogus$where.err")"
    no_cat_started "$where"
}

# No display at all, and a display that does not answer.
(
    unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
    check_line " without a display"
    [ "$(run nodisplay)" = 1 ] || fail "a start without a display did not exit 1"
    [ "$(wc -l <"$E2E_TMP/nodisplay.err")" = 1 ] || fail "not one line: $(cat "$E2E_TMP/nodisplay.err")"
    grep -q '^purrlox: no X display (DISPLAY is not set); ' "$E2E_TMP/nodisplay.err" ||
        fail "unclear: $(cat "$E2E_TMP/nodisplay.err")"
    export DISPLAY=:9999
    [ "$(run gonedisplay)" = 1 ] || fail "a display that does not answer did not exit 1"
    grep -q 'cannot open the X display ":9999"' "$E2E_TMP/gonedisplay.err" ||
        fail "unclear: $(cat "$E2E_TMP/gonedisplay.err")"
    # A Wayland session without XWayland: the panels need it, and the line says so.
    unset DISPLAY
    export WAYLAND_DISPLAY=wayland-e2e-none
    [ "$(run noxwayland)" = 1 ] || fail "a Wayland session without XWayland did not exit 1"
    [ "$(wc -l <"$E2E_TMP/noxwayland.err")" = 1 ] || fail "not one line: $(cat "$E2E_TMP/noxwayland.err")"
    grep -q '^purrlox: no X display (DISPLAY is not set) in this Wayland session; is XWayland off?' \
        "$E2E_TMP/noxwayland.err" || fail "unclear: $(cat "$E2E_TMP/noxwayland.err")"
)

# With a display the same answers, and still no cat.
start_xserver
check_line " with a display"
[ -z "$(xwininfo -root -children | grep -i purrlox)" ] || fail "a window appeared"
echo "PASS"
