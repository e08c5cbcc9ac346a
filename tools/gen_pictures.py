#!/usr/bin/env python3
"""Draws Redoviri's bitmaps and icons.

Writes every picture into src/resources/pictures/ (24-bit BMP files, ICO
files with images of 16 to 64 pixels, each a PNG in RGBA), the
resource script src/resources/redoviri.rc and the id header
src/resources/resource_ids.h. Every bitmap is written at 100 %; the program
draws it again for other screens at run time, from the same shapes, with
the C++ port of these producers (src/base/pictures.cpp, held to the written
bitmaps by pictures_tests). Uses the Python standard library only: the
pictures are drawn from shapes (with 4 x 4 supersampling for smooth edges)
and from small hand-made pixel and stroke fonts.

Transparent bitmaps use magenta RGB(255, 0, 255) as their key colour; their
bottom-left pixel is always the key. Edges of such pictures are smoothed
towards the light cell colours they are drawn on.

Run from anywhere: python3 tools/gen_pictures.py [--check]
With --check nothing is written; the exit status says whether the committed
files match what the generator draws.
"""

import math
import multiprocessing
import os
import struct
import sys
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
RES_DIR = os.path.join(ROOT, "src", "resources")
PIC_DIR = os.path.join(RES_DIR, "pictures")

KEY = (255, 0, 255)  # transparent colour of the transparent bitmaps
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
SILVER = (192, 192, 192)
TODAY = (128, 255, 255)     # today's cell
SELECTED = (255, 255, 221)  # the selected cell and the details panel

# Category colours, in category order 1..6.
CATEGORY = [
    ("lov", (255, 0, 0)),      # lovely
    ("bir", (0, 0, 255)),      # birthday
    ("wor", (128, 128, 0)),    # work/business
    ("rel", (128, 0, 128)),    # religion/legal
    ("fee", (0, 128, 0)),      # feest
    ("oth", (0, 128, 128)),    # other
]
CATEGORY_COLOURS = [c for _, c in CATEGORY]

# Frame colours: a dark teal-blue bar that white text reads well on.
FRAME_LIGHT = (92, 150, 178)
FRAME_MID = (38, 92, 122)
FRAME_DARK = (14, 44, 70)
FRAME_EDGE = (6, 22, 38)


# --------------------------------------------------------------------------
# Colour helpers

def mix(a, b, t):
    """a at t = 0, b at t = 1."""
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def ramp(stops, t):
    """Colour at t (0..1) along [(t0, colour0), (t1, colour1), ...]."""
    t = min(max(t, 0.0), 1.0)
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, 0.0 if t1 == t0 else (t - t0) / (t1 - t0))
    return stops[-1][1]


def lighter(c, t):
    return mix(c, WHITE, t)


def darker(c, t):
    return mix(c, BLACK, t)


# --------------------------------------------------------------------------
# Canvas: RGBA pixels, straight (not premultiplied) alpha, alpha in 0..1.

def at_scale(n, percent):
    """n pixels of the 100 % picture at percent, rounded as the program's
    MulDiv rounds (half up)."""
    return (n * percent + 50) // 100


class Canvas:
    """width x height in design pixels (those of the 100 % picture); at
    another percent the canvas has that many more real pixels and every
    shape, colour function and paste given in design pixels lands scaled.
    set() and the w, h, px fields are in real pixels."""

    def __init__(self, width, height, fill=None, percent=100):
        self.percent = percent
        self.w = at_scale(width, percent)
        self.h = at_scale(height, percent)
        # Per axis, so that the design's edges fall on the canvas's edges.
        self.kx = self.w / width
        self.ky = self.h / height
        rgb = fill if fill is not None else (0, 0, 0)
        alpha = 1.0 if fill is not None else 0.0
        self.px = [[(rgb[0], rgb[1], rgb[2], alpha) for _ in range(self.w)] for _ in range(self.h)]

    def blend(self, x, y, rgb, a):
        if a <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        r0, g0, b0, a0 = self.px[y][x]
        out = a + a0 * (1.0 - a)
        if out <= 0.0:
            return
        k = a0 * (1.0 - a)
        self.px[y][x] = ((rgb[0] * a + r0 * k) / out, (rgb[1] * a + g0 * k) / out,
                         (rgb[2] * a + b0 * k) / out, out)

    def set(self, x, y, rgb, a=1.0):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = (rgb[0], rgb[1], rgb[2], a)

    def get(self, x, y):
        return self.px[y][x]

    def design(self, x, y):
        """The design coordinates of real pixel (x, y)'s centre."""
        if self.percent == 100:
            return x + 0.5, y + 0.5
        return (x + 0.5) / self.kx, (y + 0.5) / self.ky

    def block(self, x, y, rgb):
        """Sets design pixel (x, y): the real pixels whose centres it covers."""
        if self.percent == 100:
            self.set(x, y, rgb)
            return
        for yy in range(_edge(y * self.ky), _edge((y + 1) * self.ky)):
            for xx in range(_edge(x * self.kx), _edge((x + 1) * self.kx)):
                self.set(xx, yy, rgb)

    def fill(self, shape, colour, alpha=1.0, ss=4):
        """Paints a shape given in design pixels; colour is an RGB tuple or a
        function (x, y) -> RGB of design coordinates."""
        inside, (x0, y0, x1, y1) = shape
        if self.percent != 100:
            kx, ky = self.kx, self.ky
            inside = (lambda f: lambda x, y: f(x / kx, y / ky))(inside)
            x0, y0, x1, y1 = x0 * kx, y0 * ky, x1 * kx, y1 * ky
            if callable(colour):
                colour = (lambda f: lambda x, y: f(x / kx, y / ky))(colour)
        step = 1.0 / ss
        offsets = [(i + 0.5) * step for i in range(ss)]
        total = ss * ss
        for y in range(max(0, int(math.floor(y0))), min(self.h, int(math.ceil(y1)))):
            for x in range(max(0, int(math.floor(x0))), min(self.w, int(math.ceil(x1)))):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if inside(x + ox, y + oy):
                            hits += 1
                if hits:
                    c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                    self.blend(x, y, c, alpha * hits / total)

    def paste(self, other, dx, dy):
        """Blends another canvas (of the same percent) in at design (dx, dy)."""
        dx, dy = _edge(dx * self.kx), _edge(dy * self.ky)
        for y in range(other.h):
            for x in range(other.w):
                r, g, b, a = other.px[y][x]
                self.blend(x + dx, y + dy, (r, g, b), a)


def _edge(v):
    """The real pixel edge nearest to v."""
    return int(math.floor(v + 0.5))


