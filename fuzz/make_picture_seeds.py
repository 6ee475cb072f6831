#!/usr/bin/env python3
"""Writes the hand-made seed pictures of the picture fuzzer into
corpus/picture/.

Each is small and aims at one path of the loaders. BMP: every row padding
(widths 4 to 7), top-down rows, a larger (V5) header with the pixels further
on, a file cut short inside its pixels and inside its header, and a few that
must be refused. PNG: every colour type and bit depth KORU turns into RGB,
a palette with transparency, an interlaced file, one cut inside its pixels
and one too wide. Run it again after changing it; the files are kept in the
repo.
"""
import os
import struct
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "picture")


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


def chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff))


def png(w, h, ctype, depth, interlace=0, plte=b"", trns=b""):
    """A PNG of w x h samples of a pattern, every row with filter 0."""
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[ctype]
    bits = channels * depth

    def rows(ws, hs, y0):
        out = b""
        for y in range(hs):
            vals = [((x * 37 + (y + y0) * 11 + c * 71) % (1 << depth))
                    for x in range(ws) for c in range(channels)]
            if depth < 8:
                per = 8 // depth
                packed = bytearray((ws * bits + 7) // 8)
                for i, v in enumerate(vals):
                    packed[i // per] |= v << (8 - depth * (i % per + 1))
                out += b"\0" + bytes(packed)
            elif depth == 16:
                out += b"\0" + b"".join(struct.pack(">H", v * 257 % 65536) for v in vals)
            else:
                out += b"\0" + bytes(vals)
        return out

    if interlace:
        passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4),
                  (1, 0, 2, 2), (0, 1, 1, 2)]
        raw = b""
        for x0, y0, dx, dy in passes:
            pw = (w - x0 + dx - 1) // dx if w > x0 else 0
            ph = (h - y0 + dy - 1) // dy if h > y0 else 0
            if pw and ph:
                raw += rows(pw, ph, y0)
    else:
        raw = rows(w, h, 0)
    ihdr = struct.pack(">IIBBBBB", w, h, depth, ctype, 0, 0, interlace)
    body = chunk(b"IHDR", ihdr)
    if plte:
        body += chunk(b"PLTE", plte)
    if trns:
        body += chunk(b"tRNS", trns)
    return b"\x89PNG\r\n\x1a\n" + body + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


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
        "rgb8.png": png(5, 3, 2, 8),
        "rgb16.png": png(3, 2, 2, 16),
        "rgba8.png": png(4, 2, 6, 8),
        "rgba16.png": png(2, 2, 6, 16),
        "grey1.png": png(9, 2, 0, 1),
        "grey16.png": png(3, 3, 0, 16),
        "grey-alpha.png": png(3, 2, 4, 8),
        "palette-trns.png": png(6, 2, 3, 4, plte=bytes(range(48)), trns=b"\x00\x80"),
        "interlaced.png": png(11, 9, 2, 8, interlace=1),
        "cut-in-pixels.png": png(20, 20, 2, 8)[:90],
        "too-wide.png": png(1025, 1, 0, 8),
    }
    for name, data in seeds.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
