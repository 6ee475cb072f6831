#!/usr/bin/env python3
"""Writes the hand-made seed pictures of the BMP fuzzer into corpus/bmp/.

Each is small and aims at one path of the loader: every row padding (widths
4 to 7), top-down rows, a larger (V5) header with the pixels further on, a
file cut short inside its pixels and inside its header, and a few that must
be refused. Run it again after changing it; the files are kept in the repo.
"""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "bmp")


def bmp(w, h, info=40, bits=24, comp=0, topdown=False, extra=b""):
    pad = (4 - (3 * w) % 4) % 4
    rows = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            row += bytes(((x * 37 + y * 11) % 256, (x * 5 + y * 97) % 256, (x * y * 13) % 256))
        rows.append(bytes(row) + b"\0" * pad)
    pixels = b"".join(rows)
    offset = 14 + info + len(extra)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    infohdr = struct.pack("<IiiHHIIiiII", info, w, -h if topdown else h, 1, bits, comp,
                          len(pixels), 2835, 2835, 0, 0)
    infohdr += b"\0" * (info - 40)
    return head + infohdr + extra + pixels


def main():
    os.makedirs(HERE, exist_ok=True)
    seeds = {
        "w4.bmp": bmp(4, 3),
        "w5.bmp": bmp(5, 2),
        "w6.bmp": bmp(6, 3),
        "w7.bmp": bmp(7, 2),
        "one-dot.bmp": bmp(1, 1),
        "top-down.bmp": bmp(3, 4, topdown=True),
        "v5-header.bmp": bmp(5, 3, info=124),
        "gap-before-pixels.bmp": bmp(2, 2, extra=b"\xaa" * 10),
        "cut-in-pixels.bmp": bmp(6, 4)[:54 + 30],
        "cut-in-header.bmp": bmp(6, 4)[:30],
        "8-bit.bmp": bmp(4, 2, bits=8),
        "rle.bmp": bmp(4, 2, comp=1),
        "zero-width.bmp": bmp(0, 3),
        "too-wide.bmp": bmp(1025, 1)[:80],
        "not-bmp.bmp": b"PK\x03\x04" + bmp(2, 2)[4:],
    }
    for name, data in seeds.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
