"""Writes BLOCKS blocks of ASCII call records to PATH for the loading test."""
import random
import sys

WIDTHS = [1, 3, 8, 15, 4, 6, 6, 6, 2, 2, 1, 1, 4, 1]
# Text that data tools must take as it is: separators, quotes, letters of
# windows-1251 and its one undefined byte.
ODD = [b",", b'"', b"\xc0", b"\xe9", b"\x98", b" ", b"F"]

blocks, path = int(sys.argv[1]), sys.argv[2]
rng = random.Random(12)
out = bytearray()
for b in range(blocks):
    out += b"HDR%05d" % b
    for r in range(34):
        rec = bytearray()
        for n, w in enumerate(WIDTHS):
            if n == 12:
                rec += bytes(rng.choice([0x0D, 0x0A, 0x09, 0x22, 0x2C, rng.randrange(256)]) for _ in range(4))
            else:
                rec += b"".join(rng.choice(ODD) if rng.random() < 0.2 else b"%d" % rng.randrange(10)
                                for _ in range(w))
        if r % 7 == 0:
            rec[0:1] = b"F"
        out += rec
open(path, "wb").write(bytes(out))
