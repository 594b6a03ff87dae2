#!/usr/bin/env bash
# Starts the real program under Xvfb in a folder with both code tables,
# waits until its window "MAVIK" is on the screen, asks it to end with
# SIGTERM and expects a clean exit.
#   window_starts.sh PATH-TO-MAVIK
set -u
mavik=$1

if [ -z "${MAVIK_INSIDE_XVFB:-}" ]; then
    for tool in xvfb-run xwininfo; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    export MAVIK_INSIDE_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

export QT_QPA_PLATFORM=xcb
# Only matters in the sanitizer build.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp ${LSAN_OPTIONS:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 256 /dev/zero >"$work/ebcdic-ascii"
head -c 256 /dev/zero >"$work/ascii-ebcdic"
cd "$work"

"$mavik" &
pid=$!

shown=
for _ in $(seq 100); do
    if xwininfo -name MAVIK 2>/dev/null | grep -q "Map State: IsViewable"; then
        shown=yes
        break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$shown" ]; then
    echo "FAIL: no window named MAVIK appeared"
    xwininfo -root -tree
    kill -KILL "$pid" 2>/dev/null
    exit 1
fi
xwininfo -name MAVIK | grep -E "Width|Height"

kill -TERM "$pid"
wait "$pid"
status=$?
if [ "$status" -ne 0 ]; then
    echo "FAIL: mavik exited with status $status after SIGTERM"
    exit 1
fi
echo "PASS: window shown, clean exit"
