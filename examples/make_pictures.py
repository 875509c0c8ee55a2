#!/usr/bin/env python3
"""Generates the demo mark pictures with the standard library only.

watermark.png  600 x 300 pixels, 8-bit grey, 300 dpi: a light guilloche band
               with a rosette and a double frame, no text. Marks are placed in
               1/300 inch, so it prints 2 x 1 inches.
watercode.raw  2528 x 128 bytes (the default width of a 128-row layout),
               black (0) and white (255), bottom row first: a code of 4 x 4
               pixel modules between guard bars. Its last 400 columns are left
               white so that, placed at x = 250 on an A4 page, the printed part
               stays on the sheet.

Usage: make_pictures.py [OUTPUT_DIRECTORY]
"""

import math
import os
import struct
import sys
import zlib

PAPER = 255
INK = 150        # the watermark's line tone: light enough to read as a watermark
FILL = 232       # the rosette's background tone


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_gray_png(path, width, height, pixels, dpi):
    """pixels: bytearray of width * height grey levels, top row first."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter: none
        rows += pixels[y * width:(y + 1) * width]
    per_metre = round(dpi / 0.0254)
    data = (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0))
            + png_chunk(b"pHYs", struct.pack(">IIB", per_metre, per_metre, 1))
            + png_chunk(b"IDAT", zlib.compress(bytes(rows), 9))
            + png_chunk(b"IEND", b""))
    with open(path, "wb") as out:
        out.write(data)


def make_watermark():
    width, height = 600, 300
    pixels = bytearray([PAPER]) * (width * height)

    def dot(x, y, tone=INK, size=2):
        xi, yi = int(x), int(y)
        for dy in range(size):
            for dx in range(size):
                px, py = xi + dx, yi + dy
                if 0 <= px < width and 0 <= py < height:
                    pixels[py * width + px] = min(pixels[py * width + px], tone)

    cx, cy = width / 2, height / 2

    # The rosette's light disc first, so lines print over it.
    for y in range(height):
        for x in range(width):
            if (x - cx) ** 2 + (y - cy) ** 2 <= 100 ** 2:
                pixels[y * width + x] = FILL

    # Woven bands above and below the rosette: phase-shifted sine waves.
    for band_y in (58, height - 58):
        for strand in range(6):
            phase = strand * math.pi / 3
            t = 18.0
            while t <= width - 20:
                y = band_y + 26 * math.sin(2 * math.pi * 5 * t / width + phase)
                if (t - cx) ** 2 + (y - cy) ** 2 > 104 ** 2:
                    dot(t, y)
                t += 0.25

    # Rosette: radial sine curves around the centre.
    for strand in range(8):
        phase = strand * math.pi / 4
        theta = 0.0
        while theta < 2 * math.pi:
            r = 62 + 30 * math.sin(9 * theta + phase)
            dot(cx + r * math.cos(theta), cy + r * math.sin(theta))
            theta += 0.0015
    theta = 0.0
    while theta < 2 * math.pi:
        dot(cx + 98 * math.cos(theta), cy + 98 * math.sin(theta), size=3)
        dot(cx + 24 * math.cos(theta), cy + 24 * math.sin(theta), size=3)
        theta += 0.002

    # Double frame.
    for inset, size in ((4, 3), (12, 2)):
        for x in range(inset, width - inset):
            dot(x, inset, size=size)
            dot(x, height - inset - size, size=size)
        for y in range(inset, height - inset):
            dot(inset, y, size=size)
            dot(width - inset - size, y, size=size)
    return width, height, pixels


def make_watercode():
    width, rows = 2528, 128
    module = 4
    left, right = 16, width - 400        # the printed columns
    top_rows = range(0, 8)                # guard bar
    clock_rows = range(12, 16)            # alternating modules
    bottom_rows = range(rows - 8, rows)   # guard bar
    data_top, data_bottom = 20, rows - 12

    # A fixed linear congruential sequence, repeated every 128 modules so the
    # file stays small in version control.
    period = 128
    state = 20240917
    bits = []
    for _ in range(period * ((data_bottom - data_top) // module)):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        bits.append((state >> 16) & 1)

    top_down = bytearray([PAPER]) * (width * rows)
    for y in range(rows):
        for x in range(left, right):
            black = False
            if y in top_rows or y in bottom_rows:
                black = True
            elif y in clock_rows:
                black = ((x - left) // module) % 2 == 0
            elif data_top <= y < data_bottom:
                column = ((x - left) // module) % period
                line = (y - data_top) // module
                black = bits[line * period + column] == 1
            if black:
                top_down[y * width + x] = 0

    bottom_up = bytearray()
    for y in reversed(range(rows)):
        bottom_up += top_down[y * width:(y + 1) * width]
    return bytes(bottom_up)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    width, height, pixels = make_watermark()
    write_gray_png(os.path.join(out_dir, "watermark.png"), width, height, pixels, 300)
    with open(os.path.join(out_dir, "watercode.raw"), "wb") as out:
        out.write(make_watercode())


if __name__ == "__main__":
    main()
