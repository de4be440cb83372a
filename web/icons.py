#!/usr/bin/env python3
"""icons.py SHEET FOLDER COLOUR: writes icon-192.png and icon-512.png for a phone's
home screen: the jumper's first frame, cut from his sheet and enlarged by a
whole factor, square pixels on the page's own colour (#rrggbb). He stays inside the
middle circle that every launcher's mask keeps, so the icons are maskable."""
import struct
import sys
import zlib

FRAME = 17  # the jumper's frames are 17x17, side by side from the left
KEY = (255, 0, 255)


def read_frame(path):
    sheet = open(path, "rb").read()
    (at,), (width, height) = struct.unpack_from("<I", sheet, 10), struct.unpack_from("<ii", sheet, 18)
    depth, compression = struct.unpack_from("<HI", sheet, 28)
    if sheet[:2] != b"BM" or depth not in (24, 32) or compression != 0 or width < FRAME or abs(height) < FRAME:
        sys.exit(f"{path}: an uncompressed 24- or 32-bit BMP of at least {FRAME}x{FRAME} pixels is needed")
    pitch = (width * depth // 8 + 3) // 4 * 4
    row = lambda y: at + (height - 1 - y if height > 0 else y) * pitch
    pixel = lambda x, y: tuple(sheet[row(y) + x * depth // 8:][:3][::-1])
    return [[pixel(x, y) for x in range(FRAME)] for y in range(FRAME)]


def png(size, rows):
    chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(
        ">I", zlib.crc32(kind + data))
    lines = b"".join(b"\0" + bytes(channel for rgb in line for channel in rgb) for line in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(lines, 9)) + chunk(b"IEND", b"")


def icon(frame, size):
    factor = size * 11 // 20 // FRAME  # a square of 0.55 fits in a circle of 0.8
    margin = (size - FRAME * factor) // 2
    inside = lambda i: 0 <= i - margin < FRAME * factor
    colour = lambda x, y: frame[(y - margin) // factor][(x - margin) // factor]
    shown = lambda x, y: colour(x, y) if inside(x) and inside(y) and colour(x, y) != KEY else BACKGROUND
    return [[shown(x, y) for x in range(size)] for y in range(size)]


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    BACKGROUND = tuple(bytes.fromhex(sys.argv[3].lstrip("#")))
    jumper = read_frame(sys.argv[1])
    for side in (192, 512):
        with open(f"{sys.argv[2]}/icon-{side}.png", "wb") as out:
            out.write(png(side, icon(jumper, side)))
