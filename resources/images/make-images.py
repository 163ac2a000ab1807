#!/usr/bin/env python3
"""Draws the dialogs' pictures as PNG files (standard library only), so they can be rebuilt."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write_png(name, width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(bytes(max(0, min(255, int(round(c)))) for c in pixel(x, y)))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    data += chunk(b"IEND", b"")
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(data)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def coverage(inside, x, y, samples=4):
    hits = 0
    for i in range(samples):
        for j in range(samples):
            if inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def feather(cx, cy, length, width, angle):
    """A quill: a pointed ellipse along the given angle."""
    ca, sa = math.cos(angle), math.sin(angle)

    def inside(px, py):
        u = (px - cx) * ca + (py - cy) * sa
        v = -(px - cx) * sa + (py - cy) * ca
        t = u / (length / 2)
        if abs(t) >= 1:
            return False
        half = (width / 2) * (1 - t * t) * (1.2 if t < 0 else 0.8)
        return abs(v) < half

    return inside


def side_picture(x, y):
    # Fades to white on the right, where the About box's texts lie over it.
    top, bottom = (22, 70, 120), (60, 140, 190)
    base = mix(top, bottom, y / 215)
    quill = feather(38, 100, 180, 40, math.radians(-68))
    c = coverage(quill, x, y, 3)
    shaft = abs((x - 38) * math.sin(math.radians(-68)) - (y - 100) * math.cos(math.radians(-68)))
    colour = mix(base, (235, 244, 250), 0.85 * c)
    if c > 0 and shaft < 0.8:
        colour = mix(colour, (120, 160, 190), 0.6)
    t = min(1.0, max(0.0, (x - 52) / 40))
    colour = mix(colour, (255, 255, 255), t * t * (3 - 2 * t))
    return colour + (255,)


def program_icon(x, y):
    def rounded(px, py):
        r = 6
        qx = min(max(px, 1 + r), 31 - r)
        qy = min(max(py, 1 + r), 31 - r)
        return (px - qx) ** 2 + (py - qy) ** 2 <= r * r

    box = coverage(rounded, x, y)
    if box == 0:
        return (0, 0, 0, 0)
    colour = mix((30, 90, 150), (60, 140, 190), y / 32)
    q = coverage(feather(16, 16, 26, 9, math.radians(-55)), x, y)
    colour = mix(colour, (245, 248, 252), q)
    return colour + (255 * box,)


def round_icon(fill, ring):
    def pixel(x, y):
        outer = coverage(lambda px, py: (px - 8) ** 2 + (py - 8) ** 2 <= 7.2 ** 2, x, y)
        inner = coverage(lambda px, py: (px - 8) ** 2 + (py - 8) ** 2 <= 5.4 ** 2, x, y)
        dot = coverage(lambda px, py: (px - 6) ** 2 + (py - 6) ** 2 <= 2 ** 2, x, y)
        colour = mix(ring, fill, inner)
        colour = mix(colour, (255, 255, 255), 0.7 * dot)
        return colour + (255 * outer,)

    return pixel


def backup_icon(x, y):
    page = 3 <= x <= 12 and 1 <= y <= 14 and not (x - 3) + (14 - y) < 0 and not (x > 9 and y < 4 + (x - 9))
    if not page:
        return (0, 0, 0, 0)
    edge = x in (3, 12) or y in (1, 14) or (x > 9 and y == 4 + (x - 9))
    if edge:
        return (70, 90, 110, 255)
    if y in (6, 8, 10) and 5 <= x <= 10:
        return (60, 140, 190, 255)
    return (250, 250, 250, 255)


ICONS = [
    ("ie.png", (40, 120, 215), (20, 70, 140)),
    ("firefox.png", (240, 120, 30), (150, 50, 120)),
    ("opera.png", (215, 30, 40), (130, 15, 20)),
    ("safari.png", (90, 170, 230), (60, 70, 90)),
    ("netscape.png", (0, 130, 130), (0, 70, 90)),
    ("seamonkey.png", (235, 190, 40), (120, 80, 30)),
]

if __name__ == "__main__":
    write_png("side.png", 137, 215, side_picture)
    write_png("quillary.png", 32, 32, program_icon)
    for name, fill, ring in ICONS:
        write_png(name, 16, 16, round_icon(fill, ring))
    write_png("backup.png", 16, 16, backup_icon)
