#!/usr/bin/env bash
# `cmake --install` from a Release build such as scripts/run makes: a build
# folder where nothing is built yet is refused with the list of what is
# missing and nothing copied; once mavik_installable is built (what
# scripts/run builds) the install is whole. The window is left out so that
# only the engine and mavik-convert are compiled; BUILD-DIR is kept between
# runs, so that a second run compiles only what changed.
#   release_build.sh CMAKE SOURCE-DIR BUILD-DIR
set -u
source "$(dirname "$0")/check.sh"
cmake=$1 source=$(cd "$2" && pwd) release=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build=$work/build

configure() { "$cmake" -S "$source" -B "$1" -DCMAKE_BUILD_TYPE=Release -DMAVIK_WITH_UI=OFF >/dev/null; }
configure "$build" || { fail "configure"; finish; }

if "$cmake" --install "$build" --prefix "$work/early" >"$work/out" 2>&1; then
    fail "an install of nothing built succeeded"
fi
grep -q "Not built yet, so nothing was installed" "$work/out" || fail "the refusal does not say so: $(cat "$work/out")"
for missing in cli/mavik-convert dist/man/mavik.1.gz dist/man/mavik-convert.1.gz dist/doc/changelog.gz; do
    grep -qF "$build/$missing" "$work/out" || fail "the refusal does not name $missing"
done
grep -qF -- "--target mavik_installable" "$work/out" || fail "the refusal does not say what to build"
[ -z "$(find "$work/early" -type f 2>/dev/null)" ] || fail "the refused install copied files"

configure "$release" || { fail "configure $release"; finish; }
"$cmake" --build "$release" --parallel "$(nproc)" --target mavik_installable >"$work/out" 2>&1 ||
    { fail "building mavik_installable: $(tail -5 "$work/out")"; finish; }
"$cmake" --install "$release" --prefix "$work/prefix" >"$work/out" 2>&1 ||
    fail "the install after mavik_installable failed: $(cat "$work/out")"
for file in bin/mavik-convert bin/mavik-launcher share/man/man1/mavik.1.gz share/man/man1/mavik-convert.1.gz \
    share/doc/mavik/changelog.gz share/mavik/codetables/ebcdic-ascii; do
    [ -e "$work/prefix/$file" ] || fail "$file not installed"
done
"$work/prefix/bin/mavik-convert" --version | grep -q "^mavik-convert (MAVIK) " || fail "the installed mavik-convert does not run"
finish
