#!/usr/bin/env python3
"""Writes seed corpora for tests/fuzz/corpus from data/samples and a few
hand-written cases. Inputs that fuzzing found are kept beside them in the
same folders (named found-*) and are not touched here."""
import os
import struct
import sys

ROOT = os.path.dirname(os.path.abspath(__file__))
SAMPLES = os.path.join(ROOT, "..", "..", "data", "samples")
CORPUS = os.path.join(ROOT, "corpus")
WIDTHS = [1, 3, 8, 15, 4, 6, 6, 6, 2, 2, 1, 1, 4, 1]


def sample(name):
    with open(os.path.join(SAMPLES, name), "rb") as f:
        return f.read()


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def records(data, n):
    out = []
    for i in range(n):
        at = i // 34 * 2048 + 8 + i % 34 * 60
        if at + 60 <= len(data):
            out.append(data[at:at + 60])
    return out


def fields(record):
    out, at = [], 0
    for w in WIDTHS:
        out.append(record[at:at + w])
        at += w
    return out


def raw_line(record, sep):
    return sep.join(fields(record)) + b"\r\n"


def formatted_line(record, sep):
    f = fields(record)
    blank = lambda b: b.replace(b"F", b" ")
    hex13 = f[12].hex().upper().encode()
    parts = [f[0], f[1], blank(f[2]), blank(f[3]), f[4][:2] + b"/" + f[4][2:],
             f[5][:2] + b":" + f[5][2:4] + b":" + f[5][4:], f[6][:2] + b":" + f[6][2:4] + b":" + f[6][4:],
             f[7], f[8], f[9], f[10], f[11], hex13[:4] + b"H" + hex13[4:] + b"H", f[13]]
    return sep.join(parts) + b"\r\n"


