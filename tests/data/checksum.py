"""A checksum of all the values of a file of records, one way per source:
raw (mavik-convert -r output, default separator), csv (its -o csv), or
separated (values apart by 0x1F, records ended by 0x1E, in UTF-8)."""
import csv
import hashlib
import io
import sys

WIDTHS = [1, 3, 8, 15, 4, 6, 6, 6, 2, 2, 1, 1, 4, 1]


def raw(path):
    data = open(path, "rb").read()
    line = sum(WIDTHS) + 13 + 2
    for at in range(0, len(data), line):
        values, pos = [], at
        for n, w in enumerate(WIDTHS):
            field = data[pos:pos + w]
            values.append(field.hex().upper() if n == 12 else field.decode("cp1251", errors="replace"))
            pos += w + 1
        yield values


def from_csv(path):
    with open(path, encoding="utf-8", newline="") as f:
        rows = csv.reader(f)
        next(rows)
        for row in rows:
            yield row[2:]


def separated(path):
    text = open(path, encoding="utf-8", newline="").read()
    # psql ends the last record with a line feed rather than the separator.
    if text.endswith("\n"):
        text = text[:-1] + "\x1e"
    for record in text.split("\x1e"):
        if record:
            yield record.split("\x1f")


source = {"raw": raw, "csv": from_csv, "separated": separated}[sys.argv[1]]
digest, count = hashlib.sha256(), 0
for values in source(sys.argv[2]):
    assert len(values) == 14, values
    digest.update(("\x1f".join(values) + "\x1e").encode("utf-8"))
    count += 1
print(count, digest.hexdigest())
