#!/usr/bin/env bash
# End-to-end checks of mavik-convert on the bundled samples and tables.
# usage: cli_test.sh MAVIK_CONVERT DATA_DIR MAVIK_GENSAMPLE
set -uo pipefail

convert=$1
here=$(cd "$(dirname "$0")" && pwd)
data=$(cd "$2" && pwd)
gensample=$3
tables=$data/codetables
ascii=$data/samples/calls-ascii.cdr
ebcdic=$data/samples/calls-ebcdic.cdr
partial=$data/samples/calls-ascii-partial-block.cdr
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"
# MAVIK_EMULATOR runs a cross-built converter (wine for the Windows build).
if [ -n "${MAVIK_EMULATOR:-}" ]; then
    printf '#!/bin/sh\nexec %q %q "$@"\n' "$MAVIK_EMULATOR" "$convert" >"$work/mavik-convert"
    chmod +x "$work/mavik-convert"
    convert=$work/mavik-convert
fi
# The Windows build ends its --stats lines in CR LF, as console programs
# there do; POSIX-only checks (signals, modes, links) are skipped there.
windows=0
eol=
if [ -n "${MAVIK_EMULATOR:-}" ]; then
    windows=1
    eol=$'\r'
fi
skip() { echo "skipped on Windows: $*"; }

# shellcheck source=../check.sh
source "$(dirname "$0")/../check.sh"
# run EXPECTED_STATUS ARGS...: runs the converter, keeping stderr in $work/err
run() {
    local want=$1
    shift
    "$convert" -q "$@" >"$work/out" 2>"$work/err"
    local got=$?
    # Its lines as a person reads them: on Windows the console's end is CR LF.
    sed -i 's/\r$//' "$work/err"
    [ "$got" -eq "$want" ] || { echo "exit $got, wanted $want: $*" >&2; cat "$work/err" >&2; return 1; }
}
size() { stat -c %s "$1"; }
blocks=3
image=$((blocks * 2048))

# --- statistics and usage ---
check "stats" [ "$("$convert" --stats "$ascii")" = "size=6144 blocks=3 records=102$eol" ]
check "stats of a partial block" [ "$("$convert" --stats "$partial")" = "size=7144 blocks=3 records=102$eol" ]
check "help" run 0 --help
check "no input is a usage error" run 2
check "unknown option" run 2 --bogus "$ascii"
completion=$here/../../cli/mavik-convert.bash-completion
for option in $("$convert" --help | grep -o -- '--[a-z-]*' | sort -u); do
    check "bash completion offers $option" grep -q -- "$option" "$completion"
done
check "the completion completes" bash -c "source '$completion'; COMP_WORDS=(mavik-convert -o b); COMP_CWORD=2; _mavik_convert; [ \"\${COMPREPLY[*]}\" = binary ]"
check "bad input type" run 2 -i latin "$ascii" out.txt
echo keep >existing.txt
check "usage error leaves output alone" run 2 -o paper "$ascii" existing.txt
check "... untouched" [ "$(cat existing.txt)" = keep ]

# --- the four modes ---
check "mode 1: EBCDIC to binary ASCII" run 0 -T "$tables" -o binary "$ebcdic" m1.asc
check "mode 1 gives the ASCII sample" cmp -s m1.asc "$ascii"
check "mode 11: ASCII to binary EBCDIC" run 0 -T "$tables" -i ascii -o binary "$ascii" m11.ebs
check "mode 11 gives the EBCDIC sample" cmp -s m11.ebs "$ebcdic"
check "mode 0: EBCDIC to text" run 0 -T "$tables" "$ebcdic" m0.txt
check "mode 10: ASCII to text" run 0 -i ascii "$ascii" m10.txt
check "modes 0 and 10 agree" cmp -s m0.txt m10.txt
check "first line is the README's example record" \
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
check "... says so" grep -qx "mavik-convert: missing.cdr: cannot open: No such file or directory" err
check "... output untouched" [ "$(cat existing.txt)" = keep ]
cp "$ascii" own.cdr
ln -s own.cdr link.txt
check "output through a link to the input" run 1 -i ascii own.cdr link.txt
check "... refused" grep -qx "mavik-convert: link.txt: not written: it is the input file" err
check "... input intact" cmp -s own.cdr "$ascii"
# Each failure in words, with the system's text and the path: ARGS|LINE.
if [ $windows -eq 0 ]; then
    mkdir -p mem-table names-folder/field-names names-mem
    ln -sf /proc/self/mem mem-table/ebcdic-ascii
    ln -sf /proc/self/mem names-mem/field-names
    while IFS='|' read -r args line; do
        # shellcheck disable=SC2086
        check "fails: $args" run 1 $args
        check "... says: $line" grep -qxF "mavik-convert: $line" err
        check "... and creates nothing" [ ! -e out.txt ]
    done <<EOF_CASES
