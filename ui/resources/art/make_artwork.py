#!/usr/bin/env python3
"""Draws the program's artwork (icon, toolbox images, calculator keys, view cursors, the
text palette's and notation bar's buttons) and writes it as
Windows BMP, ICO and CUR files beside this script. Run it again after changing a shape;
the files it writes are committed, so the build needs no Python."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


class Canvas:
    def __init__(self, w, h, bg=None):
        self.w, self.h = w, h
        self.px = [[bg for _ in range(w)] for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def line(self, x0, y0, x1, y1, c, width=1):
        n = max(abs(x1 - x0), abs(y1 - y0), 1) * 2
        r = (width - 1) / 2
        for i in range(n + 1):
            x = x0 + (x1 - x0) * i / n
            y = y0 + (y1 - y0) * i / n
            for dx in range(-int(r), int(r) + 1):
                for dy in range(-int(r), int(r) + 1):
                    self.set(round(x + dx), round(y + dy), c)

    def circle(self, cx, cy, rad, c, fill=False):
        for y in range(self.h):
            for x in range(self.w):
                d = math.hypot(x - cx, y - cy)
                if (fill and d <= rad + 0.3) or (not fill and abs(d - rad) < 0.6):
                    self.set(x, y, c)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                if other.px[y][x] is not None:
                    self.set(ox + x, oy + y, other.px[y][x])


BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
FACE = (192, 192, 192)
BLUE = (32, 64, 192)
RED = (200, 40, 40)


def arrow(c, ox, oy, s=1.0, col=BLACK):
    pts = [(0, 0), (0, 13), (3, 10), (6, 16), (8, 15), (5, 9), (9, 9)]
    pts = [(ox + x * s, oy + y * s) for x, y in pts]
    for i in range(len(pts)):
        a, b = pts[i], pts[(i + 1) % len(pts)]
        c.line(round(a[0]), round(a[1]), round(b[0]), round(b[1]), col)


def toolbox_images():
    # Eleven 20 x 20 images: arrows (3), point, compass, segment, ray, line, (unused),
    # text, custom tool.
    imgs = []
    for k in range(11):
        c = Canvas(20, 20, FACE)
        if k in (0, 1, 2):
            arrow(c, 5, 2)
            if k == 1:
                c.circle(15, 15, 3, BLUE)
            if k == 2:
                c.line(13, 13, 18, 18, BLUE)
        elif k == 3:
            c.circle(10, 10, 3, BLACK, fill=True)
        elif k == 4:
            c.circle(10, 10, 7, BLACK)
            c.circle(10, 10, 1, BLACK, fill=True)
        elif k in (5, 6, 7):
            c.line(3, 16, 16, 3, BLACK)
            if k == 5:
                c.circle(3, 16, 1.5, BLACK, fill=True)
                c.circle(16, 3, 1.5, BLACK, fill=True)
            if k == 6:
                c.circle(3, 16, 1.5, BLACK, fill=True)
                c.line(16, 3, 19, 0, BLACK)
            if k == 7:
                c.line(0, 19, 3, 16, BLACK)
                c.line(16, 3, 19, 0, BLACK)
        elif k == 9:
            c.line(5, 17, 10, 3, BLACK, 2)
            c.line(10, 3, 15, 17, BLACK, 2)
            c.line(7, 12, 13, 12, BLACK)
        elif k == 10:
            c.line(3, 16, 16, 16, BLACK)
            c.line(3, 16, 10, 4, BLACK)
            c.line(10, 4, 16, 16, BLACK)
            c.circle(10, 12, 2, RED, fill=True)
        imgs.append(c)
    strip = Canvas(20 * len(imgs), 20, FACE)
    for i, im in enumerate(imgs):
        strip.blit(im, 20 * i, 0)
    return strip


def tool_icons():
    # The pop-out palettes' icons: one 20 x 19 cell per tool id t at x = (t - 1) * 20,
    # tools 1 to 13; a custom tool (13) shows the custom-tool button's image.
    images = toolbox_images()
    strip = Canvas(20 * 13, 19, FACE)
    for tool in range(1, 14):
        source = {12: None, 13: 11}.get(tool, tool)
        if source is None:
            continue
        for y in range(19):
            for x in range(20):
                strip.set(20 * (tool - 1) + x, y, images.px[y][20 * (source - 1) + x])
    return strip


def bmp24(c):
    row = (c.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(c.h - 1, -1, -1):
        r = bytearray()
        for x in range(c.w):
            p = c.px[y][x] or FACE
            r += bytes((p[2], p[1], p[0]))
        r += b"\0" * (row - len(r))
        data += r
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 54) + header + data


def bmp8(c):
    # 8 bits per pixel with the canvas's own colours as the palette (at most 256). The
    # button-face grey comes first: the system maps it to the face colour when a key's image
    # is loaded.
    colours = [FACE]
    index = {FACE: 0}
    for y in range(c.h):
        for x in range(c.w):
            p = c.px[y][x] or FACE
            if p not in index:
                index[p] = len(colours)
                colours.append(p)
    assert len(colours) <= 256
    palette = b"".join(bytes((p[2], p[1], p[0], 0)) for p in colours)
    row = (c.w + 3) & ~3
    data = bytearray()
    for y in range(c.h - 1, -1, -1):
        r = bytes(index[c.px[y][x] or FACE] for x in range(c.w))
        data += r + b"\0" * (row - len(r))
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 8, 0, len(data), 2835, 2835, len(colours), 0)
    offset = 14 + len(header) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + palette + data


SPLASH_W, SPLASH_H = 460, 240
SPLASH_RIM = (16, 96, 160)      # the rim of the full-colour picture (tests look for it)
SPLASH_RIM_8 = (255, 0, 0)      # the rim of the 256-colour picture


def splash_picture(paper, ink, accent, rim):
    # A triangle with its circumcircle and medians on the left; the right part stays
    # plain for the credits that scroll over it.
    c = Canvas(SPLASH_W, SPLASH_H, paper)
    a, b, d = (40, 190), (250, 200), (120, 40)
    for p, q in ((a, b), (b, d), (d, a)):
        c.line(p[0], p[1], q[0], q[1], ink, 2)
    for p, q, r in ((a, b, d), (b, d, a), (d, a, b)):
        c.line(p[0], p[1], (q[0] + r[0]) // 2, (q[1] + r[1]) // 2, accent)
    ax, ay = a
    bx, by = b
    cx, cy = d
    den = 2 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by))
    ux = ((ax * ax + ay * ay) * (by - cy) + (bx * bx + by * by) * (cy - ay) + (cx * cx + cy * cy) * (ay - by)) / den
    uy = ((ax * ax + ay * ay) * (cx - bx) + (bx * bx + by * by) * (ax - cx) + (cx * cx + cy * cy) * (bx - ax)) / den
    c.circle(ux, uy, math.hypot(ax - ux, ay - uy), accent)
    for p in (a, b, d):
        c.circle(p[0], p[1], 4, ink, fill=True)
    for i in range(4):
        for x in range(SPLASH_W):
            c.set(x, i, rim)
            c.set(x, SPLASH_H - 1 - i, rim)
        for y in range(SPLASH_H):
            c.set(i, y, rim)
            c.set(SPLASH_W - 1 - i, y, rim)
    return c


def ico_image(c):
    # 32-bit colour with an AND mask; None pixels are transparent.
    xor = bytearray()
    for y in range(c.h - 1, -1, -1):
        for x in range(c.w):
            p = c.px[y][x]
            xor += bytes((p[2], p[1], p[0], 255)) if p else b"\0\0\0\0"
    mrow = ((c.w + 31) // 32) * 4
    mask = bytearray()
    for y in range(c.h - 1, -1, -1):
        bits = bytearray(mrow)
        for x in range(c.w):
            if c.px[y][x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def cur_image(c):
    # Monochrome: black and white pixels, None transparent.
    mrow = ((c.w + 31) // 32) * 4
    xor = bytearray()
    andm = bytearray()
    for y in range(c.h - 1, -1, -1):
        xb = bytearray(mrow)
        ab = bytearray(mrow)
        for x in range(c.w):
            p = c.px[y][x]
            if p is None:
                ab[x // 8] |= 0x80 >> (x % 8)
            elif p == WHITE:
                xb[x // 8] |= 0x80 >> (x % 8)
        xor += xb
        andm += ab
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    palette = b"\0\0\0\0" + b"\xff\xff\xff\0"
    return header + palette + xor + andm


def icon_file(c, kind, hotspot=(0, 0)):
    image = cur_image(c) if kind == 2 else ico_image(c)
    planes, bits = (hotspot if kind == 2 else (1, 32))
    entry = struct.pack("<BBBBHHII", c.w, c.h, 2 if kind == 2 else 0, 0, planes, bits, len(image), 22)
    return struct.pack("<HHH", 0, kind, 1) + entry + image


def app_icon():
    c = Canvas(32, 32, None)
    c.circle(16, 16, 14, (250, 250, 235), fill=True)
    c.circle(16, 16, 14, BLACK)
    c.line(5, 24, 27, 24, BLUE, 2)
    c.line(5, 24, 18, 5, BLUE, 2)
    c.line(18, 5, 27, 24, BLUE, 2)
    for x, y in ((5, 24), (27, 24), (18, 5)):
        c.circle(x, y, 2, RED, fill=True)
    return c


def outlined(shape_fn):
    # A black shape with a white outline, readable on any background.
    c = Canvas(32, 32, None)
    inner = Canvas(32, 32, None)
    shape_fn(inner)
    for y in range(32):
        for x in range(32):
            if inner.px[y][x] is not None:
                for dx in (-1, 0, 1):
                    for dy in (-1, 0, 1):
                        c.set(x + dx, y + dy, WHITE)
    c.blit(inner, 0, 0)
    return c


def filled_arrow(c, ox=0, oy=0):
    for y in range(16):
        for x in range(y // 2 + 1 if y < 11 else 0):
            c.set(ox + x, oy + y, BLACK)
    for y in range(11, 17):
        c.set(ox + (y - 11) // 2 + 3, oy + y, BLACK)
        c.set(ox + (y - 11) // 2 + 4, oy + y, BLACK)
    for y in range(11):
        c.set(ox, oy + y, BLACK)


def cursors():
    out = {}
    out[162] = (outlined(lambda c: filled_arrow(c, 1, 1)), (1, 1))
    def over_object(c):
        filled_arrow(c, 1, 1)
        c.circle(20, 20, 4, BLACK)
    out[161] = (outlined(over_object), (1, 1))
    def stretch(c):
        filled_arrow(c, 1, 1)
        c.line(14, 20, 26, 20, BLACK)
        c.line(20, 14, 20, 26, BLACK)
    out[163] = (outlined(stretch), (1, 1))
    def finger(c):
        c.line(10, 2, 10, 16, BLACK, 3)
        for x in (13, 16, 19):
            c.line(x, 9, x, 16, BLACK, 3)
        for y in range(16, 26):
            c.line(8, y, 21, y, BLACK)
    out[149] = (outlined(finger), (10, 1))
    def text_nothing(c):
        c.line(8, 4, 14, 4, BLACK)
        c.line(11, 4, 11, 20, BLACK)
        c.line(8, 20, 14, 20, BLACK)
    out[164] = (outlined(text_nothing), (11, 12))
    def text_toggle(c):
        text_nothing(c)
        c.line(17, 8, 25, 8, BLACK)
        c.line(21, 8, 21, 16, BLACK)
    out[165] = (outlined(text_toggle), (11, 12))
    def over_label(c):
        text_nothing(c)
        c.circle(21, 17, 4, BLACK)
    out[166] = (outlined(over_label), (11, 12))
    def cross(c):
        c.line(16, 4, 16, 28, BLACK)
        c.line(4, 16, 28, 16, BLACK)
    out[188] = (outlined(cross), (16, 16))
    def hand(c):
        for x in (9, 12, 15, 18):
            c.line(x, 6, x, 16, BLACK, 3)
        for y in range(16, 26):
            c.line(7, y, 21, y, BLACK)
    out[189] = (outlined(hand), (14, 14))
    def grab(c):
        for y in range(12, 26):
            c.line(7, y, 21, y, BLACK)
    out[186] = (outlined(grab), (14, 18))
    def reorder(c):
        # An arrow beside a two-headed vertical one: a list line (a given, a page, a tool)
        # moves up or down.
        filled_arrow(c, 1, 1)
        c.line(20, 12, 20, 28, BLACK)
        for d in range(4):
            c.line(20 - d, 12 + d, 20 + d, 12 + d, BLACK)
            c.line(20 - d, 28 - d, 20 + d, 28 - d, BLACK)
    out[187] = (outlined(reorder), (1, 1))
    return out



# The calculator's keys: 5 x 7 glyphs drawn 2 pixels to the dot on a 20 x 16 face.
KEY_GLYPHS = {
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    "7": ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    "9": ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    "(": ["00010", "00100", "01000", "01000", "01000", "00100", "00010"],
    ")": ["01000", "00100", "00010", "00010", "00010", "00100", "01000"],
    "+": ["00000", "00100", "00100", "11111", "00100", "00100", "00000"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    "*": ["00000", "10001", "01010", "00100", "01010", "10001", "00000"],
    "/": ["00001", "00001", "00010", "00100", "01000", "10000", "10000"],
    "^": ["00100", "01010", "10001", "00000", "00000", "00000", "00000"],
    "x": ["00000", "00000", "10001", "01010", "00100", "01010", "10001"],
    "y": ["00000", "10001", "10001", "01111", "00001", "10001", "01110"],
    "r": ["00000", "00000", "10110", "11001", "10000", "10000", "10000"],
    "t": ["01110", "10001", "10001", "11111", "10001", "10001", "01110"],  # theta
    "del": ["00000", "00100", "01000", "11111", "01000", "00100", "00000"],
}

# Resource number of each key's bitmap; the variable key has one per expression form.
KEY_BITMAPS = {1080 + d: str(d) for d in range(10)}
KEY_BITMAPS.update({1090: ".", 1091: "(", 1092: ")", 1093: "+", 1094: "-", 1095: "*", 1096: "/",
                    1097: "^", 1098: "del", 1099: "x", 1100: "y", 1101: "r", 1102: "t"})



def key_bitmap(name):
    c = Canvas(20, 16)
    rows = KEY_GLYPHS[name]
    ox, oy = (20 - 10) // 2, (16 - 14) // 2
    for y, row in enumerate(rows):
        for x, bit in enumerate(row):
            if bit == "1":
                for dx in (0, 1):
                    for dy in (0, 1):
                        c.set(ox + 2 * x + dx, oy + 2 * y + dy, BLACK)
    return c


# ---- Text palette and notation bar --------------------------------------------------


def scaled(c, s):
    """Drawing helpers on a 16-unit design grid scaled by s."""
    def L(x0, y0, x1, y1, col=BLACK, w=1):
        c.line(round(x0 * s), round(y0 * s), round(x1 * s), round(y1 * s), col, max(1, round(w * s)))

    def C(cx, cy, r, col=BLACK, fill=False):
        c.circle(cx * s, cy * s, r * s, col, fill)
    return L, C


def palette_image(kind, size):
    c = Canvas(size, size, FACE)
    L, C = scaled(c, size / 16.0)
    if kind == "bold":
        L(4, 2, 4, 13, BLACK, 2)
        L(4, 2, 9, 2, BLACK, 2)
        L(9, 2, 11, 4, BLACK, 2)
        L(11, 4, 9, 7, BLACK, 2)
        L(4, 7, 10, 7, BLACK, 2)
        L(10, 7, 12, 10, BLACK, 2)
        L(12, 10, 10, 13, BLACK, 2)
        L(4, 13, 10, 13, BLACK, 2)
    elif kind == "italic":
        L(7, 2, 12, 2)
        L(4, 13, 9, 13)
        L(10, 2, 6, 13)
    elif kind == "underline":
        L(4, 2, 4, 9)
        L(11, 2, 11, 9)
        L(4, 9, 6, 11)
        L(6, 11, 9, 11)
        L(9, 11, 11, 9)
        L(3, 14, 12, 14)
    elif kind == "notation":
        L(2, 9, 4, 8)
        L(4, 8, 6, 13)
        L(6, 13, 9, 2)
        L(9, 2, 14, 2)
        L(10, 6, 13, 10, BLUE)
        L(13, 6, 10, 10, BLUE)
    return c


def notation_image(kind, size):
    c = Canvas(size, size, FACE)
    L, C = scaled(c, size / 16.0)

    def box(x0, y0, x1, y1, col=BLACK):
        L(x0, y0, x1, y0, col)
        L(x1, y0, x1, y1, col)
        L(x1, y1, x0, y1, col)
        L(x0, y1, x0, y0, col)
    if kind in ("segment", "ray", "line"):
        L(3, 4, 12, 4)
        if kind == "segment":
            L(3, 2, 3, 6)
            L(12, 2, 12, 6)
        if kind in ("ray", "line"):
            L(12, 4, 10, 2)
            L(12, 4, 10, 6)
        if kind == "line":
            L(3, 4, 5, 2)
            L(3, 4, 5, 6)
        L(3, 13, 5, 8, BLUE)
        L(5, 8, 7, 13, BLUE)
        L(9, 8, 9, 13, BLUE)
        L(9, 8, 12, 10, BLUE)
        L(9, 13, 12, 11, BLUE)
    elif kind == "arc":
        for i in range(8):
            a0, a1 = math.pi * i / 8, math.pi * (i + 1) / 8
            L(7.5 + 5 * math.cos(a0), 6 - 3 * math.sin(a0), 7.5 + 5 * math.cos(a1), 6 - 3 * math.sin(a1))
        L(3, 13, 5, 8, BLUE)
        L(5, 8, 7, 13, BLUE)
        L(9, 8, 9, 13, BLUE)
        L(9, 8, 12, 10, BLUE)
        L(9, 13, 12, 11, BLUE)
    elif kind == "fraction":
        box(5, 1, 10, 6)
        L(2, 8, 13, 8)
        box(5, 10, 10, 15)
    elif kind == "root":
        L(1, 9, 3, 8)
        L(3, 8, 5, 14)
        L(5, 14, 7, 2)
        L(7, 2, 15, 2)
        box(9, 5, 14, 12)
    elif kind == "exponent":
        box(2, 6, 8, 14)
        box(10, 2, 14, 7)
    elif kind == "subscript":
        box(2, 2, 8, 10)
        box(10, 9, 14, 14)
    elif kind == "parens":
        L(5, 2, 3, 5)
        L(3, 5, 3, 11)
        L(3, 11, 5, 14)
        L(10, 2, 12, 5)
        L(12, 5, 12, 11)
        L(12, 11, 10, 14)
        box(6, 6, 9, 10)
    elif kind == "brackets":
        L(3, 2, 3, 14)
        L(3, 2, 5, 2)
        L(3, 14, 5, 14)
        L(12, 2, 12, 14)
        L(10, 2, 12, 2)
        L(10, 14, 12, 14)
        box(6, 6, 9, 10)
    elif kind == "braces":
        L(5, 2, 4, 3)
        L(4, 3, 4, 7)
        L(4, 7, 2, 8)
        L(2, 8, 4, 9)
        L(4, 9, 4, 13)
        L(4, 13, 5, 14)
        L(10, 2, 11, 3)
        L(11, 3, 11, 7)
        L(11, 7, 13, 8)
        L(13, 8, 11, 9)
        L(11, 9, 11, 13)
        L(11, 13, 10, 14)
        box(6, 6, 9, 10)
    elif kind == "absolute":
        L(3, 2, 3, 14)
        L(12, 2, 12, 14)
        box(5, 5, 10, 11)
    elif kind == "angle":
        L(13, 3, 2, 13)
        L(2, 13, 14, 13)
        for i in range(4):
            a0, a1 = (math.pi / 4.6) * i / 4, (math.pi / 4.6) * (i + 1) / 4
            L(2 + 6 * math.cos(a0), 13 - 6 * math.sin(a0), 2 + 6 * math.cos(a1), 13 - 6 * math.sin(a1))
    elif kind == "pi":
        L(2, 4, 14, 4)
        L(5, 4, 4, 13)
        L(11, 4, 11, 12)
        L(11, 12, 13, 13)
    elif kind == "degree":
        C(6, 5, 2.5)
        L(10, 4, 10, 13, BLUE)
    elif kind == "symbol":
        C(6, 9, 3.5)
        L(9, 6, 12, 14)
        L(9, 12, 12, 5)
    return c


def strip(images, size):
    out = Canvas(size * len(images), size, FACE)
    for i, im in enumerate(images):
        out.blit(im, size * i, 0)
    return out


PALETTE_KINDS = ["bold", "italic", "underline", "notation"]
NOTATION_KINDS = ["segment", "ray", "line", "arc", "fraction", "root", "exponent", "subscript", "parens",
                  "brackets", "braces", "absolute", "angle", "pi", "degree", "symbol"]


MOTION_KINDS = ["animate", "stop", "reverse", "pause"]


def motion_image(kind, w, h):
    # A wide cell: the mark at the left, a small moving point on its path at the right.
    c = Canvas(w, h, FACE)
    s = h / 16.0
    L, C = scaled(c, s)
    if kind == "animate":
        for y in range(3, 14):
            half = (8 - abs(y - 8)) * 0.9
            L(4, y, 4 + half, y, (0, 128, 0))
    elif kind == "stop":
        for y in range(4, 13):
            L(4, y, 12, y, RED)
    elif kind == "reverse":
        L(3, 6, 13, 6, BLACK, 1)
        L(3, 6, 6, 3)
        L(3, 6, 6, 9)
        L(3, 11, 13, 11, BLACK, 1)
        L(13, 11, 10, 8)
        L(13, 11, 10, 14)
    elif kind == "pause":
        for x in (5, 6, 10, 11):
            L(x, 3, x, 13, BLUE)
    # the path and its point
    cx, r = 18 + (w / s - 18) / 2, 5
    C(cx, 8, r)
    C(cx + r * 0.7, 8 - r * 0.7, 1.6, BLUE, True)
    return c


def wide_strip(images, w, h):
    out = Canvas(w * len(images), h, FACE)
    for i, im in enumerate(images):
        out.blit(im, w * i, 0)
    return out


def truetype_glyph():
    # Two 16 x 15 cells; the second is the mark of a TrueType face, ANDed over the item:
    # white leaves the item as it is.
    c = Canvas(32, 15, WHITE)
    for x0, col in ((17, (0, 0, 128)), (22, (128, 128, 128))):
        for y in range(2, 4):
            for x in range(x0, x0 + 8):
                c.set(x, y, col)
        for y in range(2, 12):
            for x in range(x0 + 3, x0 + 5):
                c.set(x, y, col)
    return c


def no_color_pattern():
    # What the swatch shows for text of mixed colours: bands of the primaries.
    c = Canvas(12, 8, WHITE)
    bands = [(255, 0, 0), (255, 255, 0), (0, 255, 0), (0, 255, 255), (0, 0, 255), (255, 0, 255)]
    for x in range(12):
        for y in range(8):
            c.set(x, y, bands[((x + y) // 2) % len(bands)])
    return c


def main():
    with open(os.path.join(HERE, "toolbox.bmp"), "wb") as f:
        f.write(bmp24(toolbox_images()))
    with open(os.path.join(HERE, "tool_icons.bmp"), "wb") as f:
        f.write(bmp24(tool_icons()))
    with open(os.path.join(HERE, "program.ico"), "wb") as f:
        f.write(icon_file(app_icon(), 1))
    with open(os.path.join(HERE, "splash.bmp"), "wb") as f:
        f.write(bmp24(splash_picture((250, 246, 232), BLACK, BLUE, SPLASH_RIM)))
    with open(os.path.join(HERE, "splash256.bmp"), "wb") as f:
        f.write(bmp8(splash_picture(BLACK, WHITE, (255, 255, 0), SPLASH_RIM_8)))
    for number, name in KEY_BITMAPS.items():
        with open(os.path.join(HERE, "key%d.bmp" % number), "wb") as f:
            f.write(bmp8(key_bitmap(name)))
    # 8 bits, so that the face grey becomes the bars' own face colour when loaded.
    for number, images, size in ((139, PALETTE_KINDS, 16), (141, PALETTE_KINDS, 24)):
        with open(os.path.join(HERE, "palette%d.bmp" % number), "wb") as f:
            f.write(bmp8(strip([palette_image(k, size) for k in images], size)))
    for number, w, h in ((227, 50, 16), (271, 62, 20)):
        with open(os.path.join(HERE, "motion%d.bmp" % number), "wb") as f:
            f.write(bmp8(wide_strip([motion_image(k, w, h) for k in MOTION_KINDS], w, h)))
    for number, size in ((1116, 16), (1117, 24)):
        with open(os.path.join(HERE, "notation%d.bmp" % number), "wb") as f:
            f.write(bmp8(strip([notation_image(k, size) for k in NOTATION_KINDS], size)))
    with open(os.path.join(HERE, "truetype167.bmp"), "wb") as f:
        f.write(bmp24(truetype_glyph()))
    with open(os.path.join(HERE, "nocolor255.bmp"), "wb") as f:
        f.write(bmp24(no_color_pattern()))
    for number, (canvas, hotspot) in cursors().items():
        with open(os.path.join(HERE, "cursor%d.cur" % number), "wb") as f:
            f.write(icon_file(canvas, 2, hotspot))


if __name__ == "__main__":
    main()
