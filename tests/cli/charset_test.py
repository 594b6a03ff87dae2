"""The tables' character set through mavik-convert, with each pair we ship.

For every byte whose character differs between windows-1251 and ISO-8859-1,
and 0x98 (undefined in windows-1251), an EBCDIC file holds the byte the pair
turns into it. Its CSV, read back with the csv module, must be the raw
output decoded in the pair's set; a -w value and a -s separator typed in
UTF-8 must be the pair's bytes; a pair that does not say its set gets
windows-1251 and a warning, a "charset" file or --charset says otherwise.

usage: charset_test.py MAVIK_CONVERT DATA_DIR
"""
import csv
import io
import os
import shutil
import subprocess
import sys
import tempfile

convert, data = sys.argv[1], sys.argv[2]
failures = 0


def check(what, ok, detail=""):
    global failures
    if not ok:
        failures += 1
        print(f"FAIL: {what} {detail}", file=sys.stderr)


def decode(raw, charset):
    # windows-1251 leaves 0x98 undefined: the CSV writes U+FFFD for it.
    return raw.decode(charset, errors="replace")


DIFFERING = [b for b in range(0x80, 0x100)
             if bytes([b]).decode("latin-1") != bytes([b]).decode("cp1251", errors="replace")]
assert 0x98 in DIFFERING and 0xE9 in DIFFERING and 0xA0 not in DIFFERING
WIDTHS = [1, 3, 8, 15, 4, 6, 6, 6, 2, 2, 1, 1, 4, 1]
TEXT = 3  # field 4: 15 bytes of the differing ones per record


def records(table):
    """EBCDIC blocks whose field 4 runs through the differing bytes after recoding."""
    inverse = {table[e]: e for e in range(256)}
    wanted = list(DIFFERING)
    out = bytearray()
    while wanted:
        block = bytearray(inverse[b] for b in b"HEADER00")
        for r in range(34):
            ascii_side = bytearray()
            for n, w in enumerate(WIDTHS):
                if n == TEXT:
                    part, wanted[:] = wanted[:w], wanted[w:]
                    ascii_side += bytes(part) + b"0" * (w - len(part))
                    # Field 1, the one text field: E9 in one record.
                    if r == 1 and not out:
                        ascii_side[0:1] = b"\xe9"
                elif n == 12:
                    ascii_side += b"\x00\x00\x00\x00"
                else:
                    ascii_side += b"1" * w
            # Field 13 is binary and never recoded.
            ebcdic = bytearray(inverse[b] for b in ascii_side)
            ebcdic[55:59] = b"\x2b\x41\x7a\x30"
            block += ebcdic
        out += block
    return bytes(out)


def run(*args, cwd):
    return subprocess.run([convert, *args], cwd=cwd, capture_output=True)


