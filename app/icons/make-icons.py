#!/usr/bin/env python3
"""Draws the command-bar icons (16 x 16) and the program icon (64 x 64) as PNG
files in this folder, from simple shapes, four samples per pixel side.
Run it again after changing a shape; the PNGs are kept in the repository."""
import math
import struct
import zlib
from pathlib import Path

SAMPLES = 4


def write_png(path, size, pixels):
    rows = b"".join(b"\0" + bytes(c for px in pixels[y * size:(y + 1) * size] for c in px) for y in range(size))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
                     chunk(b"IEND", b""))


def inside_polygon(x, y, points):
    result = False
    for i, (x1, y1) in enumerate(points):
        x2, y2 = points[i - 1]
        if (y1 > y) != (y2 > y) and x < (x2 - x1) * (y - y1) / (y2 - y1) + x1:
            result = not result
    return result


def render(size, shapes):
    """shapes: (test(x, y) -> bool, (r, g, b)) in painting order; later ones cover earlier."""
    pixels = []
    n = SAMPLES
    for py in range(size):
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    x = px + (sx + 0.5) / n
                    y = py + (sy + 0.5) / n
                    colour = None
                    for test, rgb in shapes:
                        if test(x, y):
                            colour = rgb
                    if colour:
                        acc[0] += colour[0]; acc[1] += colour[1]; acc[2] += colour[2]; acc[3] += 1
            cover = acc[3] / (n * n)
            if acc[3]:
                pixels.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]),
                               round(255 * cover)))
            else:
                pixels.append((0, 0, 0, 0))
    return pixels


def polygon(*points):
    return lambda x, y: inside_polygon(x, y, points)


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in, gap_from=None, gap_to=None):
    def test(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        if not (r_in * r_in <= d <= r_out * r_out):
            return False
        if gap_from is None:
            return True
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return not (gap_from <= angle <= gap_to)
    return test


def line(x0, y0, x1, y1, width):
    def test(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= (width / 2) ** 2
    return test


INK = (40, 48, 64)
BLUE = (40, 100, 200)
GREEN = (40, 150, 60)
RED = (200, 50, 40)
YELLOW = (230, 180, 40)
WHITE = (250, 250, 250)

ICONS = {
    "open": [(polygon((1, 4), (6, 4), (7, 5), (14, 5), (14, 13), (1, 13)), YELLOW),
             (polygon((3, 7), (15, 7), (13, 13), (1, 13)), (245, 205, 90))],
    "play": [(polygon((4, 2), (13, 8), (4, 14)), GREEN)],
    "pause": [(rect(3, 2, 7, 14), BLUE), (rect(9, 2, 13, 14), BLUE)],
    "reset": [(ring(8, 8, 6.5, 4, 300, 350), BLUE), (polygon((10, 0.5), (15.5, 3.5), (10.5, 7.5)), BLUE)],
    "save": [(rect(2, 2, 14, 14), BLUE), (rect(4, 2, 12, 7), WHITE), (rect(9, 3, 11, 6), BLUE),
             (rect(4, 9, 12, 14), (200, 210, 230))],
    "load": [(rect(2, 11, 14, 14), BLUE), (polygon((8, 1), (13, 6), (10, 6), (10, 10), (6, 10), (6, 6), (3, 6)),
                                             GREEN)],
    "options": [(circle(8, 8, 5.5), INK)] +
               [(line(8 + 5 * math.cos(a), 8 + 5 * math.sin(a), 8 + 7.5 * math.cos(a), 8 + 7.5 * math.sin(a), 2.6), INK)
                for a in [i * math.pi / 4 for i in range(8)]] + [(circle(8, 8, 2.3), WHITE)],
    "exit": [(line(3, 3, 13, 13, 3), RED), (line(13, 3, 3, 13, 3), RED)],
    "about": [(circle(8, 8, 7), BLUE), (circle(8, 4.5, 1.3), WHITE), (rect(7, 7, 9, 12.5), WHITE)],
}


def program_icon():
    """A drum (the tamboril) with a handheld's screen on its shell."""
    return [
        (rect(10, 22, 54, 52), RED),
        (lambda x, y: (x - 32) ** 2 / 22 ** 2 + (y - 52) ** 2 / 8 ** 2 <= 1, RED),
        (lambda x, y: (x - 32) ** 2 / 22 ** 2 + (y - 22) ** 2 / 8 ** 2 <= 1, (245, 235, 215)),
        (lambda x, y: (x - 32) ** 2 / 22 ** 2 + (y - 22) ** 2 / 8 ** 2 <= 1 and
         (x - 32) ** 2 / 20 ** 2 + (y - 22) ** 2 / 6.5 ** 2 > 1, (150, 30, 25)),
        (rect(20, 32, 44, 46), INK),
        (rect(22, 34, 42, 44), (120, 200, 140)),
        (line(40, 6, 50, 20, 2.5), (120, 80, 40)),
        (circle(39, 5, 2.5), (120, 80, 40)),
    ]


def main():
    here = Path(__file__).resolve().parent
    for name, shapes in ICONS.items():
        write_png(here / f"{name}.png", 16, render(16, shapes))
    write_png(here / "tamboril.png", 64, render(64, program_icon()))


if __name__ == "__main__":
    main()
