#!/usr/bin/env bash
# End-to-end checks of mavik-convert on the bundled samples and tables.
# usage: cli_test.sh MAVIK_CONVERT DATA_DIR
set -uo pipefail

convert=$1
data=$(cd "$2" && pwd)
tables=$data/codetables
ascii=$data/samples/calls-ascii.cdr
ebcdic=$data/samples/calls-ebcdic.cdr
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"

failures=0
passes=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        passes=$((passes + 1))
    else
        echo "FAIL: $what" >&2
        failures=$((failures + 1))
    fi
}
# run EXPECTED_STATUS ARGS...: runs the converter, keeping stderr in $work/err
run() {
    local want=$1
    shift
    "$convert" -q "$@" >"$work/out" 2>"$work/err"
    local got=$?
    [ "$got" -eq "$want" ] || { echo "exit $got, wanted $want: $*" >&2; cat "$work/err" >&2; return 1; }
}
size() { stat -c %s "$1"; }
blocks=3
image=$((blocks * 2048))

# --- statistics and usage ---
check "stats" [ "$("$convert" --stats "$ascii")" = "size=7144 blocks=3 records=102" ]
check "help" run 0 --help
check "no input is a usage error" run 2
check "unknown option" run 2 --bogus "$ascii"
check "bad input type" run 2 -i latin "$ascii" out.txt
echo keep >existing.txt
check "usage error leaves output alone" run 2 -o paper "$ascii" existing.txt
check "... untouched" [ "$(cat existing.txt)" = keep ]

# --- the four modes ---
check "mode 1: EBCDIC to binary ASCII" run 0 -T "$tables" -o binary "$ebcdic" m1.asc
check "mode 1 gives the ASCII sample's whole blocks" cmp -s m1.asc <(head -c $image "$ascii")
check "mode 11: ASCII to binary EBCDIC" run 0 -T "$tables" -i ascii -o binary "$ascii" m11.ebs
check "mode 11 gives the EBCDIC sample's whole blocks" cmp -s m11.ebs <(head -c $image "$ebcdic")
check "mode 0: EBCDIC to text" run 0 -T "$tables" "$ebcdic" m0.txt
check "mode 10: ASCII to text" run 0 -i ascii "$ascii" m10.txt
check "modes 0 and 10 agree" cmp -s m0.txt m10.txt
check "first line is the worked example" \
    [ "$(head -n 1 m10.txt)" = $'2*017*4951    *0123456789     *07/12*23:59:59*00:01:30*000090*01*02*3*4*2B41H7A30H*5\r' ]
records_not_f=$(for ((b = 0; b < blocks; b++)); do for ((r = 0; r < 34; r++)); do
    dd if="$ascii" bs=1 skip=$((b * 2048 + 8 + r * 60)) count=1 2>/dev/null; echo; done; done | grep -vc '^F$')
check "formatted lines leave F records out" [ "$(size m10.txt)" -eq $((records_not_f * 86)) ]

# --- separators and layouts ---
check "raw lines" run 0 -i ascii -r "$ascii" raw.txt
check "raw lines are 75 bytes each" [ "$(size raw.txt)" -eq $((blocks * 34 * 75)) ]
check "three-character separator" run 0 -i ascii -r -s '<|>' "$ascii" sep3.txt
check "... 99 characters a line" [ "$(size sep3.txt)" -eq $((blocks * 34 * 101)) ]
check "tab separator" run 0 -i ascii -t -s ignored "$ascii" tab.txt
check "... thirteen tabs a line" [ "$(head -n 1 tab.txt | tr -cd '\t' | wc -c)" -eq 13 ]
check "empty separator, raw" run 0 -i ascii -r -s '' "$ascii" empty.txt
check "... is the block image" cmp -s empty.txt <(head -c $image "$ascii")
check "binary ignores text options" run 0 -T "$tables" -o binary -r -t -s xyz "$ebcdic" opts.asc
check "... same image" cmp -s opts.asc m1.asc

# --- names ---
mkdir -p data.old
cp "$ebcdic" data.old/calls.1.cdr
check "derived name" run 0 -T "$tables" -o binary data.old/calls.1.cdr
check "... cut in the file name, not the folder" [ -f data.old/calls.asc ]

# --- failures create nothing and lose nothing ---
mkdir -p empty-cwd
check "mode 10 needs no table" bash -c "cd empty-cwd && '$convert' -q -i ascii '$ascii' out.txt"
check "missing table fails" bash -c "cd empty-cwd && '$convert' -q '$ebcdic' t0.txt 2>err; [ \$? -eq 1 ] && grep -q 'Cannot open file ebcdic-ascii' err && [ ! -e t0.txt ]"
mkdir -p folder-table/ebcdic-ascii
check "a folder for a table fails" run 1 -T folder-table "$ebcdic" t1.txt
check "... as one that cannot be opened" grep -q "Cannot open file ebcdic-ascii" err
check "... and creates nothing" [ ! -e t1.txt ]
check "missing input" run 1 -i ascii missing.cdr existing.txt
check "... says so" grep -q "missing.cdr: File not found" err
check "... output untouched" [ "$(cat existing.txt)" = keep ]
cp "$ascii" own.cdr
ln -s own.cdr link.txt
check "output through a link to the input" run 1 -i ascii own.cdr link.txt
check "... refused" grep -q "link.txt: File access denied (it is the input file)" err
check "... input intact" cmp -s own.cdr "$ascii"
check "full device" run 1 -i ascii "$ascii" /dev/full
check "... reported" grep -q "/dev/full: I/O error 28" err
check "folder as input" run 1 -i ascii "$work" out.txt
cp "$ascii" readonly.cdr
chmod a-w readonly.cdr
check "read-only input converts" run 0 -i ascii readonly.cdr ro.txt
check "... same text" cmp -s ro.txt m10.txt

# --- the trailing partial block is reported ---
"$convert" -i ascii "$ascii" tail.txt 2>err
check "tail warning" grep -q "last 1000 bytes (from offset 6144)" err

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
