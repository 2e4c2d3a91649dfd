#!/usr/bin/env python3
"""Writes button.png, the 24x24 button face the nine-grid example stretches:
rounded corners (transparent outside), a dark border, a vertical gradient
and a lighter upper half. Straight (not premultiplied) RGBA, as PNG files
hold it. Usage: make_button_png.py [output.png]"""
import struct
import sys
import zlib

SIZE = 24
RADIUS = 6


def pixel(x, y):
    # Distance outside the rounded corner, in pixels (0 inside the body).
    cx = max(RADIUS - x - 0.5, x + 0.5 - (SIZE - RADIUS), 0)
    cy = max(RADIUS - y - 0.5, y + 0.5 - (SIZE - RADIUS), 0)
    d = (cx * cx + cy * cy) ** 0.5
    if d > RADIUS:
        return (0, 0, 0, 0)
    if d > RADIUS - 1.2 or x == 0 or y == 0 or x == SIZE - 1 or y == SIZE - 1:
        return (28, 52, 96, 255)
    t = y / (SIZE - 1)
    r, g, b = int(96 - 40 * t), int(160 - 60 * t), int(240 - 50 * t)
    if y < SIZE // 2:  # gloss
        r, g, b = (c + (255 - c) // 4 for c in (r, g, b))
    return (r, g, b, 255)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "button.png"
    raw = b"".join(b"\0" + bytes(c for x in range(SIZE) for c in pixel(x, y)) for y in range(SIZE))
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(out, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
                chunk(b"IEND", b""))


if __name__ == "__main__":
    main()
