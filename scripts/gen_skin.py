#!/usr/bin/env python3
"""Writes the GUI toolkit's built-in skin: common/kitgui/media/kit_skin.dds.

A 256 x 256, 32-bit DDS (masks R 0xFF, G 0xFF00, B 0xFF0000, A 0xFF000000,
no mip maps; 128-byte header + 262,144 bytes of pixels = 262,272 bytes).
Every rectangle of the toolkit's default-element table holds the part it
names. Shapes are signed-distance functions whose coverage gives
anti-aliased alpha edges; fully transparent texels keep the colour of the
nearest shape so that linear filtering of a stretched sprite leaves no dark
fringe. Run by hand after changing a colour or a shape here; the output is
committed and a test checks that this script reproduces it.

Usage: gen_skin.py [output path]
"""
import math
import os
import struct
import sys

SIZE = 256

# A calm palette that reads well over the cube's blue background.
SLATE = (34, 40, 56)        # button face, box fill: dark, carries white text
SLATE_EDGE = (150, 166, 196)
LIGHT = (236, 240, 246)     # hover fill, panels behind black text
PANEL_EDGE = (96, 112, 140)
ACCENT = (64, 128, 232)     # selections
MARK = (255, 255, 255)


def clamp01(v):
    return 0.0 if v < 0.0 else (1.0 if v > 1.0 else v)


def rounded_box(px, py, l, t, r, b, radius):
    """Signed distance to a rounded rectangle (negative inside)."""
    cx, cy = (l + r) / 2.0, (t + b) / 2.0
    hx, hy = (r - l) / 2.0 - radius, (b - t) / 2.0 - radius
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def circle(px, py, cx, cy, radius):
    return math.hypot(px - cx, py - cy) - radius


def segment(px, py, ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    t = clamp01(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy))
    return math.hypot(px - ax - t * dx, py - ay - t * dy) - half_width


def polyline(px, py, points, half_width):
    return min(segment(px, py, *points[i], *points[i + 1], half_width) for i in range(len(points) - 1))


class Canvas:
    def __init__(self):
        # Straight (not premultiplied) RGBA floats, 0..1 alpha.
        self.rgb = [[(0.0, 0.0, 0.0)] * SIZE for _ in range(SIZE)]
        self.alpha = [[0.0] * SIZE for _ in range(SIZE)]
        self.tinted = [[False] * SIZE for _ in range(SIZE)]

    def layer(self, rect, colour_at, coverage_at, opacity=1.0):
        """Composites one shape over the canvas inside rect = (l, t, r, b)."""
        l, t, r, b = rect
        for y in range(t, b):
            for x in range(l, r):
                px, py = x + 0.5, y + 0.5
                cov = clamp01(0.5 - coverage_at(px, py)) * opacity
                colour = colour_at(px, py)
                if cov <= 0.0:
                    # Keep the shape's colour under transparent texels nearby.
                    if self.alpha[y][x] == 0.0 and not self.tinted[y][x]:
                        self.rgb[y][x] = colour
                        self.tinted[y][x] = True
                    continue
                a0 = self.alpha[y][x]
                a = cov + a0 * (1.0 - cov)
                c0 = self.rgb[y][x]
                self.rgb[y][x] = tuple((colour[i] * cov + c0[i] * a0 * (1.0 - cov)) / a for i in range(3))
                self.alpha[y][x] = a
                self.tinted[y][x] = True

    def pixels(self):
        out = bytearray()
        for y in range(SIZE):
            for x in range(SIZE):
                r, g, b = self.rgb[y][x]
                a = self.alpha[y][x]
                out += bytes((int(r + 0.5), int(g + 0.5), int(b + 0.5), int(a * 255.0 + 0.5)))
        return bytes(out)


def solid(colour):
    return lambda px, py: colour


def vertical(top_colour, bottom_colour, t, b):
    def at(px, py):
        f = clamp01((py - t) / float(b - t))
        return tuple(top_colour[i] + (bottom_colour[i] - top_colour[i]) * f for i in range(3))
    return at


def framed_box(c, rect, radius, fill_top, fill_bottom, edge, edge_width=1.5, inset=1.0):
    """A rounded box with a gradient fill and a border."""
    l, t, r, b = rect
    L, T, R, B = l + inset, t + inset, r - inset, b - inset
    c.layer(rect, solid(edge), lambda px, py: rounded_box(px, py, L, T, R, B, radius))
    c.layer(rect, vertical(fill_top, fill_bottom, T, B),
            lambda px, py: rounded_box(px, py, L + edge_width, T + edge_width, R - edge_width, B - edge_width,
                                       max(radius - edge_width, 0.5)))