# --------------------------------------------------------------------------
# Shapes: (inside(x, y), bounding box (x0, y0, x1, y1)); pixel (i, j) covers
# [i, i + 1) x [j, j + 1).

def rect(x0, y0, x1, y1):
    return (lambda x, y: x0 <= x < x1 and y0 <= y < y1), (x0, y0, x1, y1)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside, (x0, y0, x1, y1)


def ellipse(cx, cy, rx, ry):
    def inside(x, y):
        return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0
    return inside, (cx - rx, cy - ry, cx + rx, cy + ry)


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside, (min(xs), min(ys), max(xs), max(ys))


def _segment_distance2(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return qx * qx + qy * qy


def strokes(polylines, width):
    """Thick lines with round ends and joins."""
    segments = []
    for line in polylines:
        if len(line) == 1:
            segments.append((line[0][0], line[0][1], line[0][0], line[0][1]))
        for (ax, ay), (bx, by) in zip(line, line[1:]):
            segments.append((ax, ay, bx, by))
    r = width / 2.0
    r2 = r * r
    xs = [v for s in segments for v in (s[0], s[2])]
    ys = [v for s in segments for v in (s[1], s[3])]

    def inside(x, y):
        for ax, ay, bx, by in segments:
            if min(ax, bx) - r <= x <= max(ax, bx) + r and min(ay, by) - r <= y <= max(ay, by) + r:
                if _segment_distance2(x, y, ax, ay, bx, by) <= r2:
                    return True
        return False
    return inside, (min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r)


def union(*shapes):
    def inside(x, y):
        return any(s[0](x, y) for s in shapes)
    return inside, (min(s[1][0] for s in shapes), min(s[1][1] for s in shapes),
                    max(s[1][2] for s in shapes), max(s[1][3] for s in shapes))


def minus(a, b):
    return (lambda x, y: a[0](x, y) and not b[0](x, y)), a[1]


def heart(cx, cy, size):
    """A heart about size wide, centred on (cx, cy)."""
    def inside(x, y):
        u = (x - cx) / (size * 0.5) * 1.15
        v = -(y - cy) / (size * 0.5) * 1.15 + 0.15
        return (u * u + v * v - 1.0) ** 3 - u * u * v ** 3 <= 0.0
    half = size * 0.5
    return inside, (cx - half, cy - half, cx + half, cy + half)


def star(cx, cy, outer, inner, points=5, turn=-90.0):
    pts = []
    for i in range(points * 2):
        r = outer if i % 2 == 0 else inner
        a = math.radians(turn + i * 180.0 / points)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polygon(pts)


def arc_points(cx, cy, rx, ry, a0, a1, steps=None):
    """Points along an elliptic arc, angles in degrees counter-clockwise with
    y pointing up (the stroke font's coordinates)."""
    if steps is None:
        steps = max(4, int(abs(a1 - a0) / 10))
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]


# --------------------------------------------------------------------------
# Pixel digits for the day icons: bold, 5 x 7.

DIGITS = {
    "0": [".###.", "##.##", "##.##", "##.##", "##.##", "##.##", ".###."],
    "1": ["..##.", ".###.", "..##.", "..##.", "..##.", "..##.", ".####"],
    "2": [".###.", "##.##", "...##", "..##.", ".##..", "##...", "#####"],
    "3": ["####.", "...##", "...##", ".###.", "...##", "...##", "####."],
    "4": ["...##", "..###", ".#.##", "#..##", "#####", "...##", "...##"],
    "5": ["#####", "##...", "####.", "...##", "...##", "##.##", ".###."],
    "6": [".###.", "##...", "##...", "####.", "##.##", "##.##", ".###."],
    "7": ["#####", "...##", "..##.", "..##.", ".##..", ".##..", ".##.."],
    "8": [".###.", "##.##", "##.##", ".###.", "##.##", "##.##", ".###."],
    "9": [".###.", "##.##", "##.##", ".####", "...##", "...##", ".###."],
}
DIGIT_W, DIGIT_H = 5, 7


def pixel_text_width(text, scale=1, gap=1):
    return (len(text) * DIGIT_W + (len(text) - 1) * gap) * scale


def draw_pixel_text(canvas, x, y, text, colour, scale=1, gap=1):
    """Each font pixel is a block of scale x scale real pixels; at a scale
    that is not whole the blocks' edges go to the nearest pixel edge, so the
    digits stay crisp."""
    pen = 0
    for ch in text:
        rows = DIGITS[ch]
        for j, row in enumerate(rows):
            for i, bit in enumerate(row):
                if bit == "#":
                    for py in range(_edge(y + j * scale), _edge(y + (j + 1) * scale)):
                        for px in range(_edge(x + (pen + i) * scale), _edge(x + (pen + i + 1) * scale)):
                            canvas.set(px, py, colour)
        pen += DIGIT_W + gap


# --------------------------------------------------------------------------
# Stroke font for the splash: glyphs as polylines in units where the
# baseline is y = 0, the x-height 5 and the cap height 7 (y up).

def _glyphs():
    g = {}
    g["R"] = (5.0, [[(0, 0), (0, 7), (2.6, 7)] + arc_points(2.6, 5.2, 1.8, 1.8, 90, -90)[1:] + [(0, 3.4)],
                    [(2.0, 3.4), (4.4, 0)]])
    g["e"] = (4.6, [[(0.1, 2.6), (4.4, 2.6)] + arc_points(2.25, 2.5, 2.15, 2.5, 0, 320)[1:]])
    g["d"] = (4.8, [arc_points(2.0, 2.5, 2.0, 2.5, 0, 360), [(4.0, 0), (4.0, 7.4)]])
    g["o"] = (4.6, [arc_points(2.3, 2.5, 2.3, 2.5, 0, 360)])
    g["v"] = (4.6, [[(0, 5), (2.3, 0), (4.6, 5)]])
    g["i"] = (1.0, [[(0.5, 0), (0.5, 5)], [(0.5, 6.9)]])
    g["r"] = (3.2, [[(0, 0), (0, 5)], [(0, 2.6)] + arc_points(2.6, 2.4, 2.6, 2.6, 175, 95)[1:]])
    g["b"] = (4.8, [[(0, 0), (0, 7.4)], arc_points(2.4, 2.5, 2.4, 2.5, 0, 360)])
    g["y"] = (4.6, [[(0, 5), (2.3, 0.2)], [(4.6, 5), (2.0, -1.6), (1.4, -2.4), (0.6, -2.6)]])
    g["D"] = (5.4, [[(0, 0), (0, 7), (2.0, 7)] + arc_points(2.0, 3.5, 3.4, 3.5, 90, -90)[1:] + [(0, 0)]])
    g["U"] = (5.0, [[(0, 7), (0, 2.5)] + arc_points(2.5, 2.5, 2.5, 2.5, 180, 360)[1:] + [(5.0, 7)]])
    g["Z"] = (5.0, [[(0.2, 7), (5.0, 7), (0, 0), (5.0, 0)]])
    g["O"] = (5.8, [arc_points(2.9, 3.5, 2.9, 3.5, 0, 360, 48)])
    g["V"] = (5.6, [[(0, 7), (2.8, 0), (5.6, 7)]])
    g[" "] = (2.4, [])
    return g


