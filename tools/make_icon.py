#!/usr/bin/env python3
"""Draws the program icon (a magnifying glass over a bar chart on a rounded blue tile) and writes
it as a Windows .ico with 64, 48, 32, 24 and 16 pixel images at 32 bits per pixel."""
import math
import struct
import sys

SIZES = (64, 48, 32, 24, 16)
SUPERSAMPLE = 4


def inside_rounded_square(x, y, radius):
    # Unit square [0,1]^2 with rounded corners.
    cx = min(max(x, radius), 1 - radius)
    cy = min(max(y, radius), 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def sample(x, y):
    """Colour (r, g, b, a) of the picture at a point of the unit square, y downwards."""
    if not inside_rounded_square(x, y, 0.18):
        return (0, 0, 0, 0)
    # Tile: blue, lighter at the top.
    t = y
    r, g, b = (int(40 + 20 * (1 - t)), int(110 + 60 * (1 - t)), int(200 + 40 * (1 - t)))
    # Bars of the chart behind the lens.
    for left, height in ((0.20, 0.25), (0.34, 0.42), (0.48, 0.32)):
        if left <= x <= left + 0.10 and 0.80 - height <= y <= 0.80:
            r, g, b = (250, 200, 60)
    # Lens: a white ring with a pale glass inside.
    cx, cy, outer, inner = 0.46, 0.44, 0.27, 0.19
    d = math.hypot(x - cx, y - cy)
    if d <= inner:
        r, g, b = ((r + 230) // 2, (g + 245) // 2, (b + 255) // 2)
    elif d <= outer:
        r, g, b = (255, 255, 255)
    # Handle: a thick white bar from the ring down to the right.
    hx, hy = x - 0.66, y - 0.64
    along = (hx + hy) / math.sqrt(2)
    across = (hx - hy) / math.sqrt(2)
    if 0 <= along <= 0.26 and abs(across) <= 0.06:
        r, g, b = (255, 255, 255)
    return (r, g, b, 255)


def render(size):
    """BGRA rows, bottom row first, as the ICO bitmap format stores them."""
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) / SUPERSAMPLE) / size
                    y = (py + (sy + 0.5) / SUPERSAMPLE) / size
                    r, g, b, a = sample(x, y)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SUPERSAMPLE * SUPERSAMPLE
            alpha = acc[3] // n
            if acc[3]:
                r, g, b = (acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3])
            else:
                r = g = b = 0
            row += bytes((b, g, r, alpha))
        rows.append(bytes(row))
    return b"".join(reversed(rows))


def icon_image(size):
    pixels = render(size)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride * size)  # transparency comes from the alpha channel
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main():
    images = [icon_image(s) for s in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
