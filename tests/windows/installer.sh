#!/usr/bin/env bash
# The Windows installer under Wine, in a throw-away prefix of its own: a
# silent install lays out the files, the shortcut starts the installed
# window, the installed converter converts like the Linux build, and the
# uninstaller removes what was laid down and nothing else. Run inside an X
# server (xvfb-run).
# usage: installer.sh MAVIK-SETUP_EXE MAVIK_EXE LINUX_CONVERT DATA_DIR
set -uo pipefail
setup=$1 window=$2 linux=$3 data=$(cd "$4" && pwd)
work=$(mktemp -d)
# No Mono or Gecko prompts; no entries in the real desktop's menu.
export WINEPREFIX=$work/prefix WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Waits for the prefix's programs to end: one that hangs (a dialog where
# none should be) fails its step, not the whole run.
settle() { timeout 120 wineserver -w || { fail "$1: still running after 120 s"; wineserver -k; }; }
# wine_step NAME PROGRAM ARGS...: a step that must succeed.
wine_step() {
    local name=$1
    shift
    timeout 120 wine "$@" 2>"$work/err" || fail "$name: exit $?: $(head -n 3 "$work/err")"
    settle "$name"
}

wineboot -i >/dev/null 2>&1
# No window manager: without this every window waits for one.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
settle "the prefix"
c=$WINEPREFIX/drive_c dir=$WINEPREFIX/drive_c/Program\ Files/MAVIK
lnk=$c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/MAVIK.lnk
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\MAVIK'
# All of the prefix but its temporary files: the uninstaller runs from a copy there.
listing() { (cd "$c" && find . -path './users/*/Temp' -prune -o -print | sort); }
listing >"$work/before"

wine_step "the silent install" "$setup" /S
# Exactly these, the data and the window byte for byte.
same=(info.txt codetables/{,cyrillic/}{ebcdic-ascii,ascii-ebcdic})
names=(licence.txt mavik-convert.exe README.md uninstall.exe codetables codetables/cyrillic MAVIK.exe)
diff <(printf '%s\n' "${names[@]}" "${same[@]}" | sort) <(cd "$dir" && find . -mindepth 1 -printf '%P\n' | sort) ||
    fail "the files laid out (< missing, > not expected)"
for f in "${same[@]}"; do cmp -s "$data/$f" "$dir/$f" || fail "$f is not the one shipped"; done
cmp -s "$window" "$dir/MAVIK.exe" || fail "MAVIK.exe is not the one built"
wine reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no uninstall entry $key"

# The shortcut starts the window in the folder of the default pair: without
# the tables there it would show the box "MAVIK v.1.0.1" ("Cannot open file
# ebcdic-ascii") instead of its window "MAVIK".
if [ ! -f "$lnk" ]; then
    fail "no Start-menu shortcut"
else
    shown=
    timeout 60 wine start /unix "$lnk" || shown="the shortcut does not start: exit $?"
    for _ in $(seq 120); do
        [ -n "$shown" ] && break
        xdotool search --onlyvisible --name '^MAVIK$' >/dev/null && shown=ok
        xdotool search --onlyvisible --name '^MAVIK v' >/dev/null && shown="an error box instead of the window"
        sleep 0.5
    done
    [ "$shown" = ok ] || fail "the window from the shortcut: ${shown:-none within 60 s}"
    wine taskkill /f /im MAVIK.exe >/dev/null 2>&1
    settle "the window"
fi

# The installed converter, as the shortcut would start it and with the
# Cyrillic pair named: folder | tables | options.
cp "$data/samples/calls-ebcdic.cdr" "$work/in.cdr"
for row in "codetables||-i ebcdic -o text" ".|codetables/cyrillic|-i ebcdic -o text -r"; do
    IFS='|' read -r folder tables options <<<"$row"
    # shellcheck disable=SC2086
    "$linux" -q -T "$data/${tables:-codetables}" $options "$work/in.cdr" "$work/linux.txt"
    # shellcheck disable=SC2086
    (cd "$dir/$folder" && wine "$dir/mavik-convert.exe" -q ${tables:+-T $tables} $options "$work/in.cdr" "$work/win.txt" 2>"$work/err")
    status=$?
    [ $status -eq 0 ] && cmp -s "$work/linux.txt" "$work/win.txt" ||
        fail "installed converter in $folder ${tables:+-T $tables} $options: exit $status, $(cmp "$work/linux.txt" "$work/win.txt" 2>&1): $(cat "$work/err")"
done

# A file of the user's stays, and with it the folder; the rest goes, and
# nothing else of the prefix.
echo mine >"$dir/mine.txt"
# Once in some 30 runs Wine's start of the uninstaller's copy of itself ended
# with exit 1 and nothing removed: that case, and only that, gets one more start.
if ! timeout 120 wine "$dir/uninstall.exe" /S 2>"$work/err"; then
    settle "the silent uninstall"
    if [ -e "$dir/uninstall.exe" ] && [ -e "$dir/MAVIK.exe" ]; then
        echo "the silent uninstall ended having removed nothing: started once more"
        wine_step "the silent uninstall, again" "$dir/uninstall.exe" /S
    else
        fail "the silent uninstall failed part way: $(head -n 3 "$work/err")"
    fi
fi
settle "the silent uninstall"
[ "$(cat "$dir/mine.txt" 2>/dev/null)" = mine ] || fail "the user's file was removed"
rm -f "$dir/mine.txt" && rmdir "$dir" 2>/dev/null
diff "$work/before" <(listing) || fail "the prefix after uninstalling (< gone, > left)"
wine reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry $key is left"

echo "installer: $failures failed"
[ $failures -eq 0 ]
