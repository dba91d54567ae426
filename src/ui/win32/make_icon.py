#!/usr/bin/env python3
"""Draws velmora.ico: a white V on a rounded teal square, in the sizes the
window asks for at 100 to 200 % display scaling (16 to 32 and 32 to 64 pixels).

Run it again after changing the drawing; the icon is committed beside it.
"""
import struct
import sys

TEAL_TOP = (0x2a, 0x8c, 0x96)
TEAL_BOTTOM = (0x15, 0x55, 0x5e)
WHITE = (0xff, 0xff, 0xff)
SAMPLES = 4


def inside_rounded_square(x, y, radius=0.2, margin=0.03):
    lo, hi = margin + radius, 1 - margin - radius
    cx, cy = min(max(x, lo), hi), min(max(y, lo), hi)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return ((px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2) ** 0.5


def on_v(x, y, half_width=0.085):
    return min(distance_to_segment(x, y, 0.26, 0.24, 0.5, 0.78),
               distance_to_segment(x, y, 0.74, 0.24, 0.5, 0.78)) <= half_width


def pixel(size, col, row):
    """Colour and coverage of one pixel, row 0 at the top."""
    cover = v_cover = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (col + (sx + 0.5) / SAMPLES) / size
            y = (row + (sy + 0.5) / SAMPLES) / size
            if inside_rounded_square(x, y):
                cover += 1
                v_cover += on_v(x, y)
    total = SAMPLES * SAMPLES
    t = row / max(1, size - 1)
    base = [TEAL_TOP[i] + (TEAL_BOTTOM[i] - TEAL_TOP[i]) * t for i in range(3)]
    mix = v_cover / cover if cover else 0
    rgb = [round(base[i] + (WHITE[i] - base[i]) * mix) for i in range(3)]
    return rgb, round(255 * cover / total)


def image(size):
    pixels = bytearray()
    for row in reversed(range(size)):  # bottom-up
        for col in range(size):
            (r, g, b), a = pixel(size, col, row)
            pixels += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # alpha decides; the mask shows everything
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + mask


def icon(sizes):
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


if __name__ == '__main__':
    target = sys.argv[1] if len(sys.argv) > 1 else 'velmora.ico'
    with open(target, 'wb') as f:
        f.write(icon([16, 20, 24, 32, 40, 48, 64]))