def build():
    c = Canvas()
    # Button face and the fill layer that lights it up when hovered.
    framed_box(c, (0, 0, 136, 54), 10.0, (58, 66, 88), SLATE, SLATE_EDGE, edge_width=2.0, inset=2.0)
    c.layer((136, 0, 252, 54), vertical((250, 252, 255), (214, 222, 236), 2, 52),
            lambda px, py: rounded_box(px, py, 138.0, 2.0, 250.0, 52.0, 10.0))

    # Check box and radio button: boxes and their marks.
    framed_box(c, (0, 54, 27, 81), 5.0, (58, 66, 88), SLATE, SLATE_EDGE, edge_width=2.0, inset=2.5)
    c.layer((27, 54, 54, 81), solid(MARK),
            lambda px, py: polyline(px, py, [(33.5, 67.5), (38.5, 73.0), (47.5, 61.0)], 1.6))
    c.layer((54, 54, 81, 81), solid(SLATE_EDGE), lambda px, py: circle(px, py, 67.5, 67.5, 11.0))
    c.layer((54, 54, 81, 81), vertical((58, 66, 88), SLATE, 58, 77),
            lambda px, py: circle(px, py, 67.5, 67.5, 9.0))
    c.layer((81, 54, 108, 81), solid(MARK), lambda px, py: circle(px, py, 94.5, 67.5, 5.0))

    # Combo box main part and the edit box's nine pieces share one framed panel.
    framed_box(c, (7, 81, 247, 123), 5.0, (246, 248, 252), (226, 232, 242), PANEL_EDGE, edge_width=2.0,
               inset=1.5)
    # Drop-down list / list box panel.
    framed_box(c, (13, 123, 241, 161), 3.0, (248, 250, 253), (236, 240, 247), PANEL_EDGE, edge_width=1.0,
               inset=0.5)
    # Selection bar of the combo box and the list box.
    c.layer((12, 163, 241, 184), vertical((84, 146, 240), (56, 116, 222), 163, 183),
            lambda px, py: rounded_box(px, py, 12.0, 163.0, 240.0, 183.0, 3.0))

    # Slider track and button.
    c.layer((1, 187, 93, 228), solid(SLATE_EDGE),
            lambda px, py: rounded_box(px, py, 3.0, 204.0, 91.0, 211.0, 3.5))
    c.layer((1, 187, 93, 228), solid(SLATE),
            lambda px, py: rounded_box(px, py, 4.5, 205.5, 89.5, 209.5, 2.0))
    c.layer((151, 193, 192, 234), solid(SLATE_EDGE), lambda px, py: circle(px, py, 171.5, 213.5, 17.0))
    c.layer((151, 193, 192, 234), vertical((250, 252, 255), (206, 214, 230), 197, 230),
            lambda px, py: circle(px, py, 171.5, 213.5, 15.0))

    # Combo box button: a square with a down chevron.
    framed_box(c, (98, 189, 151, 238), 6.0, (70, 80, 104), SLATE, SLATE_EDGE, edge_width=2.0, inset=2.0)
    c.layer((98, 189, 151, 238), solid(MARK),
            lambda px, py: polyline(px, py, [(114.0, 207.0), (124.5, 218.0), (135.0, 207.0)], 2.2))

    # Scroll bar: up arrow, track, down arrow (from the origin 196, 191) and the thumb.
    ox, oy = 196, 191
    framed_box(c, (ox, oy + 1, ox + 22, oy + 21), 4.0, (70, 80, 104), SLATE, SLATE_EDGE, edge_width=1.5,
               inset=1.0)
    c.layer((ox, oy + 1, ox + 22, oy + 21), solid(MARK),
            lambda px, py: polyline(px, py, [(ox + 6.0, oy + 14.0), (ox + 11.0, oy + 8.5), (ox + 16.0, oy + 14.0)],
                                    1.4))
    c.layer((ox, oy + 21, ox + 22, oy + 32), solid((70, 80, 104)),
            lambda px, py: rounded_box(px, py, ox + 3.0, oy + 19.0, ox + 19.0, oy + 34.0, 0.5))
    framed_box(c, (ox, oy + 32, ox + 22, oy + 53), 4.0, (70, 80, 104), SLATE, SLATE_EDGE, edge_width=1.5,
               inset=1.0)
    c.layer((ox, oy + 32, ox + 22, oy + 53), solid(MARK),
            lambda px, py: polyline(px, py, [(ox + 6.0, oy + 39.5), (ox + 11.0, oy + 45.0), (ox + 16.0, oy + 39.5)],
                                    1.4))
    framed_box(c, (220, 192, 238, 234), 5.0, (214, 222, 236), (176, 188, 210), PANEL_EDGE, edge_width=1.0,
               inset=1.0)
    return c.pixels()


def dds(pixels):
    header = struct.pack(
        "<4sIIIIIII44x" "II4sIIIII" "IIIII",
        b"DDS ", 124, 0x1007, SIZE, SIZE, SIZE * 4, 0, 0,
        32, 0x41, b"\0\0\0\0", 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000,
        0x1002, 0, 0, 0, 0)
    assert len(header) == 128
    data = header + pixels
    assert len(data) == 262272
    return data


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "common", "kitgui", "media", "kit_skin.dds")
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    with open(out, "wb") as f:
        f.write(dds(build()))


if __name__ == "__main__":
    main()