def main():
    ascii_, ebcdic, partial = sample("calls-ascii.cdr"), sample("calls-ebcdic.cdr"), sample("calls-ascii-partial-block.cdr")
    some = records(ascii_, 6)

    # conditions: layout byte, record, text
    texts = [b"4=" + some[0][12:27], b"3^=12;1!=F", b" 13 *= 0A ;5<=1231", b"6>=120000;7<000100",
             b"14>0", b"2*=", b";;", b"15=1", b"4 x 5"]
    for i, t in enumerate(texts):
        put("conditions", "block-%d" % i, bytes([0]) + some[i % len(some)] + t)
    put("conditions", "ebcdic", bytes([1]) + records(ebcdic, 1)[0] + b"1=1")
    put("conditions", "raw", bytes([2]) + raw_line(some[1], b"*") + b"4^=" + some[1][12:16])
    put("conditions", "formatted", bytes([3]) + formatted_line(some[2], b"*") + b"5=" + b"12/31")
    # Values of each field's kind and not, for the checker.
    put("conditions", "kinds", bytes([0]) + some[0] + b"7>=0:05:00;7>=000500;13=2b417a30;13^=2B41H;5^=07/;"
        b"5=07/12;3*=1 F;7*=5:00;1=FF;2=17;4<0123456789FFFFF;6!=12:00")

    # goto: file size, flags, text
    for i, (size, flags, text) in enumerate([
            (6144, 0, b"b 2"), (6144, 0, b"record 35"), (6144, 0, b"0x7FF"), (6144, 0, b" offset 0x10 "),
            (7144, 0, b"block 4"), (2**63 - 1, 0, b"r 18446744073709551615"), (0, 0, b"12"),
            (100, 1, b"line 5"), (100, 1, b"7"), (2**62, 0, b"b 9007199254740993"), (6144, 0, b"0x")]):
        put("goto", "%d" % i, struct.pack("<Q", size) + bytes([flags]) + text)

    # recognition: block files and text outputs
    put("recognition", "ascii.cdr", ascii_)
    put("recognition", "ebcdic.cdr", ebcdic)
    put("recognition", "partial.cdr", partial)
    put("recognition", "raw.txt", b"".join(raw_line(r, b"*") for r in some))
    put("recognition", "raw-tab.txt", b"".join(raw_line(r, b"\t") for r in some))
    put("recognition", "formatted.txt", b"".join(formatted_line(r, b"<->") for r in some))
    put("recognition", "formatted-cut.txt", b"".join(formatted_line(r, b"*") for r in some)[:-5])
    put("recognition", "joined.txt", ascii_[:8] + formatted_line(some[0], b"") + formatted_line(some[1], b""))

    # lines: piece, flags, pattern length, chunk, pattern, text
    text = b"".join(formatted_line(r, b"*") for r in some)
    put("lines", "formatted", bytes([3, 0, 3, 1]) + b"12/" + text)
    put("lines", "folded", bytes([0, 1, 4, 2]) + b"\xc0\xe1\xe2a" + "аБВA яЯ\r\nБ\n".encode("cp1251") * 5)
    put("lines", "cr-nul", bytes([7, 0, 2, 0]) + b"\r\n" + b"a\rb\r\n\x00\x00\n\n\r" * 10 + b"tail")
    put("lines", "no-ends", bytes([200, 0, 1, 0]) + b"x" + b"y" * 3000 + b"x")
    put("lines", "many", bytes([255, 8, 2, 255]) + b"\n\n" + b"ab\ncd\n\n")
    put("lines", "utf8", bytes([1, 3, 2, 3]) + "Ж".encode() + "жЖ\nж\n".encode() * 4)
    put("lines", "many-128k", bytes([9, 8 | 16, 3, 40]) + b"b\nc" + b"ab\ncd\n\r\n")
    put("lines", "long-line", bytes([255, 8 | 32 | 1, 2, 200]) + b"Fe" + b"\xc0fe\n12/31\r\n")

    # byterows: size, offset, flags, row bytes
    for i, (size, offset, flags) in enumerate([(6144, 0, 2), (7144, 6200, 0), (7144, 2050, 2), (2**63 - 1, 2**63 - 2, 0),
                                               (15, 3, 0), (2048, 2047, 2), (2**40 + 5, 2**40, 0)]):
        put("byterows", "%d" % i, struct.pack("<QQ", size, offset) + bytes([flags]) + ascii_[offset % 2048:][:60])

    # conversion: mode byte, table byte, input
    for i, mode in enumerate([0 | 4 | 8, 1, 2 | 8, 3, 2 | 4, 2 | 4 | 16, 0 | 24]):
        data = (ebcdic if mode & 3 in (0, 1) else ascii_)[:4096 + 100]
        put("conversion", "%d" % i, bytes([mode, 0x40 + i]) + data)

    # commandline: arguments split at NUL
    for i, args in enumerate([["in.cdr"], ["-i", "ascii", "-o", "binary", "in.cdr", "out.ebs"],
                              ["-r", "-s", "<->", "in.cdr"], ["--separator=", "in.cdr"], ["-t", "-d", "out", "a.cdr", "b.cdr"],
                              ["-w", "4^=12", "-w", "13=0A0B0C0D", "in.cdr"], ["--blocks", "2:3", "in.cdr"],
                              ["--stats", "a", "b"], ["-j", "2", "-q", "-", "-"], ["--help"], ["-s", "Ж", "x"],
                              ["-d", "o", "a.1.cdr", "a.2.cdr"], ["-o", "binary", "-w", "1=1", "x"], ["-x"]]):
        put("commandline", "%d" % i, b"\0".join(a.encode() for a in args))

    # csv: flags, names file, first block, records
    awkward = bytearray(some[3])  # slices of the same length: fields keep their places
    awkward[1:4] = b'"a,'
    awkward[4:12] = b'\r\n"\x00\x98\xc0\xff\n'
    awkward[12:27] = "«Ёё»—№".encode("cp1251") + b'\x98,,\r""""a'
    awkward[50:54] = b'\x98",\n'
    awkward[55:59] = b'\x98",\n'  # field 13, written in hex
    names = "\ufeffA\r\nB,b\r\n\r\nC\"c\nD\rd\nE\nЖ\nG\nH\nI\nJ\nK\nL\nM\nN\n".encode()
    put("csv", "plain", bytes([0]) + b"".join(some))
    put("csv", "awkward", bytes([0]) + some[0] + bytes(awkward) + some[1])
    put("csv", "names", bytes([1, len(names)]) + names + some[2])
    put("csv", "names-13", bytes([1, 26]) + b"a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl\nm\n" + some[2])
    put("csv", "no-block", bytes([2]) + struct.pack("<Q", 0) + bytes(awkward))
    put("csv", "last-blocks", bytes([2]) + struct.pack("<Q", 2**64 - 1) + b"".join(records(ascii_, 36)))

    # separator
    for i, s in enumerate([b"*", b"<->", "Ж—№".encode(), "€‰".encode("cp1251"), b"\t", b"\xc3\x28", b"\xed\xa0\x80",
                           b"\xf0\x9f\x98\x80", b"\xc0\x80", bytes(range(256))]):
        put("separator", "%d" % i, s)


if __name__ == "__main__":
    sys.exit(main())
