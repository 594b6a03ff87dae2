#!/usr/bin/env bash
# What the install put where: the programs, the shared data (the same bytes
# as in data/), the gzipped manual pages of the project's version, which man
# and groff render without a warning, README.md and docs/ with every
# relative link of theirs resolving, the icon, a menu entry that
# desktop-file-validate accepts and whose Exec is installed, the version
# from the project, and the completion of mavik-convert.
#   files.sh PREFIX SOURCE-DIR VERSION PROGRAM...
set -u
source "$(dirname "$0")/check.sh"
prefix=$(cd "$1" && pwd) source=$(cd "$2" && pwd) version=$3
shift 3
programs=("$@" mavik-launcher)

for program in "${programs[@]}"; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not an installed program"
    page=$prefix/share/man/man1/$program.1.gz
    if ! gzip -t "$page" 2>/dev/null; then
        fail "no gzipped manual page for $program"
    elif ! zcat "$page" | grep -q "^\.TH .* \"MAVIK $version\""; then
        fail "$page is not a manual page of MAVIK $version"
    else
        # As man shows it on a terminal, and as groff sets it for print.
        warnings=$({
            LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >/dev/null
            zcat "$page" | groff -ww -man -z
        } 2>&1)
        [ -z "$warnings" ] || fail "the manual page of $program renders with warnings: $warnings"
    fi
done
zcat "$prefix/share/man/man1/mavik.1.gz" | grep -q 'XDG_DATA_HOME' ||
    fail "mavik.1 does not name the working folder"

data=$prefix/share/mavik
for table in ebcdic-ascii ascii-ebcdic cyrillic/ebcdic-ascii cyrillic/ascii-ebcdic; do
    cmp -s "$data/codetables/$table" "$source/data/codetables/$table" ||
        fail "codetables/$table is not the one of data/"
done
cmp -s "$data/info.txt" "$source/data/info.txt" || fail "share/mavik/info.txt is not data/info.txt"

# The documents, as in the source, where their links to one another still work.
doc=$prefix/share/doc/mavik
for file in README.md docs/*.md docs/*.png data/README.md bench/README.md; do
    for each in "$source"/$file; do
        name=${each#"$source"/}
        cmp -s "$each" "$doc/$name" || fail "share/doc/mavik/$name is not the $name of the source"
    done
done
while IFS= read -r page; do
    # [text](target): the targets that are files of ours, without their #part.
    grep -o '\]([^)]*)' "$page" | sed 's/^](//; s/)$//; s/#.*//' | grep -vE '^([a-z]+:|$)' |
        while IFS= read -r target; do
            [ -e "$(dirname "$page")/$target" ] ||
                echo "FAIL: ${page#"$doc"/} links to $target, which is not installed"
        done
done < <(find "$doc" -name '*.md') | grep . && fail "links of the installed documents lead nowhere"

icons=$prefix/share/icons/hicolor
grep -q '<svg' "$icons/scalable/apps/mavik.svg" 2>/dev/null || fail "no scalable icon"
file "$icons/48x48/apps/mavik.png" 2>/dev/null | grep -q 'PNG image data, 48 x 48' ||
    fail "no 48x48 PNG icon"

entry=$prefix/share/applications/mavik.desktop
if ! desktop-file-validate "$entry"; then
    fail "desktop-file-validate rejects $entry"
fi
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ -x "$prefix/bin/${exec_line%% *}" ] || fail "the menu entry runs '$exec_line', which is not installed"
grep -q '^Comment\[ru\]=' "$entry" || fail "the menu entry has no Russian comment"
grep -q '^Icon=mavik$' "$entry" || fail "the menu entry does not name the icon"

shown=$("$prefix/bin/mavik-convert" --version)
[ "$shown" = "mavik-convert (MAVIK) $version" ] ||
    fail "mavik-convert --version says '$shown', the project is at $version"

# The completion, as bash calls it: words so far, the index of the current one.
completion=$prefix/share/bash-completion/completions/mavik-convert
complete_words() {
    (
        PATH=$prefix/bin:$PATH
        source "$completion"
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        _mavik_convert mavik-convert
        echo "${COMPREPLY[*]}"
    )
}
[ "$(complete_words mavik-convert --ta)" = "--tab --tables" ] ||
    fail "--ta completes to '$(complete_words mavik-convert --ta)'"
[ "$(complete_words mavik-convert -i '')" = "ebcdic ascii" ] ||
    fail "-i completes to '$(complete_words mavik-convert -i '')'"

finish
