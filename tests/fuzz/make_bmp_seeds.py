#!/usr/bin/env python3
"""Writes the seed corpus of the BMP fuzz target: small valid pictures of
every bit depth, with and without a file header."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "bmp")


def picture(width, height, bits, compression=0, table=None, header=True):
    stride = ((width * bits + 31) // 8) & ~3
    pixels = bytes((i * 7) & 0xFF for i in range(stride * abs(height)))
    if table is None:
        table = bytes(4 << bits) if bits <= 8 else b""
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression,
                       len(pixels), width * abs(height), width * abs(height), 0, 0)
    body = info + table + pixels
    if not header:
        return body
    off = 14 + 40 + len(table)
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, off) + body


def main():
    os.makedirs(OUT, exist_ok=True)
    palette = bytes(b for i in range(256) for b in (i, 255 - i, i // 2, 0))
    seeds = {
        "frame_5x3.bmp": picture(5, 3, 8, table=palette),
        "frame_8x8.bmp": picture(8, 8, 8, table=palette),
        "headerless_5x3.dib": picture(5, 3, 8, table=palette, header=False),
        "top_down_4x2.bmp": picture(4, -2, 8, table=palette),
        "mono_9x2.bmp": picture(9, 2, 1),
        "nibbles_3x3.bmp": picture(3, 3, 4),
        "rgb555_2x2.bmp": picture(2, 2, 16),
        "rgb565_1x1.bmp": picture(1, 1, 16, 3, struct.pack("<III", 0xF800, 0x07E0, 0x1F)),
        "rgb24_3x2.bmp": picture(3, 2, 24),
        "rgb32_2x2.bmp": picture(2, 2, 32),
    }
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
