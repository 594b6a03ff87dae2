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
    # Away from :99, where every other xvfb-run -a on the machine starts;
    # under load a fresh server now and then refuses the first client, which
    # the run inside tells by status 75: a second server then.
    for attempt in 1 2; do
        xvfb-run -a -n $((200 + RANDOM % 600)) -s "-screen 0 1024x768x24" bash "$0" "$@"
        status=$?
        [ "$status" -eq 75 ] || exit "$status"
        echo "the display refused the program (attempt $attempt)"
    done
    exit 1
fi

export QT_QPA_PLATFORM=xcb
# Only matters in the sanitizer build.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp ${LSAN_OPTIONS:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 256 /dev/zero >"$work/ebcdic-ascii"
head -c 256 /dev/zero >"$work/ascii-ebcdic"
cd "$work"

"$mavik" 2>"$work/stderr" &
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
    cat "$work/stderr"
    if grep -q "could not connect to display" "$work/stderr"; then
        kill -KILL "$pid" 2>/dev/null
        exit 75
    fi
    echo "FAIL: no window named MAVIK appeared"
    xwininfo -root -tree
    kill -KILL "$pid" 2>/dev/null
    exit 1
fi
xwininfo -name MAVIK | grep -E "Width|Height"
cat "$work/stderr"

kill -TERM "$pid"
wait "$pid"
status=$?
if [ "$status" -ne 0 ]; then
    echo "FAIL: mavik exited with status $status after SIGTERM"
    exit 1
fi
echo "PASS: window shown, clean exit"