work = tempfile.mkdtemp()
try:
    for folder, charset, typed in (("codetables", "latin-1", "é"), ("codetables/cyrillic", "cp1251", "й")):
        tables = os.path.join(data, folder)
        table = open(os.path.join(tables, "ebcdic-ascii"), "rb").read()
        cdr = os.path.join(work, "calls.cdr")
        open(cdr, "wb").write(records(table))

        got = run("-q", "-T", tables, "-r", "-s", "|", cdr, "raw.txt", cwd=work)
        check(f"{folder}: raw output", got.returncode == 0, got.stderr)
        raw = open(os.path.join(work, "raw.txt"), "rb").read().split(b"\r\n")[:-1]
        got = run("-T", tables, "-o", "csv", cdr, "calls.csv", cwd=work)
        check(f"{folder}: csv output", got.returncode == 0, got.stderr)
        undefined = sum(line.count(b"\x98") for line in raw) if charset == "cp1251" else 0
        said = f"{undefined} byte that windows-1251 leaves undefined" in got.stderr.decode()
        check(f"{folder}: the undefined bytes are counted", said == (undefined > 0), got.stderr)
        check(f"{folder}: no word on the set of a pair we ship", b"character set" not in got.stderr, got.stderr)
        with open(os.path.join(work, "calls.csv"), encoding="utf-8", newline="") as f:
            rows = list(csv.reader(f))[1:]
        check(f"{folder}: a row per record", len(rows) == len(raw), f"{len(rows)} rows, {len(raw)} lines")
        for i, (row, line) in enumerate(zip(rows, raw)):
            fields = [value.hex().upper() if n == 12 else decode(value, charset)
                      for n, value in enumerate(line.split(b"|"))]
            check(f"{folder}: row {i + 1} is the raw line in {charset}", row[2:] == fields, f"{row[2:]} != {fields}")

        # A condition typed in UTF-8 compares the pair's bytes.
        got = run("-q", "-T", tables, "-r", "-s", "|", "-w", f"1={typed}", cdr, "where.txt", cwd=work)
        selected = [line for line in raw if line.split(b"|")[0] == typed.encode(charset)]
        lines = open(os.path.join(work, "where.txt"), "rb").read().split(b"\r\n")[:-1]
        check(f"{folder}: -w 1={typed} selects the records holding it", lines == selected and len(selected) == 1,
              f"{len(lines)} selected, {len(selected)} expected")
        # A separator typed in UTF-8 is written as the pair's bytes.
        got = run("-q", "-T", tables, "-r", "-s", typed, cdr, "sep.txt", cwd=work)
        first = open(os.path.join(work, "sep.txt"), "rb").read().split(b"\r\n")[0]
        check(f"{folder}: -s {typed} is the pair's byte", first.split(typed.encode(charset))[1] == b"111", first)

    # A pair that does not say its set: windows-1251, said; a "charset"
    # file or --charset names another.
    plain = os.path.join(work, "plain")
    os.mkdir(plain)
    for name in ("ebcdic-ascii", "ascii-ebcdic"):
        table = bytearray(open(os.path.join(data, "codetables", name), "rb").read())
        table[0], table[1] = table[1], table[0]  # no longer the shipped pair
        open(os.path.join(plain, name), "wb").write(table)
    cdr = os.path.join(work, "calls.cdr")
    open(cdr, "wb").write(records(open(os.path.join(plain, "ebcdic-ascii"), "rb").read()))
    for extra, charset, warned in (([], "cp1251", True), (["--charset", "ISO-8859-1"], "latin-1", False),
                                   (["--charset", "latin1"], "latin-1", False)):
        got = run("-q", "-T", plain, *extra, "-o", "csv", cdr, "plain.csv", cwd=work)
        rows = list(csv.reader(io.StringIO(open(os.path.join(work, "plain.csv"), encoding="utf-8", newline="").read())))
        check(f"unsaid pair {extra}: field 4 in {charset}", rows[1][5] == decode(bytes(DIFFERING[:15]), charset), rows[1])
        check(f"unsaid pair {extra}: the default is said", ("do not say their character set" in got.stderr.decode()) == warned,
              got.stderr)
    open(os.path.join(plain, "charset"), "w").write("ISO-8859-1\n")
    got = run("-q", "-T", plain, "-o", "csv", cdr, "file.csv", cwd=work)
    rows = list(csv.reader(open(os.path.join(work, "file.csv"), encoding="utf-8", newline="")))
    check("a charset file names the set", rows[1][5] == decode(bytes(DIFFERING[:15]), "latin-1") and not got.stderr, got.stderr)
    open(os.path.join(plain, "charset"), "w").write("koi8-r\n")
    got = run("-T", plain, "-o", "csv", cdr, "bad.csv", cwd=work)
    check("a charset file naming no set we know fails", got.returncode == 1 and b"koi8-r" in got.stderr, got.stderr)
    got = run("-T", plain, "--charset", "koi8-r", cdr, "bad.txt", cwd=work)
    check("--charset naming no set we know is a usage error", got.returncode == 2 and b"koi8-r" in got.stderr, got.stderr)
finally:
    shutil.rmtree(work)

print("charset_test: %s" % ("FAILED" if failures else "ok"))
sys.exit(1 if failures else 0)