-i ascii $ascii /dev/full|/dev/full: cannot write: No space left on device
-i ascii $work out.txt|$work: cannot open: Is a directory
-i ascii /proc/self/mem out.txt|/proc/self/mem: cannot read: Input/output error
-T folder-table $ebcdic out.txt|Cannot open file ebcdic-ascii: folder-table/ebcdic-ascii: cannot read: Is a directory (see --tables)
-T mem-table $ebcdic out.txt|Cannot open file ebcdic-ascii: mem-table/ebcdic-ascii: cannot read: Input/output error (see --tables)
-T names-folder -i ascii -o csv $ascii out.txt|names-folder/field-names: cannot read: Is a directory
-T names-mem -i ascii -o csv $ascii out.txt|names-mem/field-names: cannot read: Input/output error
EOF_CASES
else
    skip "failures in the system's words (devices, /proc)"
    check "full device" run 1 -i ascii "$ascii" /dev/full
    check "folder as input" run 1 -i ascii "$work" out.txt
fi
cp "$ascii" readonly.cdr
chmod a-w readonly.cdr
check "read-only input converts" run 0 -i ascii readonly.cdr ro.txt
check "... same text" cmp -s ro.txt m10.txt

# --- the trailing partial block is reported, and only where there is one ---
"$convert" -i ascii "$partial" tail.txt 2>err
check "tail warning" grep -q "last 1000 bytes (from offset 6144)" err
check "... the whole blocks as the sample without it" cmp -s tail.txt m10.txt
"$convert" -i ascii "$ascii" whole.txt 2>err
check "no tail warning for whole blocks" bash -c "! grep -q 'last' '$work/err'"

# --- what a new user runs into ---
check "missing output folder" run 1 -i ascii "$ascii" nosuch/dir/out.txt
check "... says the folder is missing" grep -q "nosuch/dir/out.txt: cannot open: No such file or directory (the folder nosuch/dir does not exist)" err
check "text options with binary output" run 0 -T "$tables" -o binary -r -s x "$ebcdic" warn.asc
check "... are warned about" grep -q "warning: -r, -s do not apply to binary output" err
check "... the same image" cmp -s warn.asc m1.asc
# An input that is not what it is taken for: warned about, refused with
# --strict; call records of the chosen code are not. FILE|-i|SAID, SAID
# empty for no warning.
${MAVIK_EMULATOR:-} "$gensample" --blocks 40 --seed 7 gen-ascii.cdr
${MAVIK_EMULATOR:-} "$gensample" --blocks 40 --seed 7 --ebcdic "$tables/ascii-ebcdic" gen-ebcdic.cdr
head -c 1000000 /dev/urandom >rand.cdr
for _ in 1 2 3 4 5 6; do cat "$here/cli_test.sh"; done >text.cdr
python3 -c "import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z: z.writestr('r', os.urandom(100000))" zip.cdr
# Every record type F, every byte F but field 13, in each code.
python3 -c "import sys
for name, f in (('f-ascii.cdr', b'F'), ('f-ebcdic.cdr', b'\xc6')):
    record = f * 55 + b'\xff' * 4 + f
    open(name, 'wb').write((b'0' * 8 + record * 34) * 3)"
looks_ebcdic="its records look like EBCDIC, not ASCII (-i ascii)"
looks_ascii="its records look like ASCII, not EBCDIC (-i ebcdic)"
no_records="it does not look like call records: neither EBCDIC nor ASCII digits make up its first blocks"
while IFS='|' read -r file code said; do
    check "$file as $code converts" run 0 -T "$tables" -i "$code" "$file" doubt.txt
    if [ -z "$said" ]; then
        check "... without a warning about it" bash -c "! grep -q look '$work/err'"
        check "... also with --strict" run 0 -T "$tables" -i "$code" --strict "$file" doubt.txt
    else
        check "... with the warning: $said" grep -qxF "mavik-convert: warning: $file: $said; converting as asked" err
        rm -f doubt.txt
        check "... with --strict fails" run 1 -T "$tables" -i "$code" --strict "$file" doubt.txt
        check "... saying so" grep -qxF "mavik-convert: $file: $said; not converted (--strict)" err
        check "... and writes nothing" [ ! -e doubt.txt ]
    fi
