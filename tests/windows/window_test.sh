#!/usr/bin/env bash
# The Windows window driven by WindowDriver.exe under Wine in Xvfb, in a
# throw-away prefix with Russian message boxes and Tahoma for the form's font.
#   window_test.sh MAVIK.exe WindowDriver.exe mavik-convert.exe DATA_DIR [SHOTS_DIR]
# With SHOTS_DIR it instead takes the window's pictures: at rest, running, after a run.
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
    if [ -z "$shots" ]; then
        exec "$wine" "$driver" "$(winepath -w "$exe")" "$(winepath -w "$convert")" "$(winepath -w "$folder")"
    fi
    (cd "$folder" && "$wine" "$exe" &)
    sleep 4
    import -window root "$shots/windows-window.png"
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
truncate -s 512M "$folder/input/big.cdr"
cp "$data/codetables/ebcdic-ascii" "$folder/notable/"
cp "$data/samples/calls-ascii.cdr" "$folder/notable/input/ascii.cdr"

MAVIK_WINDOW_FOLDER=$folder xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
