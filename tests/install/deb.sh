#!/usr/bin/env bash
# `cpack -G DEB` makes mavik_<version>_<arch>.deb: its files, their owners
# and modes, its fields (dependencies from shlibdeps, Qt's translations
# recommended, maintainer, description), and no lintian error.
#   deb.sh BUILD-DIR VERSION PROGRAM...
set -u
source "$(dirname "$0")/check.sh"
build=$(cd "$1" && pwd) version=$2
shift 2
programs=("$@" mavik-launcher)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

if ! cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    fail "cpack failed"
    finish
fi
deb=$out/mavik_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { fail "no $(basename "$deb"): $(ls "$out")"; finish; }

dpkg-deb --contents "$deb" >"$out/contents"
listed() { grep -qE " \./usr/$1( -> .*)?\$" "$out/contents"; }
for program in "${programs[@]}"; do
    listed "bin/$program" || fail "no usr/bin/$program"
    listed "share/man/man1/$program\.1\.gz" || fail "no manual page for $program"
    grep -qE "^-rwxr-xr-x root/root .* \./usr/bin/$program\$" "$out/contents" ||
        fail "usr/bin/$program is not rwxr-xr-x root/root"
done
for file in share/mavik/info.txt share/mavik/codetables/ebcdic-ascii \
    share/mavik/codetables/ascii-ebcdic share/mavik/codetables/cyrillic/ebcdic-ascii \
    share/mavik/codetables/cyrillic/ascii-ebcdic share/applications/mavik.desktop \
    share/icons/hicolor/scalable/apps/mavik.svg share/icons/hicolor/48x48/apps/mavik.png \
    share/bash-completion/completions/mavik-convert share/doc/mavik/copyright \
    share/doc/mavik/changelog.gz share/doc/mavik/README.md share/doc/mavik/docs/viewers.md \
    share/doc/mavik/docs/mavik-window.png; do
    listed "$file" || fail "no usr/$file"
done
outside=$(awk '{print $6}' "$out/contents" | grep -vE '^\./(usr/.*)?$')
[ -z "$outside" ] || fail "files outside /usr: $outside"
grep -vE '^((d|-)r[-w][-x]r-[-x]r-[-x]|lrwxrwxrwx) root/root ' "$out/contents" | grep . &&
    fail "entries above are not root-owned, or are writable by others"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), not $version"
field Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt libraries: $(field Depends)"
field Depends | grep -q 'libc6 (>=' || fail "Depends lacks a versioned libc6: $(field Depends)"
# Qt's own dialogs read in Russian only with its translations installed.
[ "$(field Recommends)" = "qt6-translations-l10n" ] ||
    fail "Recommends is '$(field Recommends)', not qt6-translations-l10n"
field Maintainer | grep -qE '^[^<]+ <[^@>]+@[^>]+>$' || fail "Maintainer is '$(field Maintainer)'"
[ "$(field Description | wc -l)" -gt 3 ] || fail "the description has no extended text"
# Stripped: no debugging sections in the programs.
dpkg-deb --extract "$deb" "$out/root"
for program in "$@"; do
    file "$out/root/usr/bin/$program" | grep -q ', stripped' || fail "usr/bin/$program is not stripped"
done

if command -v lintian >/dev/null; then
    lintian --allow-root --fail-on error "$deb" || fail "lintian reports errors"
else
    fail "lintian is not installed"
fi

finish