done <<EOF_CASES
$ebcdic|ebcdic|
$ascii|ascii|
$partial|ascii|
gen-ascii.cdr|ascii|
gen-ebcdic.cdr|ebcdic|
f-ascii.cdr|ascii|
f-ebcdic.cdr|ebcdic|
$ascii|ebcdic|$looks_ascii
$ebcdic|ascii|$looks_ebcdic
rand.cdr|ebcdic|$no_records
rand.cdr|ascii|$no_records
text.cdr|ebcdic|$no_records
text.cdr|ascii|$no_records
zip.cdr|ebcdic|$no_records
zip.cdr|ascii|$no_records
m10.txt|ebcdic|it looks like a text output of MAVIK, not call records
m10.txt|ascii|it looks like a text output of MAVIK, not call records
EOF_CASES
check "separator in windows-1251" run 0 -i ascii -s "€" "$ascii" euro.txt
check "... one byte 0x88" [ "$(head -n 1 euro.txt | od -An -tx1 | tr -s ' \n' ' ' | cut -d' ' -f3)" = 88 ]
check "... thirteen of them a line" [ "$(head -n 1 euro.txt | tr -cd '\210' | wc -c)" -eq 13 ]
check "a separator windows-1251 lacks" run 2 -i ascii -s "中" "$ascii" cjk.txt
check "... is named" grep -q '"中"' err
check "... nothing created" [ ! -e cjk.txt ]
check "ASCII separator keeps its bytes" run 0 -i ascii -s '*' "$ascii" star.txt
check "... same as the default" cmp -s star.txt m10.txt

# --- several files ---
mkdir -p many
cat "$ascii" "$ascii" "$ascii" >three.cdr
for i in 1 2 3 4 5 6; do head -c $((i * 2048 + i * 100)) three.cdr >many/f$i.cdr; done
for i in 1 2 3 4 5 6; do "$convert" -q -i ascii many/f$i.cdr single$i.txt; done
for j in 1 2 5; do
    check "-d with -j $j" run 0 -i ascii -d out$j -j $j many/f*.cdr
    for i in 1 2 3 4 5 6; do
        check "... f$i the same bytes as alone (-j $j)" cmp -s out$j/f$i.txt single$i.txt
    done
done
"$convert" -i ascii -d sum many/f1.cdr missing1.cdr many/f2.cdr missing2.cdr -j 1 2>err
check "a missing file fails the batch" [ $? -eq 1 ]
check "... the others converted" cmp -s sum/f2.txt single2.txt
check "... each failure named, in the order given" \
    [ "$(grep -o 'missing[12].cdr: cannot open' err | tr '\n' ' ')" = "missing1.cdr: cannot open missing2.cdr: cannot open " ]
check "... a summary" grep -q "2 files converted, 2 failed" err
mkdir -p clash/a clash/b
cp "$ascii" clash/a/calls.cdr
cp "$ascii" clash/b/calls.1.cdr
check "a name clash is a usage error" run 2 -i ascii -d clashout clash/a/calls.cdr clash/b/calls.1.cdr
check "... naming both" grep -q '"clash/a/calls.cdr" and "clash/b/calls.1.cdr" would both give clashout/calls.txt' err
check "... creating nothing" [ ! -e clashout ]
# A day's folder of dated names: cut at the first "." they clash, the
# message names --last-dot, and with it each keeps its own name.
mkdir -p day
cp "$ascii" day/sw1.20240712.cdr
cp "$ascii" day/sw1.20240713.cdr
check "dated names clash by default" run 2 -i ascii -d dayout day/sw1.20240712.cdr day/sw1.20240713.cdr
check "... naming the option that keeps them apart" grep -q 'would both give dayout/sw1.txt (--last-dot' err
check "--last-dot keeps them apart" run 0 -i ascii --last-dot -d dayout day/sw1.20240712.cdr day/sw1.20240713.cdr
check "... each under its dated name" cmp -s dayout/sw1.20240712.txt dayout/sw1.20240713.txt
check "three files without -d" run 2 -i ascii many/f1.cdr many/f2.cdr many/f3.cdr
check "- with -d" run 2 -i ascii -d x - many/f1.cdr
check "stats of several" [ "$("$convert" --stats many/f1.cdr many/f2.cdr)" = \
    "$(printf 'many/f1.cdr: size=2148 blocks=1 records=34%s\nmany/f2.cdr: size=4296 blocks=2 records=68%s' "$eol" "$eol")" ]