GLYPHS = _glyphs()


def text_shape(text, x, baseline, unit, width, spacing=1.4):
    """The shape of a line of stroke-font text; returns (shape, advance)."""
    lines = []
    pen = x
    for ch in text:
        advance, polylines = GLYPHS[ch]
        for line in polylines:
            lines.append([(pen + px * unit, baseline - py * unit) for px, py in line])
        pen += (advance + spacing) * unit
    return strokes(lines, width), pen - spacing * unit - x


# --------------------------------------------------------------------------
# File writers

def bmp_bytes(canvas, background=None, transparent=False):
    """24-bit BMP. Transparent pictures get the key colour where they are
    mostly empty and have their edges smoothed onto `background`."""
    if transparent and canvas.px[canvas.h - 1][0][3] >= 0.4:
        raise ValueError("a transparent picture must have the key in its bottom-left pixel")
    row_size = (canvas.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.w):
            r, g, b, a = canvas.px[y][x]
            if transparent and a < 0.4:
                rgb = KEY
            else:
                base = background if background is not None else WHITE
                if transparent:
                    a = min(1.0, a / 0.9)
                rgb = mix(base, (r, g, b), a)
                rgb = tuple(int(round(v)) for v in rgb)
                if transparent and rgb == KEY:
                    rgb = (254, 0, 255)
            row += bytes((rgb[2], rgb[1], rgb[0]))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def _ico_image(canvas):
    """One image of an icon as a PNG (RGBA, 8 bits a channel), which icon
    files hold since Windows Vista: a ninth of the size of a 32-bit DIB with
    its AND mask."""
    raw = bytearray()
    for y in range(canvas.h):
        raw.append(0)  # no filter
        for x in range(canvas.w):
            r, g, b, a = canvas.px[y][x]
            alpha = int(round(a * 255))
            raw += bytes((int(round(r)), int(round(g)), int(round(b)), alpha)) if alpha else b"\0\0\0\0"

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


