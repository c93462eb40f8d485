#!/usr/bin/env python3
# Draws the suite's own icons ("orvi": a thermometer; "configurador": a wrench) as 32- and 16-pixel .ico files.
# Usage: draw_icon.py orvi|configurador OUTPUT.ico   (the results are committed; run again only to redraw)
import struct
import sys

SUPER = 4  # supersampling per axis, for smooth edges


def rounded_square(x, y, size, radius):
    cx = min(max(x, radius), size - radius)
    cy = min(max(y, radius), size - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)))
    qx, qy = ax + t * dx, ay + t * dy
    return ((px - qx) ** 2 + (py - qy) ** 2) ** 0.5


def orvi_pixel(x, y):
    """Colour (r, g, b, a) at (x, y) in a 32-unit square: a thermometer on a blue tile."""
    if not rounded_square(x, y, 32, 6):
        return (0, 0, 0, 0)
    colour = (30, 80, 160, 255)
    stem = segment_distance(x, y, 16, 6, 16, 22)
    if stem <= 4.0:
        colour = (235, 235, 240, 255)
    if (x - 16) ** 2 + (y - 24) ** 2 <= 6.0 ** 2:
        colour = (235, 235, 240, 255)
    if segment_distance(x, y, 16, 11, 16, 22) <= 1.8 or (x - 16) ** 2 + (y - 24) ** 2 <= 4.3 ** 2:
        colour = (210, 30, 30, 255)
    for mark in (8, 12, 16):
        if 21 <= x <= 25 and mark <= y <= mark + 1:
            colour = (235, 235, 240, 255)
    return colour


def configurador_pixel(x, y):
    """Colour at (x, y) in a 32-unit square: a wrench across a green tile."""
    if not rounded_square(x, y, 32, 6):
        return (0, 0, 0, 0)
    colour = (30, 120, 70, 255)
    handle = segment_distance(x, y, 9, 23, 19, 13)
    head = (x - 21) ** 2 + (y - 11) ** 2 <= 6.5 ** 2
    jaw = segment_distance(x, y, 21, 11, 26, 6) <= 2.6
    if (handle <= 2.8 or head) and not jaw:
        colour = (230, 230, 230, 255)
    return colour


def render(pixel, size):
    """Rows top to bottom of (r, g, b, a), averaged over SUPER x SUPER samples per pixel."""
    scale = 32.0 / size
    rows = []
    for row in range(size):
        line = []
        for col in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    r, g, b, a = pixel((col + (sx + 0.5) / SUPER) * scale, (row + (sy + 0.5) / SUPER) * scale)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SUPER * SUPER
            alpha = acc[3] // n
            if acc[3]:
                line.append((acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3], alpha))
            else:
                line.append((0, 0, 0, 0))
        rows.append(line)
    return rows


def icon_image(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''.join(struct.pack('BBBB', b, g, r, a) for line in reversed(rows) for (r, g, b, a) in line)
    mask_stride = ((size + 31) // 32) * 4
    mask = b''
    for line in reversed(rows):
        bits = bytearray(mask_stride)
        for col, (_, _, _, a) in enumerate(line):
            if a < 128:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bytes(bits)
    return header + colour + mask


def main():
    designs = {'orvi': orvi_pixel, 'configurador': configurador_pixel}
    if len(sys.argv) != 3 or sys.argv[1] not in designs:
        sys.exit('usage: draw_icon.py orvi|configurador OUTPUT.ico')
    images = [icon_image(render(designs[sys.argv[1]], size)) for size in (32, 16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[2], 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main()
