#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets: small valid BMP pictures of
every bit depth, with and without a file header; small SHP sprites with raw,
run-length and pixel-less frames and the game's own kinds; JASC-PAL palettes
in the usual spellings and raw ones; images to encode (BMP of every header
size, depth and mask form, PNG of every kind, and some faulty ones)."""
import os
import struct
import zlib

CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


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


def write_all(target, seeds):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def coded_row(pixels):
    items = bytearray()
    i = 0
    while i < len(pixels):
        if pixels[i]:
            items.append(pixels[i])
            i += 1
            continue
        run = 0
        while i < len(pixels) and pixels[i] == 0 and run < 255:
            run += 1
            i += 1
        items += bytes((0, run))
    return struct.pack("<H", len(items) + 2) + bytes(items)


def sprite(width, height, frames):
    """frames: (x, y, cx, cy, compression, rows or None for no pixels)."""
    table = bytearray()
    data = bytearray()
    start = 8 + 24 * len(frames)
    for x, y, cx, cy, compression, rows in frames:
        offset = 0
        if rows is not None:
            offset = start + len(data)
            kind = compression & 0xFF
            for row in rows:
                if kind == 3:
                    data += coded_row(row)
                elif kind == 2:
                    data += struct.pack("<H", len(row) + 2) + bytes(row)
                else:
                    data += bytes(row)
        table += struct.pack("<HHHHIIII", x, y, cx, cy, compression, 0, 0, offset)
    return struct.pack("<HHHH", 0, width, height, len(frames)) + bytes(table) + bytes(data)


def shp_seeds():
    ball = [[(7 if (c - 3) ** 2 + (r - 3) ** 2 < 9 else 0) for c in range(7)] for r in range(7)]
    ramp = [[(r * 16 + c) & 0xFF for c in range(5)] for r in range(3)]
    wide = [[(c % 3) * 40 for c in range(300)]]
    return {
        "coded_ball.shp": sprite(9, 9, [(1, 1, 7, 7, 3, ball), (2, 2, 7, 7, 3, ball)]),
        "raw_ramp.shp": sprite(5, 3, [(0, 0, 5, 3, 0, ramp), (0, 0, 5, 3, 1, ramp)]),
        "mixed.shp": sprite(8, 6, [(0, 0, 5, 3, 3, ramp), (0, 0, 0, 0, 0, None),
                                   (3, 3, 5, 3, 0, ramp), (1, 1, 5, 3, 4, ramp)]),
        "clipped.shp": sprite(4, 2, [(2, 1, 5, 3, 3, ramp)]),
        "long_row.shp": sprite(300, 1, [(0, 0, 300, 1, 3, wide)]),
        "empty.shp": sprite(16, 16, []),
        # The game's own files: upper bytes of the compression field left
        # uninitialised, and raw rows each after a 2-byte field.
        "game_kinds.shp": sprite(8, 6, [(0, 0, 5, 3, 0xCCCCCC03, ramp),
                                        (1, 1, 5, 3, 0xCCCCCC02, ramp),
                                        (3, 3, 5, 3, 0xCCCCCC01, ramp),
                                        (0, 0, 5, 3, 0xCCCCCC04, ramp)]),
    }


def pal_seeds():
    def jasc(lines, end="\r\n", count=None):
        body = ["JASC-PAL", "0100", str(len(lines) if count is None else count)] + lines
        return (end.join(body) + end).encode("ascii")
    colours = ["%d %d %d" % (i, 255 - i, (i * 7) & 0xFF) for i in range(16)]
    return {
        "crlf.pal": jasc(colours),
        "lf.pal": jasc(colours, "\n"),
        "cr.pal": jasc(colours, "\r"),
        "tabs_and_alpha.pal": jasc(["%d\t%d  %d 255" % (i, i, i) for i in range(8)]),
        "short.pal": jasc(colours[:4], count=256),
        "wrap.pal": jasc(["300 -1 7", "+5 x 9", " 1 2 3"]),
        "ctrl_z.pal": jasc(colours[:3]) + b"\x1a1 2 3\r\n",
        "full.pal": jasc(["%d %d %d" % (i, i, i) for i in range(256)]),
        "raw_6bit.pal": bytes(i % 64 for i in range(768)),
        "raw_8bit.pal": bytes(i % 256 for i in range(768)),
    }


def adam7_rows(rows):
    """The rows of the seven interlace passes of an 8-bit, 1-byte-per-pixel image."""
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
              (0, 1, 1, 2)]
    out = []
    for x0, y0, dx, dy in passes:
        for y in range(y0, len(rows), dy):
            row = rows[y][x0::dx]
            if row:
                out.append(row)
    return out


def png(width, height, colour_type, depth, rows, plte=None, trns=None, interlace=0):
    """rows: the packed scanlines; each gets filter type 0."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    if interlace:
        rows = adam7_rows(rows)
    raw = b"".join(b"\0" + row for row in rows)
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0,
                                      interlace))
    if plte is not None:
        out += chunk(b"PLTE", plte)
    if trns is not None:
        out += chunk(b"tRNS", trns)
    out += chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
    return out


