#!/usr/bin/env bash
# Runs the Linux and the Windows mavik-convert on the same files in every
# mode and layout and compares the output bytes. A failed case shows each
# side's exit status and standard error; only Wine's own transport failures
# are retried (wine-run.sh), a real difference fails at once.
# usage: compare-builds.sh LINUX_CONVERT WINDOWS_CONVERT_EXE GENSAMPLE DATA_DIR [BIG_MIB]
set -uo pipefail

linux=$1
windows=$2
gen=$3
data=$(cd "$4" && pwd)
big_mib=${5:-64}
wine=${MAVIK_WINE:-wine}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/wine-run.sh"
# Wine's server ends 3 s after its last process, and the next start pays
# 1-2 s for a new one: a run after a long gap (two large outputs compared,
# the Linux run) would time Wine's start, not the converter. Kept up for
# the whole comparison, every run times the same thing.
if command -v wineserver >/dev/null; then
    wineserver -p
    trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT
fi

failures=0
passes=0
tables=$data/codetables

# Inputs: the samples, one with a trailing partial block, and a large file.
inputs=("$data"/samples/*.cdr)
"$gen" --blocks $((big_mib * 512)) --seed 7 "$work/big-ascii.cdr"
"$gen" --blocks $((big_mib * 512)) --seed 7 --ebcdic "$tables/ascii-ebcdic" "$work/big-ebcdic.cdr"
inputs+=("$work/big-ascii.cdr" "$work/big-ebcdic.cdr")

layouts=(
    "-o text"
    "-o text -s ;"
    "-o text -t"
    "-o text --separator="  # empty: header bytes before the records
    "-o text -r"
    "-o text -r -t"
    "-o text -r --separator="
    "-o binary"
)

compare() {  # compare NAME INPUT OPTIONS...
    local name=$1 input=$2
    shift 2
    local t0 t1 t2
    t0=$(date +%s.%N)
    "$linux" -q -T "$tables" "$@" "$input" "$work/linux.out" 2>"$work/linux.err"
    local sl=$?
    t1=$(date +%s.%N)
    wine_run "$name" /dev/null "$work/windows.err" "$windows" -q -T "$tables" "$@" "$input" "$work/windows.out"
    local sw=$?
    t2=$(date +%s.%N)
    # Every run here must succeed: two builds failing alike compare nothing.
    if [ $sl -ne 0 ] || [ $sw -ne 0 ]; then
        say_failure "$name" "a run failed" Linux $sl "$work/linux.err" Windows $sw "$work/windows.err"
        failures=$((failures + 1))
    elif ! cmp -s "$work/linux.out" "$work/windows.out"; then
        say_failure "$name" "outputs differ ($(cmp "$work/linux.out" "$work/windows.out" 2>&1 | head -n 1))"
        failures=$((failures + 1))
    else
        passes=$((passes + 1))
        if [ "${input##*/big}" != "$input" ]; then
            printf '%-48s %6s MiB  linux %.2f s  windows %.2f s\n' "$name" \
                $(($(stat -c %s "$input") >> 20)) "$(awk "BEGIN{print $t1 - $t0}")" "$(awk "BEGIN{print $t2 - $t1}")"
        fi
    fi
    rm -f "$work/linux.out" "$work/windows.out" "$work/linux.err" "$work/windows.err"
}

for input in "${inputs[@]}"; do
    for type in ebcdic ascii; do
        for layout in "${layouts[@]}"; do
            # shellcheck disable=SC2086
            compare "$(basename "$input") -i $type $layout" "$input" -i $type $layout
        done
    done
done

# Bytes a text-mode C runtime would change: 0x1A (end of file), CR LF and
# 0xFF, in the input and in a code table (reversed: 0x1A at entry 0xE5).
mkdir -p "$work/reversed"
perl -e 'print pack("C*", reverse 0 .. 255)' >"$work/reversed/ebcdic-ascii"
cp "$work/reversed/ebcdic-ascii" "$work/reversed/ascii-ebcdic"
perl -e 'print((pack("C*", 0 .. 255) . "\x1a\r\n\xff" x 8) x 30)' >"$work/awkward.cdr"
tables=$work/reversed
for type in ebcdic ascii; do
    for layout in "${layouts[@]}"; do
        # shellcheck disable=SC2086
        compare "awkward.cdr -i $type $layout" "$work/awkward.cdr" -i $type $layout
    done
done
tables=$data/codetables

# A file past 4 GiB (sparse): measured and converted alike.
truncate -s $(((5 << 30) + 2048 * 3 + 77)) "$work/huge.cdr"
same() {  # same NAME LINUX_TEXT WINDOWS_TEXT WINDOWS_STATUS WINDOWS_ERR
    if [ "$4" -eq 0 ] && [ "$2" = "$3" ]; then
        passes=$((passes + 1))
    else
        say_failure "$1" "$(printf '\n  linux:   %s\n  windows: %s' "$2" "$3")" Windows "$4" "$5"
        failures=$((failures + 1))
    fi
}
wine_run "--stats" "$work/windows.out" "$work/windows.err" "$windows" --stats "$work/huge.cdr"
sw=$?
same "--stats of a 5 GiB file" "$("$linux" --stats "$work/huge.cdr")" \
    "$(tr -d '\r' <"$work/windows.out")" $sw "$work/windows.err"
# The summary line is the last of standard error.
wine_run "5 GiB" /dev/null "$work/windows.err" "$windows" -o binary -T "$tables" "$work/huge.cdr" /dev/null
sw=$?
same "a 5 GiB file converted" \
    "$("$linux" -o binary -T "$tables" "$work/huge.cdr" /dev/null 2>&1 | tail -n 1)" \
    "$(tr -d '\r' <"$work/windows.err" | tail -n 1)" $sw "$work/windows.err"

echo "$passes passed, $failures failed, $wine_retries runs retried after a Wine transport failure"
[ $failures -eq 0 ]
