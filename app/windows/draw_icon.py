#!/usr/bin/env python3
"""Draws the program's icon and writes it as datensicherung.ico beside this script.

A yellow folder with a blue arrow pointing into it: the copy going into the backup
folder. Every size is drawn on its own (4 x 4 samples per pixel), so the small ones stay
sharp. Sizes 16 to 128 are stored as 32-bit bitmaps, 256 as PNG, as Windows expects.

    python3 app/windows/draw_icon.py [output.ico] [preview.png]

Only the standard library is used. The .ico in the repository was made with this script;
run it again after changing the drawing.
"""
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
SAMPLES = 4

OUTLINE = (138, 98, 0, 255)
FOLDER_BACK = (214, 160, 20, 255)
FOLDER_FRONT = (255, 203, 64, 255)
ARROW_EDGE = (255, 255, 255, 255)
ARROW = (24, 88, 190, 255)

def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return x0 <= x <= x1 and y0 <= y <= y1 and (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside

def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
    return inside

def arrow(d):
    shaft = rounded_rect(0.42 - d, 0.36 - d, 0.58 + d, 0.64, 0.02 + d)
    head = triangle((0.26 - 1.6 * d, 0.58 - d), (0.74 + 1.6 * d, 0.58 - d), (0.50, 0.84 + 1.6 * d))
    return lambda x, y: shaft(x, y) or head(x, y)

# Drawn back to front; a point takes the colour of the last layer that covers it.
LAYERS = (
    (rounded_rect(0.04, 0.11, 0.44, 0.30, 0.05), OUTLINE),
    (rounded_rect(0.04, 0.18, 0.96, 0.88, 0.07), OUTLINE),
    (rounded_rect(0.065, 0.135, 0.415, 0.30, 0.035), FOLDER_BACK),
    (rounded_rect(0.065, 0.205, 0.935, 0.855, 0.05), FOLDER_BACK),
    (rounded_rect(0.04, 0.31, 0.96, 0.88, 0.07), OUTLINE),
    (rounded_rect(0.065, 0.335, 0.935, 0.855, 0.05), FOLDER_FRONT),
    (arrow(0.035), ARROW_EDGE),
    (arrow(0.0), ARROW),
)

def draw(size):
    """RGBA rows, top row first."""
    rows = []
    n = SAMPLES
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    y = (py + (sy + 0.5) / n) / size
                    colour = None
                    for inside, c in LAYERS:
                        if inside(x, y):
                            colour = c
                    if colour is not None:
                        for i in range(3):
                            acc[i] += colour[i] * colour[3]
                        acc[3] += colour[3]
            alpha = acc[3] // (n * n)
            if acc[3]:
                row += bytes(acc[i] // acc[3] for i in range(3)) + bytes([alpha])
            else:
                row += b"\0\0\0\0"
        rows.append(bytes(row))
    return rows

def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + r for r in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))

def bitmap(size, rows):
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(
        b"".join(bytes((r[i + 2], r[i + 1], r[i], r[i + 3])) for i in range(0, len(r), 4))
        for r in reversed(rows))
    mask_row = ((size + 31) // 32) * 4
    return header + pixels + b"\0" * (mask_row * size)

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "datensicherung.ico")
    images = []
    for size in SIZES:
        rows = draw(size)
        images.append((size, png(size, rows) if size == 256 else bitmap(size, rows)))
        if size == 256 and len(sys.argv) > 2:
            with open(sys.argv[2], "wb") as f:
                f.write(png(size, rows))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, bodies = b"", b""
    for size, body in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(body), offset)
        bodies += body
        offset += len(body)
    with open(out, "wb") as f:
        f.write(data + entries + bodies)

if __name__ == "__main__":
    main()
