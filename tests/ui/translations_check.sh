#!/bin/bash
# Every translation is finished, and in step with the sources: no entry
# unfinished, obsolete or vanished, and lupdate over the sources (run on a
# copy) changes nothing. The main form's texts are Russian by design and
# are not offered for translation, so only .cpp and .h files are read.
#   translations_check.sh LUPDATE SOURCE_DIR
set -u
lupdate=$1
root=$2
status=0
mapfile -t sources < <(cd "$root" && find ui view -name '*.cpp' -o -name '*.h' | sort; echo MAVIK.cpp)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for ts in "$root"/translations/*.ts; do
    if grep -nE 'type="(unfinished|obsolete|vanished)"' "$ts"; then
        echo "FAIL: $ts has unfinished, obsolete or vanished entries" >&2
        status=1
    fi
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    (cd "$root" && "$lupdate" -silent -locations none "${sources[@]}" -ts "$copy") || status=1
    if ! diff -u "$ts" "$copy"; then
        echo "FAIL: $ts is not in step with the sources; run lupdate -locations none over ui, view and MAVIK.cpp" >&2
        status=1
    fi
done
exit $status
