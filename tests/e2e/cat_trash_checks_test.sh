#!/usr/bin/env bash
# On a sticky, world-writable tmpfs (a shared /tmp), another local user prepares trash folders
# for the cat's user: a .Trash-$uid of their own open to all, then a .Trash that is a link to
# their folder with a planted $uid inside and a .Trash-$uid that is a link too. A real drop of
# the user's private file is refused each time, with the caption and a log line naming the
# reason, and nothing moves. Once the planted folders are gone the same drop is eaten into a
# .Trash-$uid of the user's own (mode 0700) and put back.
# Needs root: it makes the two users with useradd and mounts the tmpfs.
source "$(dirname "$0")/cat_lib.sh"
source "$(dirname "$0")/drop_lib.sh"

if [ "$(id -u)" != 0 ] || ! command -v useradd >/dev/null || ! command -v setpriv >/dev/null; then
    echo "SKIP: making two users and mounting a tmpfs needs root, useradd and setpriv"
    exit 77
fi
owner=pxa$$ other=pxb$$
useradd -M -N -s /usr/sbin/nologin "$owner" || fail "useradd $owner"
useradd -M -N -s /usr/sbin/nologin "$other" || { userdel "$owner"; fail "useradd $other"; }
uid=$(id -u "$owner")
shared=$E2E_TMP/shared
users_cleanup() {
    userdel "$owner" 2>/dev/null || true
    userdel "$other" 2>/dev/null || true
}
trap 'umount -l "$shared" 2>/dev/null || true; e2e_cleanup || true; users_cleanup' EXIT
mkdir -p "$shared"
mount -t tmpfs -o size=8m,mode=1777 purrlox-e2e "$shared" || { echo "SKIP: cannot mount a tmpfs"; exit 77; }
as_other() { setpriv --reuid="$other" --regid="$(id -g "$other")" --clear-groups "$@"; }
as_owner() { setpriv --reuid="$owner" --regid="$(id -g "$owner")" --clear-groups "$@"; }

start_desktop
# The cat's user gets a home and runtime folder of its own inside the test's folder.
chmod 755 "$E2E_TMP"
home=$E2E_TMP/home-$owner
mkdir -p "$home/run" && chmod 700 "$home/run" && chown -R "$owner" "$home"
CAT_SOCKET=$home/cat.sock
as_owner sh -c 'umask 077; echo "the owner'"'"'s secret" >"$1"' - "$shared/secret.txt"
xdotool mousemove 1500 200
# Not the owner's first start: no welcome letter in the way.
mkdir -p "$home/config/purrlox" && echo '{}' >"$home/config/purrlox/settings.json" && chown -R "$owner" "$home/config"
as_owner env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" \
    "$E2E_PURRLOX" --automation "$CAT_SOCKET" >"$CAT_LOG" 2>&1 &
CAT_PID=$!
E2E_PIDS+=($CAT_PID)
wait_for 15 "the automation socket opens" test -S "$CAT_SOCKET"
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 40 "the cat sits" cat_is idle
state_has() { cat_state | jq -e "$@"; }
caption="Couldn't move “secret.txt” to the Trash"

# refused WHAT REASON: the drop of the secret is refused, said and logged, and nothing moved.
refused() {
    local result lines
    lines=$(grep -c "cannot trash" "$CAT_LOG" || true)
    ask '{"cmd":"calm","seconds":3600}' >/dev/null
    wait_for 10 "the cat sits" cat_is idle
    result=$(drag 1200 600 "$shared/secret.txt")
    [ "$result" = "finished: refused" ] || fail "$1: the source was told '$result'"
    wait_for 2 "$1: the caption says the file cannot go" state_has --arg c "$caption" '.caption == $c'
    [ "$(cat "$shared/secret.txt")" = "the owner's secret" ] || fail "$1: the file left its place"
    [ "$(grep -c "cannot trash" "$CAT_LOG")" = $((lines + 1)) ] || fail "$1: not one log line"
    grep "cannot trash" "$CAT_LOG" | tail -1 | grep -q "$2" ||
        fail "$1: the log line does not say '$2': $(grep "cannot trash" "$CAT_LOG" | tail -1)"
    [ -z "$(find "$shared" -mindepth 2 -type f)" ] || fail "$1: something went into a trash folder: $(find "$shared" -mindepth 2)"
    echo "ok: $1: refused, captioned, logged ('$2'), nothing moved"
}

# Another user's .Trash-$uid, open to everyone.
as_other mkdir -m 777 "$shared/.Trash-$uid"
as_other chmod 777 "$shared/.Trash-$uid"
refused "another user's .Trash-$uid" "belongs to another user"
SCREENS=${E2E_SCREENS:-/work/screens}
if mkdir -p "$SCREENS" 2>/dev/null; then
    read -r px py pw ph <<<"$(panel_pixels "$(cat_state)")"
    import -window root -crop "${pw}x${ph}+${px}+${py}" +repage "$SCREENS/cant_trash_caption.png"
fi

# A .Trash that is a link to the other user's sticky folder with a $uid folder planted in it,
# and a .Trash-$uid that links there too.
as_other rmdir "$shared/.Trash-$uid"
as_other mkdir -m 1777 "$shared/theirs"
as_other chmod 1777 "$shared/theirs"
as_other mkdir -m 777 "$shared/theirs/$uid"
as_other chmod 777 "$shared/theirs/$uid"
as_other ln -s theirs "$shared/.Trash"
as_other ln -s "theirs/$uid" "$shared/.Trash-$uid"
refused "a .Trash link and a .Trash-$uid link" "link"

# The planted folders gone, the drop is eaten into a folder of the user's own.
as_other rm -rf "$shared/theirs" "$shared/.Trash" "$shared/.Trash-$uid"
# The notice goes after eight seconds; "Put back" is looked for where it sits without one.
wait_for 10 "the notice goes" state_has '.caption == null'
ask '{"cmd":"calm","seconds":3600}' >/dev/null
wait_for 10 "the cat sits" cat_is idle
result=$(drag 1200 600 "$shared/secret.txt")
[ "$result" = "finished: accepted move" ] || fail "a drop with no planted folders was told '$result'"
wait_for 5 "the bubble names the file" state_has '.eaten == ["secret.txt"]'
[ ! -e "$shared/secret.txt" ] || fail "the file is still in its place"
[ "$(stat -c '%U %a' "$shared/.Trash-$uid")" = "$owner 700" ] ||
    fail ".Trash-$uid is not the user's own with mode 700: $(stat -c '%U %a' "$shared/.Trash-$uid")"
[ -f "$shared/.Trash-$uid/files/secret.txt" ] && grep -qx "Path=secret.txt" "$shared/.Trash-$uid/info/secret.txt.trashinfo" ||
    fail "the file is not in the mount's trash with its record"
echo "ok: without planted folders the file goes into a .Trash-$uid of the user's own, mode 700"

sleep 2.5
reading=$(cat_state)
read -r px py pw ph <<<"$(panel_pixels "$reading")"
xdotool mousemove "$((px + pw / 2))" "$((py + ph - 96 - 4 - 12 - 16 - 15))"
sleep 0.3
xdotool click 1
wait_for 5 "the bubble closes" state_has '.eaten == null'
test_home() { test -f "$shared/secret.txt"; }
for _ in $(seq 50); do test_home && break; sleep 0.1; done
test_home || fail "the file did not come home: $(grep -a 'cannot put back' "$CAT_LOG")"
[ "$(cat "$shared/secret.txt")" = "the owner's secret" ] || fail "the file came back changed"
echo "ok: Put back brought it home"
