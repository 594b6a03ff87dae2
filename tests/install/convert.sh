#!/usr/bin/env bash
# The installed mavik-convert, given the installed default tables, writes the
# same bytes as the build tree's with data/codetables; without -T, in a
# folder without tables, it uses the installed default tables and says so in
# one line naming their folder.
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
"$installed" -q "$samples/calls-ebcdic.cdr" out.txt 2>error.txt ||
    fail "a conversion in a folder without tables failed: $(cat error.txt)"
[ "$(cat error.txt)" = "mavik-convert: no code tables in the current folder; using the installed ones in $prefix/share/mavik/codetables" ] ||
    fail "the message does not say the installed tables were used: $(cat error.txt)"
cmp out.txt ../built.formatted || fail "the output is not the one the default tables give"

finish
