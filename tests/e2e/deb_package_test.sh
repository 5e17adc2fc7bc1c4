#!/usr/bin/env bash
# The Debian package, as a distribution would take it: CPack builds it in its own folder
# (dpkg-buildflags' hardening, no self-updater); lintian finds no error or warning; it holds
# the FHS layout and depends on what the app loads at run time; installed with dpkg into a
# clean root, `purrlox --version` runs from there, and the desktop entry, the metainfo and the
# icons pass their validators.
set -euo pipefail
PURRLOX=${1:?usage: $0 path/to/purrlox}
BUILD=$(cd "$(dirname "$PURRLOX")" && pwd)
SRC=$(cd "$(dirname "$0")/../.." && pwd)
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in dpkg dpkg-deb dpkg-buildflags lintian appstreamcli desktop-file-validate readelf; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
seconds() { date +%s.%N; }
took() { printf '%.1f' "$(echo "$(seconds) - $1" | bc)"; }

t=$(seconds)
deb=$("$SRC/tools/build-deb.sh" "$SRC" "$BUILD/deb" "$BUILD/deb-out" "${JOBS:-2}" | tail -1)
echo "built $(basename "$deb") ($(stat -c %s "$deb") bytes) in $(took "$t") s"
VERSION=$(sed -n 's/^PURRLOX_RELEASE_VERSION:STRING=//p' "$BUILD/deb/CMakeCache.txt")

# What it depends on: the libraries (dpkg-shlibdeps) and what is loaded or run.
depends=$(dpkg-deb -f "$deb" Depends)
for want in qt6-qpa-plugins fonts-comfortaa fonts-noto-color-emoji xdg-utils libqt6widgets6 \
    libqt6network6 libc6 libxcb1; do
    [[ ", $depends," == *", $want"[\ ,]* ]] || fail "Depends lacks $want: $depends"
done
[[ $depends != *libarchive* && $depends != *libsodium* ]] || fail "the package still carries the updater: $depends"
[ "$(dpkg-deb -f "$deb" Version)" = "$VERSION" ] || fail "version $(dpkg-deb -f "$deb" Version)"

# Installed into an empty root with dpkg itself (no maintainer scripts run: the package has none).
ROOT=$TMP/root
mkdir -p "$ROOT/var/lib/dpkg/info" "$ROOT/var/lib/dpkg/updates"
touch "$ROOT/var/lib/dpkg/status" "$ROOT/var/lib/dpkg/available"
dpkg --root="$ROOT" --log=/dev/null --force-not-root --force-depends --force-script-chrootless \
    -i "$deb" >"$TMP/dpkg.log" 2>&1 || fail "dpkg -i: $(cat "$TMP/dpkg.log")"
[[ $(dpkg --root="$ROOT" -s purrlox) == *"Status: install ok installed"* ]] ||
    fail "dpkg does not count it installed"
for f in usr/bin/purrlox usr/share/applications/app.purrlox.Purrlox.desktop \
    usr/share/metainfo/app.purrlox.Purrlox.metainfo.xml usr/share/man/man1/purrlox.1.gz \
    usr/share/icons/hicolor/scalable/apps/app.purrlox.Purrlox.svg \
    usr/share/icons/hicolor/48x48/apps/app.purrlox.Purrlox.png \
    usr/share/icons/hicolor/256x256/apps/app.purrlox.Purrlox.png \
    usr/share/doc/purrlox/copyright usr/share/doc/purrlox/changelog.gz; do
    [ -f "$ROOT/$f" ] || fail "the package lacks /$f"
done
[ ! -e "$ROOT/usr/VERSION" ] || fail "the package writes /usr/VERSION"
for size in 48 64 128 256; do
    file "$ROOT/usr/share/icons/hicolor/${size}x${size}/apps/app.purrlox.Purrlox.png" |
        grep -q "$size x $size" || fail "the ${size} icon is not ${size}×${size}"
done
out=$(env -u DISPLAY "$ROOT/usr/bin/purrlox" --version) || fail "purrlox --version from the root failed"
[ "$out" = "Purrlox $VERSION" ] || fail "purrlox --version printed '$out'"
echo "installed into a clean root; it says: $out"

# Stripped and hardened.
bin=$ROOT/usr/bin/purrlox
[[ $(file "$bin") == *", stripped"* ]] || fail "the binary is not stripped: $(file "$bin")"
# (Read whole first: grep -q would end the pipe early and pipefail would count that.)
dynamic=$(readelf -d -W "$bin") segments=$(readelf -l -W "$bin") header=$(readelf -h "$bin")
symbols=$(readelf --dyn-syms -W "$bin")
grep -Eq 'BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic" || fail "no BIND_NOW"
grep -q GNU_RELRO <<<"$segments" || fail "no RELRO"
grep -q 'DYN (Position-Independent' <<<"$header" || fail "not PIE"
grep -q '__[a-z]*_chk@' <<<"$symbols" || fail "no fortified functions"
echo "binary: $(stat -c %s "$bin") bytes, stripped, PIE, RELRO, BIND_NOW, fortified"

desktop-file-validate "$ROOT/usr/share/applications/app.purrlox.Purrlox.desktop" ||
    fail "the desktop entry does not validate"
appstreamcli validate --no-net "$ROOT/usr/share/metainfo/app.purrlox.Purrlox.metainfo.xml" ||
    fail "the metainfo does not validate"
appstreamcli validate-tree --no-net "$ROOT" >"$TMP/tree.log" 2>&1 ||
    fail "the installed tree does not validate: $(cat "$TMP/tree.log")"

t=$(seconds)
lintian --fail-on error,warning --display-info --tag-display-limit 0 "$deb" >"$TMP/lintian.log" 2>&1 ||
    fail "lintian: $(cat "$TMP/lintian.log")"
if grep -E '^[EWI]: purrlox: hardening-' "$TMP/lintian.log"; then fail "hardening tags"; fi
echo "lintian: no errors or warnings in $(took "$t") s"
cat "$TMP/lintian.log"
echo "PASS"
