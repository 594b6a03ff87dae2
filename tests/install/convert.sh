#!/usr/bin/env bash
# The installed mavik-convert, given the installed default tables, writes the
# same bytes as the build tree's with data/codetables; without tables it
# fails, creates nothing and names the installed default folder.
#   convert.sh PREFIX SOURCE-DIR BUILT-MAVIK-CONVERT
set -u
source "$(dirname "$0")/check.sh"
prefix=$(cd "$1" && pwd) source=$(cd "$2" && pwd) built=$(realpath "$3")
installed=$prefix/bin/mavik-convert
samples=$source/data/samples
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

while IFS="|" read -r name input options; do
    # shellcheck disable=SC2086  # the options are words
    "$built" -q -T "$source/data/codetables" $options "$samples/$input" "built.$name" ||
        fail "$name: the build tree's mavik-convert failed"
    # shellcheck disable=SC2086
    "$installed" -q -T "$prefix/share/mavik/codetables" $options "$samples/$input" "installed.$name" ||
        fail "$name: the installed mavik-convert failed"
    cmp "built.$name" "installed.$name" || fail "$name: the outputs differ"
done <<'CASES'
formatted|calls-ebcdic.cdr|-i ebcdic
raw-tab|calls-ebcdic.cdr|-r -t
to-ascii|calls-ebcdic.cdr|-o binary
to-ebcdic|calls-ascii.cdr|-i ascii -o binary
CASES

mkdir empty && cd empty
if "$installed" -q "$samples/calls-ebcdic.cdr" out.txt 2>error.txt; then
    fail "a conversion without tables succeeded"
fi
grep -qF "$prefix/share/mavik/codetables" error.txt ||
    fail "the message does not name the installed tables: $(cat error.txt)"
[ ! -e out.txt ] || fail "a conversion without tables created its output"

finish
