#!/usr/bin/env python3
"""Writes Tumbral's application icon into the hicolor icon theme's layout:
packaging/icons/hicolor/<N>x<N>/apps/tumbral.png for each size N below and
packaging/icons/hicolor/scalable/apps/tumbral.svg.

The picture is the puzzle seen from above one corner: a dark rounded hexagon
(the body) with three faces of 3 x 3 rounded stickers in the cube's own white,
blue and red, each face a little darker than the one above it. Every shape is
a convex polygon grown by a radius (a rounded polygon); the PNGs take each
pixel's coverage from the shape's exact signed distance at the pixel centre,
so edges are anti-aliased at every size, and the SVG draws the same polygons
with a round-joined stroke of twice the radius, which is the same shape. Only
square roots are used (no trigonometry), so the output is the same bytes on
every machine. Run by hand after changing a colour or a shape here; the output
is committed and a test checks that this script reproduces it.

Usage: gen_icon.py [output folder]   (default: packaging/icons)
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
UNITS = 256.0  # the drawing's own square, scaled to each size
CENTRE = (128.0, 128.0)
HEX_RADIUS = 118.0  # centre to each corner of the body
COS30 = math.sqrt(3.0) / 2.0

BODY = (28, 32, 44)
BODY_ROUND = 7.0
STICKER_INSET = 0.05  # per side, in face units (a face is 1 x 1, a cell 1/3)
STICKER_ROUND = 3.5
# (face, colour, shade): top y = 1, left z = 1, right x = 1.
FACES = (
    ("top", (246, 246, 242), 1.0),
    ("left", (20, 90, 210), 0.9),
    ("right", (214, 30, 30), 0.78),
)


def project(x, y, z):
    """A point of the unit cube [0,1]^3 on the drawing: x runs down to the
    right, z down to the left, y up; the corner (1,1,1) is at the centre."""
    return (CENTRE[0] + HEX_RADIUS * (x - z) * COS30, CENTRE[1] + HEX_RADIUS * ((x + z) * 0.5 - y))


def face_point(face, u, v):
    if face == "top":
        return project(u, 1.0, v)
    if face == "left":
        return project(u, 1.0 - v, 1.0)
    return project(1.0, 1.0 - v, u)


def hexagon(radius):
    c = CENTRE
    return [(c[0], c[1] - radius), (c[0] + radius * COS30, c[1] - radius * 0.5),
            (c[0] + radius * COS30, c[1] + radius * 0.5), (c[0], c[1] + radius),
            (c[0] - radius * COS30, c[1] + radius * 0.5), (c[0] - radius * COS30, c[1] - radius * 0.5)]


def shapes():
    """(polygon, rounding radius, RGB) in drawing order."""
    # The body's hexagon is shrunk so that, rounded, its flat sides stay where the
    # unrounded hexagon's were.
    out = [(hexagon(HEX_RADIUS - BODY_ROUND / COS30), BODY_ROUND, BODY)]
    for face, colour, shade in FACES:
        rgb = tuple(int(round(c * shade)) for c in colour)
        for row in range(3):
            for col in range(3):
                u0, u1 = col / 3.0 + STICKER_INSET, (col + 1) / 3.0 - STICKER_INSET
                v0, v1 = row / 3.0 + STICKER_INSET, (row + 1) / 3.0 - STICKER_INSET
                quad = [face_point(face, u0, v0), face_point(face, u1, v0),
                        face_point(face, u1, v1), face_point(face, u0, v1)]
                out.append((quad, STICKER_ROUND, rgb))
    return out


class ConvexShape:
    """Exact signed distance to a convex polygon (negative inside)."""

    def __init__(self, points):
        area = sum(points[i][0] * points[i - 1][1] - points[i - 1][0] * points[i][1] for i in range(len(points)))
        self.edges = []
        for i in range(len(points)):
            ax, ay = points[i - 1]
            bx, by = points[i]
            dx, dy = bx - ax, by - ay
            length = math.sqrt(dx * dx + dy * dy)
            # Outward normal for either winding.
            nx, ny = (dy / length, -dx / length) if area < 0 else (-dy / length, dx / length)
            self.edges.append((ax, ay, dx, dy, nx, ny, dx * dx + dy * dy))

    def distance(self, px, py):
        inside = max((px - ax) * nx + (py - ay) * ny for ax, ay, _, _, nx, ny, _ in self.edges)
        if inside <= 0.0:
            return inside
        best = None
        for ax, ay, dx, dy, _, _, len2 in self.edges:
            t = min(max(((px - ax) * dx + (py - ay) * dy) / len2, 0.0), 1.0)
            ex, ey = px - ax - t * dx, py - ay - t * dy
            d = ex * ex + ey * ey
            best = d if best is None or d < best else best
        return math.sqrt(best)


def render(size):
    """Straight-alpha RGBA rows of one size."""
    scale = size / UNITS
    # Premultiplied colour and alpha per pixel, 0..1.
    pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]
    for polygon, radius, rgb in shapes():
        shape = ConvexShape(polygon)
        xs = [p[0] for p in polygon]
        ys = [p[1] for p in polygon]
        reach = radius + 1.0 / scale
        x0, x1 = max(int((min(xs) - reach) * scale), 0), min(int((max(xs) + reach) * scale) + 1, size)
        y0, y1 = max(int((min(ys) - reach) * scale), 0), min(int((max(ys) + reach) * scale) + 1, size)
        colour = [c / 255.0 for c in rgb]
        for y in range(y0, y1):
            for x in range(x0, x1):
                d = (shape.distance((x + 0.5) / scale, (y + 0.5) / scale) - radius) * scale
                a = min(max(0.5 - d, 0.0), 1.0)
                if a == 0.0:
                    continue
                p = pixels[y * size + x]
                for i in range(3):
                    p[i] = colour[i] * a + p[i] * (1.0 - a)
                p[3] = a + p[3] * (1.0 - a)
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            r, g, b, a = pixels[y * size + x]
            if a <= 0.0:
                row += b"\x00\x00\x00\x00"
                continue
            row += bytes(min(int(round(c / a * 255.0)), 255) for c in (r, g, b))
            row.append(int(round(a * 255.0)))
        rows.append(bytes(row))
    return rows


def png(rows, size):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def svg():
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<!-- Tumbral\'s icon; generated by scripts/gen_icon.py. -->',
           '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">']
    for polygon, radius, rgb in shapes():
        points = " ".join("%.3f,%.3f" % p for p in polygon)
        colour = "#%02x%02x%02x" % rgb
        out.append('  <polygon points="%s" fill="%s" stroke="%s" stroke-width="%.3f" stroke-linejoin="round"/>' %
                   (points, colour, colour, 2.0 * radius))
    out.append("</svg>")
    return "\n".join(out) + "\n"


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "packaging", "icons")
    root = os.path.join(sys.argv[1] if len(sys.argv) > 1 else default, "hicolor")
    for size in SIZES:
        write(os.path.join(root, "%dx%d" % (size, size), "apps", "tumbral.png"), png(render(size), size))
    write(os.path.join(root, "scalable", "apps", "tumbral.svg"), svg().encode("ascii"))


if __name__ == "__main__":
    main()
