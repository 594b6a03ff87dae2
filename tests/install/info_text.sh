#!/usr/bin/env bash
# The installed mavik, started from the launcher under Xvfb, hands the
# installed info.txt to the text viewer when its version text is clicked.
# The viewer "Lindor.exe" is a stand-in on PATH that notes its argument.
#   info_text.sh PREFIX
set -u
prefix=$(cd "$1" && pwd -P)

if [ -z "${MAVIK_INSIDE_XVFB:-}" ]; then
    for tool in xvfb-run xwininfo xdotool; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    export MAVIK_INSIDE_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
source "$(dirname "$0")/check.sh"

export QT_QPA_PLATFORM=xcb
export ASAN_OPTIONS="detect_leaks=0 ${ASAN_OPTIONS:-}"
tmp=$(mktemp -d)
trap 'kill -KILL "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
mkdir -p "$tmp/viewer" "$tmp/home"
cat >"$tmp/viewer/Lindor.exe" <<VIEWER
#!/bin/sh
printf '%s\n' "\$@" >"$tmp/viewer/opened"
VIEWER
chmod +x "$tmp/viewer/Lindor.exe"

PATH=$tmp/viewer:$PATH HOME=$tmp/home XDG_DATA_HOME= "$prefix/bin/mavik-launcher" &
pid=$!
window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^MAVIK$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { fail "no window named MAVIK appeared"; finish; }

# The version text lies at (8, 344), 385 x 17, in the 498-pixel-wide form
# laid out at 96 dots per inch; the form may be scaled to the screen.
width=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
x=$((100 * width / 498)) y=$((352 * width / 498))
xdotool mousemove --window "$window" "$x" "$y" click 1
for _ in $(seq 50); do
    [ -s "$tmp/viewer/opened" ] && break
    sleep 0.1
done
opened=$(cat "$tmp/viewer/opened" 2>/dev/null)
[ "$opened" = "$prefix/share/mavik/info.txt" ] ||
    fail "the version text opened '$opened', not the installed $prefix/share/mavik/info.txt"

kill -TERM "$pid"
wait "$pid"
finish
