#!/usr/bin/env bash
# The files a distribution reads: the desktop entry and the AppStream metainfo pass their
# validators, and the metainfo's newest release and the manual page name the version this
# build carries.
set -euo pipefail
SRC=${1:?usage: $0 SOURCE_DIR VERSION}
VERSION=${2:?usage: $0 SOURCE_DIR VERSION}
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make deps installs it)"
done
entry=$SRC/data/app.purrlox.Purrlox.desktop
metainfo=$SRC/data/app.purrlox.Purrlox.metainfo.xml
desktop-file-validate "$entry" || fail "the desktop entry does not validate"
appstreamcli validate --no-net "$metainfo" || fail "the metainfo does not validate"
release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)
[ "$release" = "$VERSION" ] || fail "the metainfo's newest release is $release, the build is $VERSION"
grep -q "^\.TH PURRLOX 1 .* \"Purrlox $VERSION\"" "$SRC/data/purrlox.1" ||
    fail "the manual page does not name version $VERSION"
head -1 "$SRC/data/changelog" | grep -q "^purrlox ($VERSION) " ||
    fail "the changelog's newest entry is not $VERSION"
# The entry, the metainfo and the icon share one id.
grep -qx 'Icon=app.purrlox.Purrlox' "$entry" || fail "the entry names another icon"
grep -q '<launchable type="desktop-id">app.purrlox.Purrlox.desktop</launchable>' "$metainfo" ||
    fail "the metainfo launches another entry"
[ -f "$SRC/data/app.purrlox.Purrlox.svg" ] || fail "no icon app.purrlox.Purrlox.svg"
echo "PASS"