def editor_bmp(width, height, bits, header_size=40, compression=0, clr_used=0, table_entries=0,
               masks=(), gap=0, planes=1, off_bits=None):
    """A BMP in any header form: the OS/2 core header (12 bytes, 3-byte table
    entries) or a Windows one of 40 bytes (masks after it) or longer (masks
    inside it)."""
    stride = ((width * bits + 31) // 8) & ~3
    pixels = bytes((i * 5 + 1) & 0xFF for i in range(stride * abs(height)))
    if header_size == 12:
        info = struct.pack("<IHHHH", 12, width, height, planes, bits)
        table = b"".join(bytes((i, i, i)) for i in range(table_entries))
    else:
        info = struct.pack("<IiiHHIIiiII", header_size, width, height, planes, bits, compression,
                           len(pixels), 0, 0, clr_used, 0)
        info += b"".join(struct.pack("<I", m) for m in masks)
        info = info.ljust(header_size, b"\0")
        table = b"".join(bytes((i, i, i, 0)) for i in range(table_entries))
    body = info + table + b"\xee" * gap
    off = 14 + len(body) if off_bits is None else off_bits
    return b"BM" + struct.pack("<IHHI", 14 + len(body) + len(pixels), 0, 0, off) + body + pixels


def editor_bmp_seeds():
    return {
        "core_4bit_5x2.bmp": editor_bmp(5, 2, 4, 12, table_entries=16),
        "core_24bit_2x2.bmp": editor_bmp(2, 2, 24, 12),
        "v2_52_4bit_3x2.bmp": editor_bmp(3, 2, 4, 52, table_entries=16),
        "v3_56_8bit_3x2.bmp": editor_bmp(3, 2, 8, 56, clr_used=200, table_entries=200),
        "v4_108_1bit_9x2.bmp": editor_bmp(9, 2, 1, 108, table_entries=2),
        "v5_124_24bit_3x2.bmp": editor_bmp(3, 2, 24, 124),
        "clr_used_3_4bit.bmp": editor_bmp(3, 1, 4, clr_used=3, table_entries=3),
        "gap_8bit_2x2.bmp": editor_bmp(2, 2, 8, table_entries=256, gap=6),
        "top_down_1bit_9x2.bmp": editor_bmp(9, -2, 1, table_entries=2),
        "rgb32_plain_2x2.bmp": editor_bmp(2, 2, 32),
        "rgb32_fields_40.bmp": editor_bmp(2, 1, 32, 40, 3, masks=(0xFF, 0xFF00, 0xFF0000)),
        "rgba32_fields_56.bmp": editor_bmp(2, 2, 32, 56, 3,
                                           masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000)),
        "rgb30_fields_124.bmp": editor_bmp(2, 1, 32, 124, 3,
                                           masks=(0x3FF00000, 0xFFC00, 0x3FF, 0)),
        "planes_2_4bit.bmp": editor_bmp(4, 2, 4, planes=2, table_entries=16),
        "rle8_3x2.bmp": editor_bmp(3, 2, 8, compression=1, table_entries=256),
        "off_bits_0.bmp": editor_bmp(4, 2, 8, table_entries=256, off_bits=0),
    }


def image_seeds(palette):
    grey = bytes(b for i in range(16) for b in (i * 16, i * 16, i * 16))
    return {
        "indexed_5x3.bmp": picture(5, 3, 8, table=palette),
        "top_down_4x2.bmp": picture(4, -2, 8, table=palette),
        "placeholder.bmp": picture(1, 1, 16, 3, struct.pack("<III", 0xF800, 0x07E0, 0x1F)),
        "rgb24_3x2.bmp": picture(3, 2, 24),
        "indexed_4x2.png": png(4, 2, 3, 8, [bytes([0, 1, 2, 15]), bytes([3, 0, 0, 4])], grey),
        "indexed_2bit_5x2.png": png(5, 2, 3, 2, [bytes([0x1B, 0xC0]), bytes([0xE4, 0x40])],
                                    grey[:12]),
        "interlaced_9x9.png": png(9, 9, 3, 8, [bytes((x * y) & 15 for x in range(9))
                                                for y in range(9)], grey, interlace=1),
        "rgb_3x1_trns.png": png(3, 1, 2, 8, [bytes([0, 0, 0, 255, 0, 0, 9, 9, 9])],
                                trns=struct.pack(">HHH", 0, 0, 0)),
        "rgba_2x2.png": png(2, 2, 6, 8, [bytes([1, 2, 3, 0, 4, 5, 6, 255]),
                                         bytes([7, 8, 9, 128, 0, 0, 0, 255])]),
        "grey_2x2.png": png(2, 2, 0, 8, [bytes([0, 255]), bytes([128, 64])]),
        "rgb16_1x1.png": png(1, 1, 2, 16, [bytes(6)]),
        "indexed_1bit_1x1.png": png(1, 1, 3, 1, [bytes([0x80])], grey[:6]),
        "grey_trns_2x1.png": png(2, 1, 0, 8, [bytes([7, 200])], trns=struct.pack(">H", 200)),
        "grey_alpha16_1x1.png": png(1, 1, 4, 16, [bytes([0x80, 0, 0, 1])]),
        "rgba16_1x1.png": png(1, 1, 6, 16, [bytes([1, 2, 3, 4, 5, 6, 0, 9])]),
        **editor_bmp_seeds(),
    }


def main():
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
    write_all("bmp", seeds)
    write_all("shp", shp_seeds())
    write_all("pal", pal_seeds())
    write_all("image", image_seeds(palette))


if __name__ == "__main__":
    main()
