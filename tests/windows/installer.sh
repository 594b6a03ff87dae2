#!/usr/bin/env bash
# The Windows installer under Wine, in a throw-away prefix of its own: a
# silent install lays out the files and the shortcut, the installed window
# starts from the shortcut, the installed converter converts like the Linux
# build, and the uninstaller removes what was laid down and nothing else.
# Run inside an X server (xvfb-run): the window needs one.
# usage: installer.sh MAVIK-SETUP_EXE LINUX_CONVERT DATA_DIR [MAVIK_EXE]
# MAVIK_EXE: the window the installer must hold; without it, it must hold none.
set -uo pipefail

setup=$1
linux=$2
data=$(cd "$3" && pwd)
window_exe=${4:-}
export WINEPREFIX
WINEPREFIX=$(mktemp -d)
# No Mono or Gecko prompts; no menu entries made in the real desktop's menu.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEDEBUG=-all
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX" "$work"' EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
# Waits for every program of the prefix to end; one that hangs (a dialog
# where none should be) fails the step instead of the whole run.
settle() {
    timeout 120 wineserver -w && return
    fail "$1: still running after 120 s"
    wineserver -k
}

wineboot -i >/dev/null 2>&1
# No window manager: without this every window waits for one.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
settle "the prefix"

c=$WINEPREFIX/drive_c
dir=$c/Program\ Files/MAVIK
lnk=$c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/MAVIK.lnk
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\MAVIK'
# The prefix's files but its temporary ones: the uninstaller runs from a copy there.
listing() { (cd "$c" && find . -path './users/*/Temp' -prune -o -print | sort); }
listing >"$work/before"

timeout 120 wine "$setup" /S 2>"$work/err" || fail "the silent install: exit $?: $(head -n 3 "$work/err")"
settle "the silent install"

# The laid-out files, exactly, and the data byte for byte.
expected=(info.txt licence.txt mavik-convert.exe README.md uninstall.exe
    codetables codetables/ascii-ebcdic codetables/ebcdic-ascii
    codetables/cyrillic codetables/cyrillic/ascii-ebcdic codetables/cyrillic/ebcdic-ascii)
[ -n "$window_exe" ] && expected+=(MAVIK.exe)
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
(cd "$dir" 2>/dev/null && find . -mindepth 1 | sed 's|^\./||' | sort) >"$work/laid"
if diff "$work/expected" "$work/laid" >"$work/diff"; then ok "files laid out"; else fail "files laid out:"; cat "$work/diff"; fi
[ -n "$window_exe" ] && ! cmp -s "$window_exe" "$dir/MAVIK.exe" && fail "MAVIK.exe is not the one built"
for f in info.txt codetables/ebcdic-ascii codetables/ascii-ebcdic \
    codetables/cyrillic/ebcdic-ascii codetables/cyrillic/ascii-ebcdic; do
    cmp -s "$data/$f" "$dir/$f" || fail "$f differs from data/$f"
done
wine reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no uninstall entry $key"

# The shortcut starts the window in the folder of the default pair; with
# the tables missing there it would first show "Cannot open file ...",
# captioned "MAVIK v.1.0.1", and no window named "MAVIK" until answered.
if [ -n "$window_exe" ]; then
    if [ ! -f "$lnk" ]; then
        fail "no Start-menu shortcut"
    else
        shown=
        timeout 60 wine start /unix "$lnk" || shown="start: exit $?"
        for _ in $(seq 120); do
            [ -n "$shown" ] && break
            if xdotool search --onlyvisible --name '^MAVIK v' >/dev/null 2>&1; then
                shown=box
                break
            fi
            if xdotool search --onlyvisible --name '^MAVIK$' >/dev/null 2>&1; then
                shown=window
                break
            fi
            sleep 0.5
        done
        case $shown in
            window) ok "the window starts from the shortcut" ;;
            box) fail "the window starts with an error box (tables not in its working folder?)" ;;
            start*) fail "the shortcut does not start ($shown)" ;;
            *) fail "no window named MAVIK within 60 s" ;;
        esac
        wine taskkill /f /im MAVIK.exe >/dev/null 2>&1
        settle "the window"
    fi
else
    echo "skipped: the window (this installer holds no MAVIK.exe)"
    [ -e "$lnk" ] && fail "a shortcut without the window"
fi

# The installed converter, in the installed tables' folder as the window
# would be, and with the Cyrillic pair named.
sample=$data/samples/calls-ebcdic.cdr
cp "$sample" "$work/in.cdr"
"$linux" -q -T "$data/codetables" -i ebcdic -o text "$sample" "$work/linux.txt"
"$linux" -q -T "$data/codetables/cyrillic" -i ebcdic -o text -r "$sample" "$work/linux-cyr.txt"
(cd "$dir/codetables" && wine ../mavik-convert.exe -q -i ebcdic -o text "$work/in.cdr" "$work/win.txt" 2>"$work/err")
status=$?
if [ $status -eq 0 ] && cmp -s "$work/linux.txt" "$work/win.txt"; then
    ok "the installed converter converts with the installed default pair"
else
    fail "installed converter, default pair: exit $status, $(cmp "$work/linux.txt" "$work/win.txt" 2>&1 | head -n 1): $(cat "$work/err")"
fi
(cd "$dir" && wine mavik-convert.exe -q -T codetables/cyrillic -i ebcdic -o text -r "$work/in.cdr" "$work/win-cyr.txt" 2>"$work/err")
status=$?
if [ $status -eq 0 ] && cmp -s "$work/linux-cyr.txt" "$work/win-cyr.txt"; then
    ok "the installed converter converts with the installed Cyrillic pair"
else
    fail "installed converter, Cyrillic pair: exit $status, $(cmp "$work/linux-cyr.txt" "$work/win-cyr.txt" 2>&1 | head -n 1): $(cat "$work/err")"
fi

# A file of the user's in the install folder stays, and with it the folder;
# all else the installer made goes, and nothing else of the prefix does.
echo mine >"$dir/mine.txt"
timeout 120 wine "$dir/uninstall.exe" /S 2>"$work/err" || fail "the silent uninstall: exit $?: $(head -n 3 "$work/err")"
settle "the silent uninstall"
if [ "$(cat "$dir/mine.txt" 2>/dev/null)" = mine ]; then ok "the user's file stays"; else fail "the user's file was removed"; fi
rm -f "$dir/mine.txt"
rmdir "$dir" 2>/dev/null
if diff "$work/before" <(listing) >"$work/diff"; then
    ok "the uninstaller removes what it laid down and nothing else"
else
    fail "the prefix after uninstalling differs from before installing (< gone, > left):"
    cat "$work/diff"
fi
wine reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry $key is left"

[ $failures -eq 0 ] && echo "installer: all passed"
[ $failures -eq 0 ]
