#!/usr/bin/env bash
# GNU parallel running mavik-convert once per file gives the same bytes as
# one mavik-convert -d run over the same files: the README's recipe for
# volume rests on it.
# usage: parallel_test.sh MAVIK_CONVERT DATA_DIR
set -euo pipefail

convert=$1
data=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

mkdir in
for f in "$data"/samples/*.cdr; do
    name=$(basename "$f" .cdr)
    cp "$f" "in/$name.cdr"
    head -c 4096 "$f" >"in/$name-head.cdr"   # and a second, different file of each
done
count=$(ls in | wc -l)

for mode in "" "-o binary" "-r -t"; do
    rm -rf by-d by-parallel
    # shellcheck disable=SC2086
    "$convert" -q -T "$data/codetables" $mode -d by-d in/*.cdr
    mkdir by-parallel
    ext=txt
    [ "$mode" = "-o binary" ] && ext=asc
    # shellcheck disable=SC2086
    parallel --will-cite -j2 --halt now,fail=1 "$convert" -q -T "$data/codetables" $mode {} "by-parallel/{/.}.$ext" ::: in/*.cdr
    [ "$(ls by-d | wc -l)" -eq "$count" ] || { echo "FAIL ($mode): -d made $(ls by-d | wc -l) of $count files" >&2; exit 1; }
    for f in by-d/*; do
        cmp "$f" "by-parallel/$(basename "$f")" || { echo "FAIL ($mode): $f differs" >&2; exit 1; }
    done
    echo "mode '${mode:-text}': $count files, the same bytes"
done
