#!/usr/bin/env bash
# The Windows window driven by WindowDriver.exe under Wine in Xvfb, in a
# throw-away prefix with Russian message boxes and Tahoma for the form's font.
#   window_test.sh MAVIK.exe WindowDriver.exe mavik-convert.exe DATA_DIR [SHOTS_DIR]
# With SHOTS_DIR it also takes the window's pictures there: at rest, running, after a run.
# With MAVIK_WINDOW_BENCH=MIB (and MAVIK_GENSAMPLE) it times a run instead (bench/run-windows).
set -euo pipefail
exe=$(realpath "$1") driver=$(realpath "$2") convert=$(realpath "$3") data=$(cd "$4" && pwd) shots=${5:-}
wine=${MAVIK_WINE:-wine}

# Inside the X server: the prefix is made there, or its registry is not written.
if [ -n "${MAVIK_WINDOW_FOLDER:-}" ]; then
    folder=$MAVIK_WINDOW_FOLDER
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # Without a window manager, Wine must not wait for one at every box that closes.
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    for font in /usr/share/wine/fonts/tahoma*.ttf /usr/share/wine/fonts/marlett.ttf; do
        [ -e "$font" ] && ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    wineserver -w
    arguments=("$(winepath -w "$exe")" "$(winepath -w "$convert")" "$(winepath -w "$folder")")
    if [ -n "${MAVIK_WINDOW_BENCH:-}" ]; then
        exec "$wine" "$driver" "${arguments[@]}" --bench bench.cdr "${MAVIK_BENCH_RUNS:-3}"
    fi
    if [ -z "$shots" ]; then
        exec "$wine" "$driver" "${arguments[@]}"
    fi
    MAVIK_SHOTS=1 "$wine" "$driver" "${arguments[@]}" | while read -r word name; do
        if [ "$word" = SHOT ]; then
            sleep 1
            import -window root -crop 560x440+222+164 +repage "$shots/$name.png"
        else
            echo "$word $name"
        fi
    done
    exit 0
fi
if ! locale -a | grep -qix 'ru_RU.utf8'; then
    echo "the ru_RU.UTF-8 locale is missing (scripts/common.sh generates it)" >&2
    exit 77
fi
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

# The folder the window runs in: both tables, the samples under input/, a
# file big enough to be stopped, and a folder with one table only.
folder=$work/folder
mkdir -p "$folder/input" "$folder/notable/input"
cp "$data/codetables/ebcdic-ascii" "$data/codetables/ascii-ebcdic" "$folder/"
cp "$data/samples/calls-ebcdic.cdr" "$folder/input/звонки.cdr"
cp "$data/samples/calls-ascii.cdr" "$folder/input/ascii.cdr"
# A run that cannot end before it is stopped: call records first, so that
# the notice has nothing to doubt, then a hole of 16 GiB that costs no disk.
whole=$(( $(stat -c %s "$data/samples/calls-ebcdic.cdr") / 2048 * 2048 ))
head -c "$whole" "$data/samples/calls-ebcdic.cdr" > "$folder/input/big.cdr"
truncate -s 16G "$folder/input/big.cdr"
cp "$data/codetables/ebcdic-ascii" "$folder/notable/"
cp "$data/samples/calls-ascii.cdr" "$folder/notable/input/ascii.cdr"
# bench/run-windows: a generated file of MAVIK_WINDOW_BENCH MiB.
if [ -n "${MAVIK_WINDOW_BENCH:-}" ]; then
    "$MAVIK_GENSAMPLE" --blocks $((MAVIK_WINDOW_BENCH * 512)) --seed 7 --ebcdic "$data/codetables/ascii-ebcdic" \
        "$folder/input/bench.cdr"
fi

MAVIK_WINDOW_FOLDER=$folder xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