def ico_bytes(canvases):
    images = [_ico_image(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for c, img in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    return bytes(out)


# --------------------------------------------------------------------------
# Main window frame: bars lit from the top left, close boxes, legends.

def _bar_colour(t):
    """Across a bar: t = 0 at the lit edge, 1 at the shaded edge."""
    return ramp([(0.0, FRAME_LIGHT), (0.12, FRAME_MID), (0.75, FRAME_DARK), (1.0, FRAME_EDGE)], t)


def horizontal_bar(width, height, percent=100):
    """Stretched along its length, so only its thickness is drawn at scale."""
    c = Canvas(width, height, percent=percent)
    for y in range(c.h):
        colour = _bar_colour(y / (c.h - 1))
        for x in range(c.w):
            c.set(x, y, colour)
    return c


def vertical_bar(width, height, percent=100):
    c = Canvas(width, height, percent=percent)
    for x in range(c.w):
        colour = _bar_colour(x / (c.w - 1))
        for y in range(c.h):
            c.set(x, y, colour)
    return c


def close_box(width, height, percent=100):
    c = horizontal_bar(width, height, percent)
    face = lambda x, y: ramp([(0, (74, 128, 156)), (1, (24, 66, 96))], y / height)
    c.fill(rounded_rect(1.5, 1.5, width - 1.5, height - 1.5, 3.0), FRAME_EDGE)
    c.fill(rounded_rect(2.5, 2.5, width - 2.5, height - 2.5, 2.2), face)
    c.fill(rect(3.5, 2.5, width - 3.5, 3.5), (130, 180, 205), 0.6)
    cx, cy, r = width / 2.0, height / 2.0, 3.6
    cross = [[(cx - r, cy - r), (cx + r, cy + r)], [(cx - r, cy + r), (cx + r, cy - r)]]
    c.fill(strokes([[(x + 0.7, y + 0.7) for x, y in line] for line in cross], 2.3), FRAME_EDGE, 0.7)
    c.fill(strokes(cross, 2.3), WHITE)
    return c


def legend_strip(percent=100):
    """11 x 32: the six category colours as stacked bands in a dark frame."""
    c = Canvas(11, 32, fill=(60, 60, 60), percent=percent)
    for k, colour in enumerate(CATEGORY_COLOURS):
        for y in range(1 + 5 * k, 6 + 5 * k):
            for x in range(1, 10):
                shade = lighter(colour, 0.25) if x == 1 else colour
                c.block(x, y, shade)
    return c


def category_band(canvas, x0, x1, y0, y1):
    """Six equal segments in the category colours across [x0, x1)."""
    for k, colour in enumerate(CATEGORY_COLOURS):
        a = x0 + (x1 - x0) * k / 6.0
        b = x0 + (x1 - x0) * (k + 1) / 6.0
        canvas.fill(rect(a, y0, b, y1), colour)


def legend_header(percent=100):
    """46 x 20, drawn transparent and stretched behind a day name: a thin
    band of the six colours along the bottom."""
    c = Canvas(46, 20, percent=percent)
    category_band(c, 0, 46, 17, 19)
    return c


def legend_panel(percent=100):
    """322 x 22 behind the details line: a thin band along the top."""
    c = Canvas(322, 22, percent=percent)
    category_band(c, 0, 322, 0, 3)
    return c


# --------------------------------------------------------------------------
# Moon marks: 16 x 16, transparent, drawn in the lower-left corner of a day
# cell; the disc keeps to the left so that the day number stays clear.

MOON_CX, MOON_CY, MOON_R = 6.5, 9.5, 5.5


def new_moon(percent=100):
    c = Canvas(16, 16, percent=percent)
    c.fill(circle(MOON_CX, MOON_CY, MOON_R), (150, 160, 190))
    body = lambda x, y: ramp([(0, (70, 76, 100)), (1, (26, 28, 42))],
                             ((x - MOON_CX) + (y - MOON_CY)) / (2 * MOON_R) + 0.5)
    c.fill(circle(MOON_CX, MOON_CY, MOON_R - 1.0), body)
    return c


def full_moon(percent=100):
    c = Canvas(16, 16, percent=percent)
    c.fill(circle(MOON_CX, MOON_CY, MOON_R), (196, 160, 40))
    body = lambda x, y: ramp([(0, (255, 252, 214)), (1, (246, 218, 100))],
                             ((x - MOON_CX) + (y - MOON_CY)) / (2 * MOON_R) + 0.5)
    c.fill(circle(MOON_CX, MOON_CY, MOON_R - 0.9), body)
    c.fill(circle(MOON_CX + 1.6, MOON_CY - 1.2, 1.1), (236, 206, 110), 0.7)
    c.fill(circle(MOON_CX - 1.8, MOON_CY + 1.8, 0.8), (236, 206, 110), 0.7)
    return c


# --------------------------------------------------------------------------
# Day-cell event pictures, 44 x 28: the background of a cell whose day number
# is centred over it, so the markers keep to the edges.

CELL_W, CELL_H = 44, 28
MULTI_FRAME = (72, 72, 96)


def event_picture(background, colours, selected=False, percent=100):
    c = Canvas(CELL_W, CELL_H, fill=background, percent=percent)
    single = len(colours) == 1
    frame = colours[0] if single else MULTI_FRAME
    width = 3.0 if selected else 2.0
    r = 5.0
    if single and background == WHITE:
        c.fill(rounded_rect(0, 0, CELL_W, CELL_H, r), mix(background, frame, 0.10))
    c.fill(minus(rounded_rect(0, 0, CELL_W, CELL_H, r),
                 rounded_rect(width, width, CELL_W - width, CELL_H - width, r - width)), frame)
    # A corner tab (top right) in the category colour, or the six colours
    # in a band along the top for a day with several events.
    if single:
        c.fill(polygon([(CELL_W - 13, 0), (CELL_W, 0), (CELL_W, 13)]), frame)
    else:
        category_band(c, width + 2, CELL_W - width - 2, width, width + 3)
    return c


# --------------------------------------------------------------------------
# Icons

def calendar_page(size, body_top, percent=100):
    """A tear-off calendar page on a transparent canvas (size x size), red
    head above body_top (in 16ths of the size)."""
    s = size / 16.0
    c = Canvas(size, size, percent=percent)
    page = rounded_rect(0.5 * s, 1.0 * s, 15.5 * s, 15.8 * s, 1.6 * s)
    c.fill(page, (64, 64, 76))
    inner = rounded_rect(0.5 * s + 1, 1.0 * s + 1, 15.5 * s - 1, 15.8 * s - 1, 1.6 * s - 1)
    head = lambda x, y: ramp([(0, (236, 74, 64)), (1, (176, 24, 24))], (y / s - 1.0) / (body_top - 1.0))
    body = lambda x, y: ramp([(0, (255, 255, 255)), (1, (226, 228, 236))], (y / s - body_top) / (15.8 - body_top))
    c.fill(minus(inner, rect(0, body_top * s, size, size)), head)
    c.fill(minus(inner, rect(0, 0, size, body_top * s)), body)
    # Binder rings over the head.
    for rx in (4.2, 11.8):
        c.fill(rounded_rect((rx - 0.7) * s, 0.0, (rx + 0.7) * s, 3.2 * s, 0.7 * s), (50, 50, 60))
        c.fill(rounded_rect((rx - 0.35) * s, 0.3 * s, (rx + 0.35) * s, 2.7 * s, 0.35 * s), (190, 190, 200))
    return c


def day_icon(day, size):
    # The digits grow with the icon: one font pixel per 16th of its size.
    scale = size // 16 if size % 16 == 0 else size / 16.0
    body_top = 5.0
    c = calendar_page(size, body_top)
    text = str(day)
    w = pixel_text_width(text, scale)
    x = int(math.floor((size - w) / 2))
    body = int(body_top * size / 16)
    y = body + int(math.floor((size - 1 - body - DIGIT_H * scale) / 2))
    draw_pixel_text(c, x, y, text, (24, 24, 40), scale)
    return c


# Category symbols in a 16-unit box, white on the category colour.

def _symbol(category, u):
    def p(x, y):
        return (x * u, y * u)

    if category == "lov":
        return [heart(8 * u, 8.7 * u, 11.0 * u)]
    if category == "bir":
        return [rounded_rect(*p(3, 9.0), *p(13, 13.5), 0.8 * u),
                rounded_rect(*p(4.2, 6.6), *p(11.8, 9.6), 0.6 * u),
                rect(*p(7.3, 3.6), *p(8.7, 6.8)),
                ("flame", ellipse(8 * u, 2.4 * u, 0.9 * u, 1.3 * u))]
    if category == "wor":
        return [minus(rounded_rect(*p(2.2, 5.6), *p(13.8, 13.6), 1.4 * u), rect(*p(0, 8.8), *p(16, 9.8))),
                strokes([[p(6.0, 5.8), p(6.0, 3.9), p(10.0, 3.9), p(10.0, 5.8)]], 1.4 * u)]
    if category == "rel":
        return [polygon([p(1.8, 6.2), p(8, 2.2), p(14.2, 6.2)]),
                rect(*p(3.2, 7.0), *p(5.0, 11.6)),
                rect(*p(7.1, 7.0), *p(8.9, 11.6)),
                rect(*p(11.0, 7.0), *p(12.8, 11.6)),
                rect(*p(2.2, 12.2), *p(13.8, 13.8))]
    if category == "fee":
        return [star(8 * u, 8.6 * u, 6.6 * u, 2.8 * u)]
    if category == "oth":
        return [circle(*p(3.8, 8.5), 1.7 * u), circle(*p(8, 8.5), 1.7 * u), circle(*p(12.2, 8.5), 1.7 * u)]
    raise ValueError(category)


def category_icon(category, colour, width, height=None, percent=100):
    """A rounded tile in the category colour with a white symbol."""
    height = height or width
    c = Canvas(width, height, percent=percent)
    u = min(width, height) / 16.0
    tile = lambda x, y: ramp([(0, lighter(colour, 0.30)), (1, darker(colour, 0.12))], y / height)
    c.fill(rounded_rect(0.3 * u, 0.3 * u, width - 0.3 * u, height - 0.3 * u, 3.2 * u), darker(colour, 0.45))
    c.fill(rounded_rect(1.2 * u, 1.2 * u, width - 1.2 * u, height - 1.2 * u, 2.4 * u), tile)
    dx = (width - 16 * u) / 2.0
    dy = (height - 16 * u) / 2.0
    for shape in _symbol(category, u):
        colour_of = WHITE
        if isinstance(shape, tuple) and shape[0] == "flame":
            shape, colour_of = shape[1], (255, 214, 64)
        inside, (x0, y0, x1, y1) = shape
        moved = ((lambda f: (lambda x, y: f(x - dx, y - dy)))(inside), (x0 + dx, y0 + dy, x1 + dx, y1 + dy))
        c.fill(moved, colour_of)
    return c


def app_icon(size):
    """The program's icon: a calendar page with a crescent moon."""
    c = calendar_page(size, 5.0)
    s = size / 16.0
    moon = minus(circle(8.0 * s, 10.4 * s, 4.0 * s), circle(9.9 * s, 9.2 * s, 3.4 * s))
    c.fill(moon, (214, 168, 24))
    inner = minus(circle(8.0 * s, 10.4 * s, 4.0 * s - 0.8), circle(9.9 * s, 9.2 * s, 3.4 * s + 0.8))
    c.fill(inner, (255, 220, 80))
    return c


# --------------------------------------------------------------------------
# Splash: 241 x 127 below the splash window's black top.

# The splash window (238 x 178, black) shows the picture at (-2, 50); its
# outline is the picture's shape within (3, 53)-(239, 171) of the window: a
# rounded card with the crescent moon rising over its top edge.
SPLASH_AT = (-2, 50)
SPLASH_BOUNDS = (3, 53, 239, 171)
SPLASH_CORNER = 16
SPLASH_CARD_TOP = 24  # in the picture


def splash_moon():
    return minus(circle(60, 19, 16), circle(68, 13, 14))


def splash_outline():
    """inside(x, y) of the card and the moon, in the picture's coordinates."""
    x0, y0, x1, y1 = SPLASH_BOUNDS
    dx, dy = SPLASH_AT
    card = rounded_rect(x0 - dx, SPLASH_CARD_TOP, x1 - dx, y1 - dy, SPLASH_CORNER)
    return union(card, splash_moon())[0]


def splash(percent=100):
    w, h = 241, 127
    sky = lambda x, y: ramp([(0, (8, 22, 48)), (0.65, (18, 70, 98)), (1, (24, 96, 116))], y / h)
    c = Canvas(w, h, percent=percent)
    c.fill(rect(0, 0, w, h), sky, ss=1)
    for x, y, a in [(20, 12, .8), (48, 6, .5), (97, 15, .6), (130, 8, .9), (166, 20, .5), (205, 10, .7),
                    (228, 28, .5), (77, 30, .4), (152, 36, .35), (112, 104, .3), (10, 60, .4), (232, 70, .3)]:
        c.fill(circle(x + 0.5, y + 0.5, 0.9), WHITE, a)
        c.fill(circle(x + 0.5, y + 0.5, 2.2), (170, 210, 255), a * 0.15)

    # A calendar page with a crescent moon rising behind it.
    c.fill(splash_moon(), (255, 222, 110))
    page = Canvas(64, 64, percent=percent)
    page.paste(calendar_page(64, 4.6, percent), 0, 0)
    # Day squares, some in the category colours.
    marks = {2: 0, 6: 1, 9: 2, 13: 3, 16: 4, 19: 5}
    for k in range(20):
        col, row = k % 5, k // 5
        x0 = 8 + col * 10
        y0 = 25 + row * 9
        colour = CATEGORY_COLOURS[marks[k]] if k in marks else (196, 200, 214)
        page.fill(rounded_rect(x0, y0, x0 + 7, y0 + 6, 1.2), colour)
    c.paste(page, 14, 40)

    # The name, with a soft shadow, and the author below it.
    title, title_w = text_shape("Redoviri", 0, 0, 1.0, 1.0)
    unit = 136.0 / title_w
    x0 = 92
    shape, _ = text_shape("Redoviri", x0 + 1.5, 78 + 1.5, unit, 3.4)
    c.fill(shape, (0, 0, 0), 0.55)
    shape, _ = text_shape("Redoviri", x0, 78, unit, 3.4)
    c.fill(shape, lambda x, y: ramp([(0, (255, 255, 255)), (1, (188, 236, 244))], (y - 50) / 30))
    _, by_w = text_shape("by DUZOVU", 0, 0, 1.0, 1.0)
    by_unit = 2.0
    by_x = x0 + 136 - by_w * by_unit
    shape, _ = text_shape("by DUZOVU", by_x, 100, by_unit, 1.7)
    c.fill(shape, (255, 214, 120))
    category_band(c, x0, x0 + 136, 108, 110)
    # Outside the card the picture is the window's black: shaped or not,
    # the window looks the same.
    inside = splash_outline()
    for y in range(c.h):
        for x in range(c.w):
            if not inside(*c.design(x, y)):
                c.set(x, y, BLACK)
    return c


def splash_shape():
    """The splash window's outline as stored with it: a 4-byte little-endian
    count, then the region as RGNDATA (32-byte header, 16-byte rectangles
    left, top, right, bottom), rows of equal runs merged into bands."""
    inside = splash_outline()
    dx, dy = SPLASH_AT
    bands = []  # [top, bottom, runs]
    for wy in range(SPLASH_BOUNDS[1], SPLASH_BOUNDS[3]):
        runs, start = [], None
        for wx in range(SPLASH_BOUNDS[0], SPLASH_BOUNDS[2] + 1):
            on = wx < SPLASH_BOUNDS[2] and inside(wx - dx + 0.5, wy - dy + 0.5)
            if on and start is None:
                start = wx
            elif not on and start is not None:
                runs.append((start, wx))
                start = None
        if not runs:
            continue
        if bands and bands[-1][1] == wy and bands[-1][2] == runs:
            bands[-1][1] = wy + 1
        else:
            bands.append([wy, wy + 1, runs])
    rects = [(x0, top, x1, bottom) for top, bottom, runs in bands for x0, x1 in runs]
    bound = (min(r[0] for r in rects), min(r[1] for r in rects),
             max(r[2] for r in rects), max(r[3] for r in rects))
    data = struct.pack("<IIII4i", 32, 1, len(rects), 16 * len(rects), *bound)
    for r in rects:
        data += struct.pack("<4i", *r)
    return struct.pack("<I", len(data)) + data


# --------------------------------------------------------------------------
# Menu marks: 17 x 17 on a silver and white checkerboard (the white squares
# take the menu's background colour when drawn).

def _checkerboard(size, percent):
    """One-pixel squares at every scale: they are the menu's background."""
    c = Canvas(size, size, percent=percent)
    for y in range(c.h):
        for x in range(c.w):
            c.set(x, y, WHITE if (x + y) % 2 == 0 else SILVER)
    return c


def check_mark(percent=100):
    c = _checkerboard(17, percent)
    c.fill(strokes([[(4.5, 8.8), (7.3, 11.8), (12.6, 5.2)]], 2.2), BLACK)
    return c


def radio_mark(percent=100):
    c = _checkerboard(17, percent)
    c.fill(circle(8.5, 8.5, 3.2), BLACK)
    return c


# --------------------------------------------------------------------------
# About window: a night sky behind the text and a small bird that flaps
# across it (two frames).

ABOUT_SKY = [(0, (6, 18, 42)), (0.7, (16, 62, 92)), (1, (22, 88, 110))]


def about_background(percent=100):
    w, h = 396, 342
    c = Canvas(w, h, percent=percent)
    c.fill(rect(0, 0, w, h), lambda x, y: ramp(ABOUT_SKY, y / h), ss=1)
    rnd = 12345
    for _ in range(60):
        rnd = (rnd * 1103515245 + 12345) % 2147483648
        x = rnd % w
        rnd = (rnd * 1103515245 + 12345) % 2147483648
        y = rnd % (h * 2 // 3)
        a = 0.25 + (rnd % 100) / 160.0
        c.fill(circle(x + 0.5, y + 0.5, 0.8), WHITE, a)
    c.fill(minus(circle(318, 70, 34), circle(334, 58, 30)), (255, 226, 120), 0.9)
    for radius, alpha in ((40, 0.05), (50, 0.035), (62, 0.02)):
        c.fill(circle(318, 70, radius), (255, 236, 170), alpha)
    category_band(c, 0, w, h - 4, h - 1)
    return c


FIGURE_BODY = (36, 40, 58)
FIGURE_WING = (58, 70, 100)


def figure(wings_up, percent=100):
    """A small bird flying to the lower right, 83 x 69."""
    c = Canvas(83, 69, percent=percent)
    tail = polygon([(10, 30), (24, 34), (22, 40), (8, 44)])
    body = ellipse(38, 38, 19, 9.5)
    head = circle(57, 33, 8.5)
    beak = polygon([(63, 30.5), (73, 35), (63, 37.5)])
    c.fill(tail, FIGURE_BODY)
    # Swept-back wings; the down stroke mirrors the up stroke about the body.
    near = [(30, 35), (28, 25), (23, 15), (15, 5), (24, 6), (33, 11), (40, 18), (45, 27), (46, 35)]
    far = [(x + 9, y + 3) for x, y in near[:-1]] + [(52, 36)]
    if not wings_up:
        near = [(x, 76 - y) for x, y in near]
        far = [(x, 76 - y) for x, y in far]
    near, far = polygon(near), polygon(far)
    c.fill(far, darker(FIGURE_WING, 0.3))
    c.fill(body, FIGURE_BODY)
    c.fill(ellipse(40, 42, 13, 4.5), (88, 96, 124))
    c.fill(head, FIGURE_BODY)
    c.fill(beak, (240, 170, 40))
    c.fill(circle(59.5, 31, 2.2), WHITE)
    c.fill(circle(60.2, 31, 1.1), BLACK)
    c.fill(near, FIGURE_WING)
    return c


# --------------------------------------------------------------------------
# Event list window: the category legend, the heading strip of the list and
# the backdrop of the lower buttons.

def legend_list(percent=100):
    """376 x 27: a light strip with the six category colours along its foot;
    the list window's heading is written over it."""
    w, h = 376, 27
    c = Canvas(w, h, percent=percent)
    c.fill(rounded_rect(0, 0, w, h, 4), lambda x, y: ramp([(0, (236, 238, 244)), (1, (204, 208, 218))], y / h))
    c.fill(minus(rounded_rect(0, 0, w, h, 4), rounded_rect(1, 1, w - 1, h - 1, 3)), (128, 132, 146))
    for k, (cat, colour) in enumerate(CATEGORY):
        cx = w * (k + 0.5) / 6.0
        c.fill(rect(cx - 26, h - 4, cx + 26, h - 2), colour)
    return c


def list_heading(percent=100):
    """367 x 21 behind the column names of the event list."""
    w, h = 367, 21
    c = Canvas(w, h, percent=percent)
    c.fill(rect(0, 0, w, h), lambda x, y: ramp([(0, (250, 250, 252)), (0.5, (232, 234, 240)),
                                                (1, (206, 210, 222))], y / h), ss=1)
    c.fill(rect(0, h - 1, w, h), (128, 132, 146))
    # Between Name, Date, Hour and Type, on the rows' column lines below
    # (the grid's columns 177, 65 and 48 wide inside its 2-pixel frame).
    for x in (179, 245, 294):
        c.fill(rect(x, 3, x + 1, h - 3), (150, 154, 168))
        c.fill(rect(x + 1, 3, x + 2, h - 3), WHITE)
    return c


def legend_low(percent=100):
    """376 x 43 under the two lower buttons of the list window."""
    w, h = 376, 43
    c = Canvas(w, h, percent=percent)
    c.fill(rect(0, 0, w, h), lambda x, y: ramp([(0, SILVER), (1, (168, 172, 184))], y / h), ss=1)
    category_band(c, 0, w, h - 3, h)
    return c


# --------------------------------------------------------------------------
# Button glyphs, transparent, for silver buttons.

GLYPH_INK = (40, 48, 70)


def arrow_glyph(up, percent=100):
    c = Canvas(9, 5, percent=percent)
    pts = [(1, 5), (4.5, 0.5), (8, 5)] if up else [(1, 0), (4.5, 4.5), (8, 0)]
    c.fill(polygon(pts), GLYPH_INK)
    return c


def small_calendar(percent=100):
    c = calendar_page(16, 5.0, percent)
    for k in range(6):
        x0 = 3 + (k % 3) * 3.6
        y0 = 7 + (k // 3) * 3.6
        c.fill(rect(x0, y0, x0 + 2.4, y0 + 2.4), (150, 156, 176))
    return c


def today_glyph(percent=100):
    c = calendar_page(16, 5.0, percent)
    c.fill(rect(5, 7, 11, 13), (200, 30, 30))
    c.fill(rect(6.2, 8.2, 9.8, 11.8), WHITE)
    return c


def add_glyph(percent=100):
    c = small_calendar(percent)
    c.fill(circle(11.5, 11.5, 4.5), (0, 128, 0))
    c.fill(rect(9, 11, 14, 12), WHITE)
    c.fill(rect(11, 9, 12, 14), WHITE)
    return c


def month_glyph(percent=100):
    c = Canvas(16, 16, percent=percent)
    for k in range(4):
        y = 2 + k * 3.5
        c.fill(rect(1, y, 4, y + 2), GLYPH_INK)
        c.fill(rect(6, y, 15, y + 2), (96, 104, 128))
    return c


def back_glyph(percent=100):
    c = small_calendar(percent)
    c.fill(polygon([(1, 11.5), (6, 7), (6, 10), (10, 10), (10, 13), (6, 13), (6, 16)]), (0, 96, 160))
    return c


def delete_glyph(percent=100):
    c = Canvas(24, 24, percent=percent)
    c.fill(rounded_rect(5, 7, 19, 22, 1.5), GLYPH_INK)
    c.fill(rounded_rect(6.5, 8.5, 17.5, 20.5, 1.0), (220, 224, 232))
    for x in (9, 12, 15):
        c.fill(rect(x - 0.6, 10.5, x + 0.6, 19), (120, 126, 146))
    c.fill(rounded_rect(3, 4, 21, 6.5, 1), GLYPH_INK)
    c.fill(rounded_rect(9, 2, 15, 5, 1), GLYPH_INK)
    cross = [[(13, 11), (22, 20)], [(13, 20), (22, 11)]]
    c.fill(strokes(cross, 3.2), WHITE)
    c.fill(strokes(cross, 2.0), (210, 0, 0))
    return c


# --------------------------------------------------------------------------
# The picture list: id name, resource id, file, how it is drawn.

# The images of every icon, each drawn at its own size: the tray's small
# icon and the large one at 100, 125, 150 and 200 %.
ICON_SIZES = (64, 48, 40, 32, 24, 20, 16)


def _pictures():
    # (macro, id, kind, file, producer, transparent, background); a bitmap's
    # producer takes the percent, an icon's the size of one image. Only 100 %
    # is written; the percent stays, as the design the program's drawing at
    # other scales (src/base/pictures.cpp) follows step for step.
    pics = []

    def bitmap(macro, rid, name, producer, transparent=False, background=None):
        pics.append((macro, rid, "BITMAP", name + ".bmp", producer, transparent, background))

    def icon(macro, rid, name, producer, drawn=False):
        # A drawn icon is made by the program at run time for the tray's
        # size (src/base/pictures.cpp); its file is not in the resources but
        # the reference the tests compare that drawing with.
        pics.append((macro, rid, "ICON", name + ".ico", producer, False, "drawn" if drawn else None))

    def data(macro, rid, name, producer):
        pics.append((macro, rid, "RCDATA", name, producer, False, None))

    icon("IDI_REDOVIRI", 1, "redoviri", app_icon)
    for day in range(1, 32):
        icon("IDI_D%d" % day, 100 + day, "d%d" % day, (lambda d: lambda size: day_icon(d, size))(day), True)
    for k, (cat, colour) in enumerate(CATEGORY):
        icon("IDI_ICT" + cat.upper(), 141 + k, "ict" + cat,
             (lambda cat, colour: lambda size: category_icon(cat, colour, size))(cat, colour), True)

    bitmap("IDB_TOPBAR", 201, "topbar", lambda p: horizontal_bar(353, 22, p))
    bitmap("IDB_BOTTOMBAR", 202, "bottombar", lambda p: horizontal_bar(353, 15, p))
    bitmap("IDB_LEFTBAR", 203, "leftbar", lambda p: vertical_bar(15, 274, p))
    bitmap("IDB_RIGHTBAR", 204, "rightbar", lambda p: vertical_bar(15, 274, p))
    bitmap("IDB_CLOSETOP", 205, "closetop", lambda p: close_box(20, 22, p))
    bitmap("IDB_CLOSEBOTTOM", 206, "closebottom", lambda p: close_box(20, 20, p))
    bitmap("IDB_LEGEND", 207, "legend", legend_strip)
    bitmap("IDB_LEGENDHEAD", 208, "legendhead", legend_header, True, SILVER)
    bitmap("IDB_LEGENDPANEL", 209, "legendpanel", legend_panel, True, SELECTED)
    bitmap("IDB_SPLASH", 210, "splash", splash)
    data("IDR_SPLASHSHAPE", 213, "splash.shape", splash_shape)
    bitmap("IDB_NEWMOON", 211, "newmoon", new_moon, True, WHITE)
    bitmap("IDB_FULLMOON", 212, "fullmoon", full_moon, True, WHITE)

    # Event pictures: IDB_DAYMARK_BASE + the day mark code (1..14).
    normal = ["eventok", "ibirth", "iwor", "irel", "ifee", "ioth"]
    today = ["eventokto", "ibirto", "iworto", "irelto", "ifeeto", "iothto"]
    selected = ["eventsel", "ibirthsel", "iworsel", "irelsel", "ifeesel", "iothsel"]
    for k in range(6):
        colour = CATEGORY_COLOURS[k]
        bitmap("IDB_" + normal[k].upper(), 221 + k, normal[k],
               (lambda c: lambda p: event_picture(WHITE, [c], False, p))(colour))
    for k in range(6):
        colour = CATEGORY_COLOURS[k]
        bitmap("IDB_" + today[k].upper(), 227 + k, today[k],
               (lambda c: lambda p: event_picture(TODAY, [c], False, p))(colour))
    bitmap("IDB_IMULTO", 233, "imulto", lambda p: event_picture(TODAY, CATEGORY_COLOURS, False, p))
    bitmap("IDB_IMUL", 234, "imul", lambda p: event_picture(WHITE, CATEGORY_COLOURS, False, p))
    # Selected look: IDB_SELECTED_BASE + the code (1..6 and 14).
    for k in range(6):
        colour = CATEGORY_COLOURS[k]
        bitmap("IDB_" + selected[k].upper(), 241 + k, selected[k],
               (lambda c: lambda p: event_picture(SELECTED, [c], True, p))(colour))
    bitmap("IDB_IMULSEL", 254, "imulsel", lambda p: event_picture(SELECTED, CATEGORY_COLOURS, True, p))

    # Category icons of the details panel (the work and feest ones are
    # smaller, like their places in the panel).
    sizes = {"wor": (15, 14), "fee": (15, 16)}
    for k, (cat, colour) in enumerate(CATEGORY):
        wh = sizes.get(cat, (16, 16))
        bitmap("IDB_IC" + cat.upper(), 261 + k, "ic" + cat,
               (lambda cat, colour, wh: lambda p: category_icon(cat, colour, *wh, percent=p))(cat, colour, wh),
               True, SELECTED)

    bitmap("IDB_CHECKMARK", 271, "checkmark", check_mark)
    bitmap("IDB_RADIOMARK", 272, "radiomark", radio_mark)

    bitmap("IDB_ABOUTBACK", 281, "aboutback", about_background)
    bitmap("IDB_FIGURE1", 282, "figure1", lambda p: figure(True, p), True, ABOUT_SKY[1][1])
    bitmap("IDB_FIGURE2", 283, "figure2", lambda p: figure(False, p), True, ABOUT_SKY[1][1])

    bitmap("IDB_LEGENDLIST", 291, "legendlist", legend_list)
    bitmap("IDB_LISTHEAD", 292, "listhead", list_heading)
    bitmap("IDB_LEGENDLOW", 293, "legendlow", legend_low)

    bitmap("IDB_GUP", 301, "gup", lambda p: arrow_glyph(True, p), True, SILVER)
    bitmap("IDB_GDOWN", 302, "gdown", lambda p: arrow_glyph(False, p), True, SILVER)
    bitmap("IDB_GTODAY", 303, "gtoday", today_glyph, True, SILVER)
    bitmap("IDB_GADD", 304, "gadd", add_glyph, True, SILVER)
    bitmap("IDB_GMONTH", 305, "gmonth", month_glyph, True, SILVER)
    bitmap("IDB_GCHOOSE", 306, "gchoose", small_calendar, True, SILVER)
    bitmap("IDB_GBACK", 307, "gback", back_glyph, True, SILVER)
    bitmap("IDB_GDELETE", 308, "gdelete", delete_glyph, True, SILVER)
    return pics


# --------------------------------------------------------------------------
# Resource script and id header

HEADER_TOP = """\
// Resource ids of Redoviri's bitmaps and icons.
// Written by tools/gen_pictures.py together with redoviri.rc; edit the
// generator, not this file.
//
// Transparent bitmaps (moon marks, legend overlays, details-panel icons)
// use magenta RGB(255, 0, 255) as their key colour. IDR_SPLASHSHAPE is the
// splash window's outline as stored with it (a byte count and RGNDATA).
#pragma once

"""

HEADER_CPP = """
#define IDB_DAYMARK_BASE 220
#define IDB_SELECTED_BASE 240

#ifndef RC_INVOKED
namespace redoviri::resources {

inline constexpr unsigned long kTransparentKey = 0x00FF00FFul;  // RGB(255, 0, 255)

enum class PictureKind { Bitmap, Icon };

struct PictureInfo {
  int id;
  PictureKind kind;
  const char* name;
  int width;   // of the bitmap at 100 %%; of the 32 x 32 image of an icon
  int height;
};

inline constexpr PictureInfo kPictures[] = {
%s
};

// Every icon has images of these sizes (a bitmap is drawn for other
// screens at run time: base/pictures.h).
inline constexpr int kIconSizes[] = {16, 20, 24, 32, 40, 48, 64};

// Details-panel icon of a category (1..6).
constexpr int CategoryPanelIconId(int category) { return IDB_ICLOV + category - 1; }
// Picture of a day mark code 1..14 in the normal look.
constexpr int DayMarkPictureId(int code) { return IDB_DAYMARK_BASE + code; }
// Picture of a day mark code 1..6 or 14 in the selected look.
constexpr int SelectedDayMarkPictureId(int code) { return IDB_SELECTED_BASE + code; }

}  // namespace redoviri::resources
#endif
"""

RC_TOP = """\
// Redoviri's bitmaps and icons. Written by tools/gen_pictures.py.
#include "resource_ids.h"

"""


def render(pic, percent=100):
    macro, rid, kind, filename, producer, transparent, background = pic
    if kind == "ICON":
        return ico_bytes([producer(size) for size in ICON_SIZES]), 32, 32
    if kind == "RCDATA":
        return producer(), 0, 0
    canvas = producer(percent)
    return bmp_bytes(canvas, background, transparent), canvas.w, canvas.h


_PICTURES = None


def _render_job(job):
    global _PICTURES
    if _PICTURES is None:
        _PICTURES = _pictures()
    index, percent = job
    return render(_PICTURES[index], percent)


def _render_all(jobs):
    """render() of every (picture index, percent), on the machine's cores
    where the system can fork."""
    workers = min(os.cpu_count() or 1, 4)
    if workers > 1 and "fork" in multiprocessing.get_all_start_methods():
        with multiprocessing.get_context("fork").Pool(workers) as pool:
            return pool.map(_render_job, jobs, chunksize=1)
    return [_render_job(job) for job in jobs]


def build():
    """All files as {path: bytes}."""
    files = {}
    header_lines, table_lines, rc_lines = [], [], []
    pics = _pictures()
    jobs = [(i, 100) for i in range(len(pics))]
    rendered = dict(zip(jobs, _render_all(jobs)))
    for index, pic in enumerate(pics):
        macro, rid, kind, filename, _, _, background = pic
        data, w, h = rendered[(index, 100)]
        files[os.path.join(PIC_DIR, filename)] = data
        if background == "drawn":
            continue
        header_lines.append("#define %-18s %d" % (macro, rid))
        rc_lines.append('%-18s %-6s "pictures/%s"' % (macro, kind, filename))
        if kind == "RCDATA":
            continue
        table_lines.append('    {%s, PictureKind::%s, "%s", %d, %d},' % (
            macro, "Icon" if kind == "ICON" else "Bitmap", os.path.splitext(filename)[0], w, h))
    files[os.path.join(RES_DIR, "resource_ids.h")] = (
        HEADER_TOP + "\n".join(header_lines) + "\n" + HEADER_CPP % "\n".join(table_lines)).encode()
    files[os.path.join(RES_DIR, "redoviri.rc")] = (RC_TOP + "\n".join(rc_lines) + "\n").encode()
    return files


def main(argv):
    check = "--check" in argv[1:]
    files = build()
    stale = []
    for path, data in sorted(files.items()):
        old = None
        if os.path.exists(path):
            with open(path, "rb") as f:
                old = f.read()
        if old == data:
            continue
        stale.append(os.path.relpath(path, ROOT))
        if not check:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
    # A picture file the generator no longer writes is stale too (and is
    # removed when writing).
    for name in sorted(os.listdir(PIC_DIR)) if os.path.isdir(PIC_DIR) else []:
        path = os.path.join(PIC_DIR, name)
        if path not in files:
            stale.append(os.path.relpath(path, ROOT))
            if not check:
                os.remove(path)
    if check:
        for p in stale:
            print("differs: " + p)
        return 1 if stale else 0
    print("%d files, %d written" % (len(files), len(stale)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