check "stats of standard input" [ "$("$convert" --stats - <"$partial")" = "size=7144 blocks=3 records=102$eol" ]

# --- standard input and output, every mode, with the trailing part ---
declare -A mode_args=([m0]="-T $tables" [m1]="-T $tables -o binary" [m10]="-i ascii" [m11]="-T $tables -i ascii -o binary")
cat "$ebcdic" <(head -c 1000 "$ebcdic") >ebcdic-partial.cdr
declare -A mode_input=([m0]=$work/ebcdic-partial.cdr [m1]=$work/ebcdic-partial.cdr [m10]=$partial [m11]=$partial)
for m in m0 m1 m10 m11; do
    in=${mode_input[$m]}
    # shellcheck disable=SC2086
    "$convert" -q ${mode_args[$m]} "$in" file-$m.out
    # shellcheck disable=SC2086
    check "$m: stdin to stdout" bash -c "cat '$in' | '$convert' -q ${mode_args[$m]} - - >'$work/pipe-$m.out' 2>'$work/err'"
    check "... same bytes as file to file" cmp -s pipe-$m.out file-$m.out
    check "... the part left out is told" grep -q "standard input: The last 1000 bytes (from offset 6144)" err
    # shellcheck disable=SC2086
    check "$m: stdin without OUTPUT writes stdout" bash -c "'$convert' -q ${mode_args[$m]} - <'$in' >'$work/std-$m.out' 2>/dev/null"
    check "... same bytes" cmp -s std-$m.out file-$m.out
    # shellcheck disable=SC2086
    check "$m: file to stdout" bash -c "'$convert' -q ${mode_args[$m]} '$in' - >'$work/fo-$m.out' 2>/dev/null"
    check "... same bytes" cmp -s fo-$m.out file-$m.out
done
check "nothing but the output on stdout" bash -c "'$convert' -i ascii - - <'$partial' 2>/dev/null | cmp -s - '$work/file-m10.out'"

# A large enough output that the reader's going away is seen.
for _ in $(seq 400); do head -c "$image" "$ascii"; done >big.cdr
if [ $windows -eq 0 ]; then
    "$convert" -i ascii big.cdr - 2>err | head -c 100 >/dev/null
    check "a reader that goes away ends the run through SIGPIPE" [ "${PIPESTATUS[0]}" -eq 141 ]
    check "... quietly" [ ! -s err ]
else
    skip "a reader that goes away (no SIGPIPE there)"
fi

# --- outputs replaced only on success ---
echo keep >perm.txt
chmod 640 perm.txt
check "permission bits kept" run 0 -i ascii "$ascii" perm.txt
if [ $windows -eq 0 ]; then
    check "... 640" [ "$(stat -c %a perm.txt)" = 640 ]
else
    skip "permission bits (none there)"
fi
check "... new content" cmp -s perm.txt m10.txt
if [ $windows -eq 0 ]; then
    echo keep >real.txt
    ln -s real.txt symlink.txt
    check "a link as OUTPUT" run 0 -i ascii "$ascii" symlink.txt
    check "... stays a link" [ -L symlink.txt ]
    check "... its target replaced" cmp -s real.txt m10.txt
else
    skip "a symbolic link as OUTPUT (Wine cannot make one)"
fi
check "/dev/null as OUTPUT" run 0 -i ascii "$ascii" /dev/null
mkfifo fifo.out
# Bounded, so that a run which never opens the FIFO fails instead of hanging.
timeout 60 cat fifo.out >from-fifo.txt &
check "a FIFO as OUTPUT" run 0 -i ascii "$ascii" fifo.out
wait
check "... gets the bytes" cmp -s from-fifo.txt m10.txt
cp "$ascii" звонки.cdr
check "a Cyrillic file name" run 0 -i ascii -d cyr звонки.cdr
check "... gives an output named alike" cmp -s cyr/звонки.txt m10.txt
if [ $windows -eq 0 ]; then
    mkdir a-folder
    printf 'keep\0these\r\nbytes' >keep.txt
    cp keep.txt keep.orig
    check "a read that fails (standard input is a folder) fails the run" run 1 -i ascii - keep.txt <a-folder
    check "... and keeps the old OUTPUT byte for byte" cmp -s keep.txt keep.orig
    check "... and leaves no temporary" [ -z "$(find . -maxdepth 1 -name '.keep.txt.mavik-*')" ]
