#!/usr/bin/env bash
# The installed launcher prepares the working folder and starts the
# installed mavik in it (offscreen): under XDG_DATA_HOME, else under HOME
# (also when XDG_DATA_HOME is relative); the default tables are copied in,
# the user's own tables (a link too, even a broken one) are left alone.
#   launcher.sh PREFIX
set -u
source "$(dirname "$0")/check.sh"
prefix=$(cd "$1" && pwd -P)
defaults=$prefix/share/mavik/codetables
export QT_QPA_PLATFORM=offscreen
# Only matters in the sanitizer build, where mavik is ended by a signal.
export ASAN_OPTIONS="detect_leaks=0 ${ASAN_OPTIONS:-}"
tmp=$(mktemp -d)
cleanup() {
    [ -n "${pid:-}" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

# Starts the launcher with the given environment, waits until it has become
# mavik, and sets ran_in to the folder mavik runs in.
start() {
    ran_in=
    env "$@" "$prefix/bin/mavik-launcher" >"$tmp/launcher.log" 2>&1 &
    pid=$!
    for _ in $(seq 100); do
        [ "$(readlink "/proc/$pid/exe")" = "$prefix/bin/mavik" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ "$(readlink "/proc/$pid/exe")" != "$prefix/bin/mavik" ]; then
        ran_in="(not started: $(cat "$tmp/launcher.log"))"
        return
    fi
    ran_in=$(readlink "/proc/$pid/cwd")
}

stop() {
    kill -TERM "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=
}

# XDG_DATA_HOME set; the user has their own ebcdic-ascii already.
mkdir -p "$tmp/xdg/mavik" "$tmp/home"
echo "the user's own table" >"$tmp/xdg/mavik/ebcdic-ascii"
start -i PATH="$PATH" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS="$ASAN_OPTIONS" HOME="$tmp/home" XDG_DATA_HOME="$tmp/xdg"
[ "$ran_in" = "$tmp/xdg/mavik" ] || fail "with XDG_DATA_HOME, mavik ran in '$ran_in'"
stop
[ "$(cat "$tmp/xdg/mavik/ebcdic-ascii")" = "the user's own table" ] ||
    fail "the user's ebcdic-ascii was replaced"
cmp -s "$tmp/xdg/mavik/ascii-ebcdic" "$defaults/ascii-ebcdic" ||
    fail "the default ascii-ebcdic was not copied in"
[ -d "$tmp/xdg/mavik/input" ] || fail "no input folder under XDG_DATA_HOME"
[ ! -e "$tmp/home/.local" ] || fail "with XDG_DATA_HOME set, the launcher wrote under HOME"

# A relative XDG_DATA_HOME counts as unset; the user's ascii-ebcdic is a broken link.
work=$tmp/home/.local/share/mavik
mkdir -p "$work"
ln -s "$tmp/elsewhere" "$work/ascii-ebcdic"
start -i -C "$tmp" PATH="$PATH" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS="$ASAN_OPTIONS" HOME="$tmp/home" XDG_DATA_HOME=relative
[ "$ran_in" = "$work" ] || fail "without a usable XDG_DATA_HOME, mavik ran in '$ran_in'"
stop
cmp -s "$work/ebcdic-ascii" "$defaults/ebcdic-ascii" || fail "the default ebcdic-ascii was not copied in"
[ -L "$work/ascii-ebcdic" ] || fail "the user's link ascii-ebcdic was replaced"
[ ! -e "$tmp/elsewhere" ] || fail "a table was written through the user's link"
[ -d "$work/input" ] || fail "no input folder under HOME"
[ ! -e "$tmp/relative" ] || fail "the relative XDG_DATA_HOME was used"

finish