else
    skip "standard input that is a folder"
fi
check "no temporary left anywhere" [ -z "$(find . -name '.*.mavik-*')" ]

# Signals in the middle of a run: signal_test.py, which can see how the
# process ended.

# --- --where: only the selected records ---
check "where: a malformed condition is a usage error naming it" run 2 -T "$tables" -w '15=1' "$ebcdic" w.txt
check "where: ... and names the condition" grep -q '"15=1"' "$work/err"
check "where: with binary output is a usage error" run 2 -T "$tables" -o binary -w '1=2' "$ebcdic" w.asc
check "where: ... that creates nothing" [ ! -e w.txt ] && [ ! -e w.asc ]
"$convert" -T "$tables" -i ascii -w '1!=F' -w '5>=0700' "$ascii" w-all.txt 2>err-where
check "where: stderr says how many were selected" bash -c "tr -d '\\r' <err-where | grep -Eq '^mavik-convert: [0-9]+ of 102 records selected\$'"
"$convert" -q -T "$tables" -i ascii "$ascii" all.txt
selected=$(grep -c '' w-all.txt)
expected=$(awk -F'*' '$1 != "F" && $5 >= "07/00"' all.txt | grep -c '')
check "where: the lines are those the conditions select ($selected)" [ "$selected" -eq "$expected" ] && [ "$selected" -gt 0 ]
check "where: with -q nothing on stderr" run 0 -T "$tables" -i ascii -w '1=2' "$ascii" w-q.txt
check "where: ... really nothing" [ ! -s "$work/err" ]
run 0 -T "$tables" -i ascii -r -s '' -w '2=999' "$ascii" w-none.txt
check "where: no selected record, no block header" [ "$(size w-none.txt)" -eq 0 ]
# A value in the formatted line's form selects the same records.
run 0 -T "$tables" -i ascii -w '5=0712' "$ascii" w-plain.txt
run 0 -T "$tables" -i ascii -w '5=07/12' "$ascii" w-slash.txt
check "where: 5=0712 selects records" [ -s w-plain.txt ]
check "where: 5=07/12 selects the same" cmp -s w-plain.txt w-slash.txt
run 0 -T "$tables" -i ascii -r -w '6>=12:00:00' -w '13^=2B41H' "$ascii" w-colon.txt
run 0 -T "$tables" -i ascii -r -w '6>=120000' -w '13^=2B41' "$ascii" w-nocolon.txt
check "where: 6>=12:00:00 and 13^=2B41H select as 6>=120000 and 13^=2B41" cmp -s w-colon.txt w-nocolon.txt
# A condition that cannot hold says so, and the run goes on.
check "where: a condition that never matches still runs" run 0 -T "$tables" -i ascii -w '1=FF' "$ascii" w-never.txt
# (Windows ends the line in CR LF.)
check "where: ... and says why" bash -c "tr -d '\\r' <\"\$1\" | grep -qxF \"\$2\"" - "$work/err" \
    "mavik-convert: warning: condition '1=FF' can never match: field 1 holds 1 character, the value \"FF\" has 2"
check "where: ... writing nothing" [ ! -s w-never.txt ]
# A value that is not of its field's kind is refused before anything runs.
check "where: a time that is not hhmmss is a usage error" run 2 -T "$tables" -i ascii -w '7>=5:00' "$ascii" w-kind.txt
check "where: ... naming the field, its kind and an example" bash -c "tr -d '\\r' <\"\$1\" | grep -qxF \"\$2\"" - "$work/err" \
    "mavik-convert: --where: condition \"7>=5:00\": field 7 holds a time, hhmmss or hh:mm:ss, for example 000130 or 00:01:30 (try 'mavik-convert --help')"
check "where: ... creating nothing" [ ! -e w-kind.txt ]

# --- -o csv ---
mkdir csvdir
cp "$ascii" csvdir/day.cdr
run 0 -T "$tables" -i ascii -o csv csvdir/day.cdr
check "csv: the derived name ends in .csv" [ -s csvdir/day.csv ]
check "csv: a header and a row per record, type F too" [ "$(grep -c '' csvdir/day.csv)" -eq 103 ]
check "csv: the header" [ "$(head -1 csvdir/day.csv)" = $'block,record,field1,field2,field3,field4,field5,field6,field7,field8,field9,field10,field11,field12,field13,field14\r' ]
check "csv: every line ends in CR LF" [ "$(grep -c $'\r$' csvdir/day.csv)" -eq 103 ]
check "csv: the first row is block 1, record 1" grep -q $'^1,1,' csvdir/day.csv
run 0 -T "$tables" -i ascii -r csvdir/day.cdr csvdir/day-raw.txt
# The values of a raw output, field 13 in hex, are the CSV's less its numbers.
raw_values=$(python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
widths = [1, 3, 8, 15, 4, 6, 6, 6, 2, 2, 1, 1, 4, 1]
line = sum(widths) + 13 + 2
for at in range(0, len(data), line):
    rec, out, pos = data[at:at + line], [], 0
    for n, w in enumerate(widths):
        v = rec[pos:pos + w]
        out.append(v.hex().upper() if n == 12 else v.decode("latin-1"))
        pos += w + 1
    print(",".join(out))' csvdir/day-raw.txt | md5sum)
csv_values=$(tail -n +2 csvdir/day.csv | tr -d '\r' | cut -d, -f3- | md5sum)
check "csv: the values are the raw output's, field 13 in hex" [ "$raw_values" = "$csv_values" ]
check "csv: -r does not apply and says so" run 0 -T "$tables" -i ascii -o csv -r csvdir/day.cdr csvdir/r.csv
check "csv: ... on stderr" grep -q -- '-r does not apply to CSV output' "$work/err"
run 0 -T "$tables" -i ascii -o csv -w '2=999' csvdir/day.cdr csvdir/none.csv
check "csv: an empty selection gives the header alone" [ "$(grep -c '' csvdir/none.csv)" -eq 1 ]
# CSV pieces: by default only the piece from block 1 has the header, so that
# they join; with --piece-header each has it, for loading one by one.
for header in "" --piece-header; do
    for range in 1:1 2:2; do
        run 0 -T "$tables" -i ascii -o csv $header --blocks $range csvdir/day.cdr "csvdir/piece$header-${range%:*}.csv"
    done
done
check "csv pieces: joined are the whole" cmp -s <(cat csvdir/piece-1.csv csvdir/piece-2.csv) csvdir/day.csv
check "csv pieces: the later piece starts with a record" grep -q '^2,1,' <(head -1 csvdir/piece-2.csv)
check "--piece-header: the later piece starts with the header" \
    [ "$(head -1 csvdir/piece--piece-header-2.csv)" = "$(head -1 csvdir/day.csv)" ]
check "... then its records" cmp -s <(tail -n +2 csvdir/piece--piece-header-2.csv) csvdir/piece-2.csv
check "--piece-header goes with -o csv only" run 2 -i ascii --piece-header --blocks 2:1 csvdir/day.cdr csvdir/p.txt
run 0 -T "$tables" -i ascii -o csv -w '5=07/12' csvdir/day.cdr csvdir/slash.csv
run 0 -T "$tables" -i ascii -o csv -w '5=0712' csvdir/day.cdr csvdir/plain.csv
check "csv: -w selects, in either form" cmp -s csvdir/slash.csv csvdir/plain.csv
cp -r "$tables" named
printf '%s\n' type prefix a b date begin end length c d e f binary g >named/field-names
run 0 -T named -i ascii -o csv csvdir/day.cdr csvdir/named.csv
check "csv: field-names name the header" [ "$(head -1 csvdir/named.csv)" = $'block,record,type,prefix,a,b,date,begin,end,length,c,d,e,f,binary,g\r' ]
printf 'one\ntwo\n' >named/field-names
check "csv: field-names of 2 lines is an error" run 1 -T named -i ascii -o csv csvdir/day.cdr csvdir/bad.csv
check "csv: ... naming the file" grep -qE 'named[/\\]field-names' "$work/err"
"$convert" -T "$tables" -i ascii csvdir/day.cdr csvdir/day-fmt.txt 2>err-fmt
check "formatted: the summary counts lines and type-F records left out" \
    grep -Eq '3 blocks \(102 records read, [0-9]+ lines written, [0-9]+ type-F left out\)' err-fmt

# --- the installed default tables, when the current folder has none ---
if [ "$windows" -eq 0 ]; then
    mkdir -p inst/bin inst/share/mavik empty
    cp "$convert" inst/bin/mavik-convert
    cp -r "$tables" inst/share/mavik/codetables
    (cd empty && "$work/inst/bin/mavik-convert" -q "$ebcdic" "$work/inst.txt" 2>"$work/err-inst")
    check "installed tables: used from a folder without tables" cmp -s inst.txt file-m0.out
    check "installed tables: ... said in one line naming the folder" \
        [ "$(cat err-inst)" = "mavik-convert: no code tables in the current folder; using the installed ones in $work/inst/share/mavik/codetables" ]
else
    skip "installed tables"
fi

# --- --blocks: pieces of one file join into its whole output ---
for m in m0 m1 m10 m11; do
    in=${mode_input[$m]}   # 3 blocks and 1000 bytes more
    for cut in "1:3" "1:1 2:2" "1:2 3:1" "1:1 2:1 3:1"; do
        : >joined-$m.out
        n=0
        for range in $cut; do
            n=$((n + 1))
            # shellcheck disable=SC2086
            "$convert" -q ${mode_args[$m]} --blocks "$range" "$in" piece-$n.out 2>err-$n
            cat piece-$n.out >>joined-$m.out
        done
        check "$m: blocks $cut joined are the whole output" cmp -s joined-$m.out file-$m.out
        check "... the trailing part told once, by the last piece" \
            [ "$(cat err-* | grep -c 'The last 1000 bytes')" -eq 1 ] && grep -q 'The last 1000 bytes' err-$n
        rm -f err-*
    done
    # shellcheck disable=SC2086
    check "$m: a range of standard input" bash -c "'$convert' -q ${mode_args[$m]} --blocks 2:2 - - <'$in' >'$work/std-range.out' 2>/dev/null"
    # shellcheck disable=SC2086
    "$convert" -q ${mode_args[$m]} --blocks 2:2 "$in" file-range.out 2>/dev/null
    check "... the same bytes as that range of the file" cmp -s std-range.out file-range.out
done
rm -f range.txt
check "blocks: a range past the end fails the file" run 1 -i ascii --blocks 3:2 "$partial" range.txt
check "... saying so" grep -q "calls-ascii-partial-block.cdr: blocks 3-4 asked for, but the input has 3 whole blocks" err
check "... and makes no output" [ ! -e range.txt ]
check "blocks: a first block past the end" run 1 -i ascii --blocks 4:1 "$partial" range.txt
check "blocks: past the end of standard input" bash -c "'$convert' -q -i ascii --blocks 2:5 - range.txt <'$partial' 2>'$work/err'; [ \$? -eq 1 ]"
check "... saying so" grep -q "standard input: blocks 2-6 asked for, but the input has 3 whole blocks" err
check "... and makes no output" [ ! -e range.txt ]
check "blocks: with -d, the same range of each file" run 0 -i ascii --blocks 1:1 -d range-d many/f1.cdr many/f2.cdr
check "... the first block of each" cmp -s range-d/f1.txt single1.txt && cmp -s range-d/f2.txt single1.txt
check "blocks: stats of a range" [ "$("$convert" --stats --blocks 2:2 "$partial")" = "size=4096 blocks=2 records=68$eol" ]
check "blocks: stats of a range of standard input" [ "$("$convert" --stats --blocks 3:1 - <"$partial")" = "size=2048 blocks=1 records=34$eol" ]
check "blocks: stats of a range past the end" run 1 --stats --blocks 3:2 "$partial"
check "... saying so" grep -q "blocks 3-4 asked for, but the input has 3 whole blocks" err
for bad in 0:1 1 :1 1: -1:2 1:-1 1:2x 1:1:1; do
    check "blocks: \"$bad\" is a usage error" run 2 -i ascii --blocks "$bad" "$partial" range.txt
    check "... saying what is wanted" grep -q "FIRST from 1 (blocks counted from 1) and COUNT from 0" err
done
check "blocks: an empty range at the end" run 0 -i ascii --blocks 4:0 "$partial" range.txt
check "... is an empty piece" [ -e range.txt ] && [ ! -s range.txt ]

checks_done
