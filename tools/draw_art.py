#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws every picture of the tool and writes it as an XPM text source under assets/.

The card parts (assets/gfx) use pure black as their transparent colour and never use it for a
visible pixel; the pictures built into the windows (assets/builtin) use XPM's "None" for the
window background where they have one. Run it again after changing a drawing:

    python3 tools/draw_art.py
"""
import math
import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets")
BLACK = (0, 0, 0)
OUTLINE = (22, 18, 34)  # dark, but never pure black: it must show on the card


class Canvas:
    def __init__(self, w, h, fill=BLACK):
        self.w, self.h = w, h
        self.px = [[fill for _ in range(w)] for _ in range(h)]

    def get(self, x, y):
        return self.px[y][x]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def shape(self, inside, colour, samples=4, threshold=0.45):
        """Fills the pixels whose area lies mostly inside `inside(x, y)` (pixel units).
        `colour(x, y)` gives the colour at a pixel centre."""
        covered = set()
        for y in range(self.h):
            for x in range(self.w):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                            hits += 1
                if hits / (samples * samples) >= threshold:
                    self.px[y][x] = visible(colour(x + 0.5, y + 0.5))
                    covered.add((x, y))
        return covered

    def outline(self, covered, colour=OUTLINE, diagonal=True):
        """Puts a one-pixel outline around a covered set, on pixels still transparent."""
        steps = [(-1, 0), (1, 0), (0, -1), (0, 1)]
        if diagonal:
            steps += [(-1, -1), (1, -1), (-1, 1), (1, 1)]
        for (x, y) in list(covered):
            for dx, dy in steps:
                nx, ny = x + dx, y + dy
                if 0 <= nx < self.w and 0 <= ny < self.h and (nx, ny) not in covered:
                    if self.px[ny][nx] in (BLACK, None):
                        self.px[ny][nx] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                self.px[y][x] = visible(colour(x, y) if callable(colour) else colour)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                c = other.px[y][x]
                if c not in (None, BLACK):
                    self.set(ox + x, oy + y, c)

    def blit_opaque(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.set(ox + x, oy + y, other.px[y][x])

    def replace(self, old, new):
        for row in self.px:
            for i, c in enumerate(row):
                if c == old:
                    row[i] = new


def visible(c):
    """A colour meant to be seen is never pure black."""
    c = tuple(max(0, min(255, int(round(v)))) for v in c)
    return (1, 1, 1) if c == BLACK else c


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def write_xpm(path, canvas, name):
    colours = sorted({c for row in canvas.px for c in row}, key=lambda c: (c is not None, c))
    chars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-"
    width = 1 if len(colours) <= len(chars) else 2
    codes = {}
    for i, c in enumerate(colours):
        code = chars[i % len(chars)]
        if width == 2:
            code = chars[i // len(chars)] + code
        codes[c] = code
    lines = ["/* XPM */", "static const char *%s[] = {" % name,
             '"%d %d %d %d",' % (canvas.w, canvas.h, len(colours), width)]
    for c in colours:
        value = "None" if c is None else "#%02X%02X%02X" % c
        lines.append('"%s c %s",' % (codes[c], value))
    for y, row in enumerate(canvas.px):
        end = "," if y < canvas.h - 1 else ""
        lines.append('"%s"%s' % ("".join(codes[c] for c in row), end))
    lines.append("};")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


# ---- Digits: a 5 x 7 glyph, light with a dark outline, in a 9 x 9 part ------------------------

GLYPHS = {
    "1": ["..#..", ".##..", "#.#..", "..#..", "..#..", "..#..", "#####"],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": [".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
}


def digit(ch):
    c = Canvas(9, 9)
    covered = set()
    for gy, row in enumerate(GLYPHS[ch]):
        for gx, bit in enumerate(row):
            if bit == "#":
                x, y = gx + 2, gy + 1
                # White at the top warming to pale gold at the foot: reads on blue and red.
                c.set(x, y, visible(mix((255, 255, 255), (255, 226, 140), gy / 6)))
                covered.add((x, y))
    c.outline(covered, OUTLINE)
    return c


# ---- Frames: 62 x 62, black inside, grander from Monster to Character -------------------------

# Where the digits and the element icon sit with the default places (CardPlacement): the frame is
# drawn over the digits, so it keeps pure black on every pixel of these rectangles.
DIGIT_SIZE = (9, 9)
ELEMENT_SIZE = (16, 17)
DIGIT_PLACES = ((7, 3), (3, 11), (11, 11), (7, 19))  # top, left, right, bottom
ELEMENT_PLACE = (44, 4)


def cells(x0, y0, w, h):
    return {(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)}


def keep_clear():
    """Every card pixel a digit or the element icon covers with the default places."""
    clear = cells(*ELEMENT_PLACE, *ELEMENT_SIZE)
    for (x, y) in DIGIT_PLACES:
        clear |= cells(x, y, *DIGIT_SIZE)
    return clear


def ring(area, size=62):
    """The pixels beside `area` (left, right, above, below) that are not part of it: a line
    around it with its outer corners rounded off."""
    around = set()
    for (x, y) in area:
        for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
            n = (x + dx, y + dy)
            if n not in area and 0 <= n[0] < size and 0 <= n[1] < size:
                around.add(n)
    return around


def panels():
    """The clear panels the rich frames draw their trim around: the digits' bounding box without
    its empty lower-right corner (right of the bottom digit, below the right digit), which gives
    the panel a step, and the element icon's box."""
    digits = set()
    for (x, y) in DIGIT_PLACES:
        digits |= cells(x, y, *DIGIT_SIZE)
    x0, y0 = min(x for x, _ in digits), min(y for _, y in digits)
    x1, y1 = max(x for x, _ in digits), max(y for _, y in digits)
    bottom_x, right_y = DIGIT_PLACES[3][0], DIGIT_PLACES[2][1]
    step_x, step_y = bottom_x + DIGIT_SIZE[0], right_y + DIGIT_SIZE[1]
    panel = {(x, y) for (x, y) in cells(x0, y0, x1 - x0 + 1, y1 - y0 + 1)
             if x < step_x or y < step_y}
    return panel | keep_clear()


def frame(kind):
    """A bevelled border, light from the upper left, around a pure black inner area; the rich
    frames run their trim line around the digits' panel and the element's socket."""
    c = Canvas(62, 62)
    styles = {
        # width, body colour (outside), body colour (inside), light, shadow
        "monster": (2, (150, 118, 86), (112, 84, 58), (196, 166, 128), (70, 50, 34)),
        "boss": (3, (188, 196, 210), (132, 142, 160), (245, 248, 255), (72, 78, 92)),
        "gf": (3, (238, 196, 78), (196, 146, 44), (255, 240, 170), (120, 80, 20)),
        "character": (4, (250, 206, 84), (206, 150, 40), (255, 246, 196), (128, 78, 14)),
    }
    width, outer, inner, light, shadow = styles[kind]
    for y in range(62):
        for x in range(62):
            d = min(x, y, 61 - x, 61 - y)
            if d >= width:
                continue
            lit = (y == d or x == d) and not (x == 61 - d or y == 61 - d)
            col = mix(outer, inner, d / max(1, width - 1))
            if d == 0:
                col = light if lit else shadow
            elif d == width - 1 and width > 2:
                col = mix(shadow, col, 0.3) if lit else mix(light, col, 0.4)
            c.set(x, y, visible(col))
    if kind in ("boss", "gf", "character"):
        # Rivets along the edges, a lit dot with a shadow beside it.
        rivet = {"boss": (250, 252, 255), "gf": (255, 250, 215), "character": (255, 252, 230)}[kind]
        mid = width // 2
        for t in range(7, 56, 12):
            for (x, y) in ((t, mid), (t, 61 - mid), (mid, t), (61 - mid, t)):
                c.set(x, y, rivet)
    if kind in ("gf", "character"):
        # A fine inner line, with a black gap, for a double border.
        line = (255, 232, 150) if kind == "gf" else (255, 244, 200)
        off = width + 1
        for i in range(off, 62 - off):
            for (x, y) in ((i, off), (i, 61 - off), (off, i), (61 - off, i)):
                c.set(x, y, line)
    if kind == "character":
        # Jewels: sky-blue at the corners, crimson in the middle of each edge.
        for (cx, cy) in ((1, 1), (60, 1), (1, 60), (60, 60)):
            for dx, dy in ((0, 0), (1, 0), (0, 1), (1, 1)):
                x, y = cx + (dx if cx < 30 else -dx), cy + (dy if cy < 30 else -dy)
                c.set(x, y, (150, 235, 255) if (dx, dy) != (0, 0) else (235, 252, 255))
        for (gx, gy) in ((30, 1), (31, 1), (30, 2), (31, 2), (30, 59), (31, 59), (30, 60),
                         (31, 60), (1, 30), (1, 31), (2, 30), (2, 31), (59, 30), (59, 31),
                         (60, 30), (60, 31)):
            c.set(gx, gy, (215, 35, 75))
    clear = keep_clear()
    if kind in ("gf", "character"):
        # The inner line turns around the digits' panel and the element's socket, so both read
        # as set into the frame; their insides stay clear.
        panel = panels()
        for (x, y) in panel:
            c.px[y][x] = BLACK
        for (x, y) in ring(panel):
            c.px[y][x] = visible(line)
    elif kind == "boss":
        # A silver socket around the element icon, where the border makes way for it.
        socket = cells(*ELEMENT_PLACE, *ELEMENT_SIZE)
        for (x, y) in socket:
            c.px[y][x] = BLACK
        for (x, y) in ring(socket):
            c.px[y][x] = visible((226, 232, 244))
    for (x, y) in clear:
        c.px[y][x] = BLACK
    return c


# ---- Element icons ------------------------------------------------------------------------

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            x1, y1 = points[i]
            x2, y2 = points[(i + 1) % n]
            if (y1 > y) != (y2 > y):
                xi = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
                if x < xi:
                    hit = not hit
        return hit
    return inside


def scaled(points, w, h):
    return [(x * w / 16.0, y * h / 17.0) for (x, y) in points]


def vertical(top, bottom, h):
    return lambda x, y: mix(top, bottom, y / h)


def radial(cx, cy, inner, outer, r):
    return lambda x, y: mix(inner, outer, math.hypot(x - cx, y - cy) / r)


def element(kind, w=16, h=17, background=BLACK):
    c = Canvas(w, h, background)
    sx, sy = w / 16.0, h / 17.0
    covered = set()
    if kind == "none":
        return c
    if kind == "fire":
        flame = polygon(scaled([(8, 1), (11, 5), (13, 9), (13, 12), (11, 15), (8, 16), (5, 15),
                                (3, 12), (3, 9), (5, 6), (6, 8), (7, 4)], w, h))
        covered = c.shape(flame, vertical((255, 230, 80), (220, 40, 20), h))
        core = polygon(scaled([(8, 7), (10, 10), (10, 13), (8, 15), (6, 13), (6, 10)], w, h))
        c.shape(core, vertical((255, 255, 210), (255, 190, 60), h))
    elif kind == "water":
        drop = lambda x, y: (circle(8 * sx, 11 * sy, 4.6 * min(sx, sy))(x, y) or
                             polygon(scaled([(8, 1), (12.3, 10), (3.7, 10)], w, h))(x, y))
        covered = c.shape(drop, vertical((150, 210, 255), (20, 80, 200), h))
        c.shape(circle(6.3 * sx, 10.5 * sy, 1.2 * min(sx, sy)), lambda x, y: (235, 248, 255))
    elif kind == "ice":
        def crystal(x, y):
            px, py = x - 8 * sx, y - 8.5 * sy
            for a in range(3):
                ang = a * math.pi / 3
                u = px * math.cos(ang) + py * math.sin(ang)
                v = -px * math.sin(ang) + py * math.cos(ang)
                if abs(v) <= 0.9 * min(sx, sy) and abs(u) <= 7 * min(sx, sy):
                    return True
            return math.hypot(px, py) <= 2.2 * min(sx, sy)
        covered = c.shape(crystal, radial(8 * sx, 8.5 * sy, (245, 255, 255), (90, 200, 235), 8 * sx))
    elif kind == "earth":
        rock = polygon(scaled([(1, 15), (5, 5), (8, 9), (11, 3), (15, 15)], w, h))
        covered = c.shape(rock, vertical((200, 160, 100), (110, 70, 35), h))
        c.shape(polygon(scaled([(9.6, 5.6), (11, 3), (12.4, 5.6)], w, h)), lambda x, y: (245, 240, 225))
    elif kind == "wind":
        # A gust: a spiral curl on the right with two streaks trailing to the left.
        cx, cy = 10.5, 7.0

        def gust(x, y):
            px, py = x / sx, y / sy
            dx, dy = px - cx, py - cy
            dist = math.hypot(dx, dy)
            phi = math.atan2(dy, dx) % (2 * math.pi)
            for k in range(3):
                theta = phi + 2 * math.pi * k
                if 2.0 <= theta <= 2 * math.pi + 1.8 and abs(dist - 0.62 * theta) <= 0.75:
                    return True
            return (abs(py - 11.4) <= 0.8 and 1.0 <= px <= 11.0) or \
                   (abs(py - 14.6) <= 0.7 and 4.0 <= px <= 13.0)
        covered = c.shape(gust, vertical((235, 255, 240), (90, 205, 140), h), threshold=0.4)
    elif kind == "poison":
        flask = lambda x, y: (circle(8 * sx, 11 * sy, 5 * min(sx, sy))(x, y) or
                              (abs(x - 8 * sx) <= 1.6 * sx and 2 * sy <= y <= 8 * sy))
        covered = c.shape(flask, vertical((220, 150, 255), (110, 30, 170), h))
        for (bx, by, r) in ((6.5, 11, 1.2), (9.5, 12.5, 0.9)):
            c.shape(circle(bx * sx, by * sy, r * min(sx, sy)), lambda x, y: (200, 255, 120))
    elif kind == "bolt":
        bolt = polygon(scaled([(10, 0.5), (3, 9.5), (7.5, 9.5), (5, 16.5), (13, 6.5), (8.5, 6.5)], w, h))
        covered = c.shape(bolt, vertical((255, 255, 190), (255, 200, 20), h), threshold=0.4)
    elif kind == "holy":
        def star(x, y):
            px, py = x - 8 * sx, y - 8.5 * sy
            r = math.hypot(px, py)
            ang = math.atan2(py, px)
            rim = 3 + 4.6 * abs(math.cos(2 * ang)) ** 3
            return r <= rim * min(sx, sy)
        covered = c.shape(star, radial(8 * sx, 8.5 * sy, (255, 255, 255), (255, 215, 90), 7 * sx))
    elif kind == "shadow":
        moon = lambda x, y: (circle(8 * sx, 8.5 * sy, 6.5 * min(sx, sy))(x, y) and
                             not circle(10.5 * sx, 6.5 * sy, 5 * min(sx, sy))(x, y))
        covered = c.shape(moon, vertical((170, 120, 230), (60, 30, 110), h))
        c.outline(covered, (200, 170, 255))
        return c
    elif kind == "trap":
        tri = polygon(scaled([(8, 1), (15.5, 15.5), (0.5, 15.5)], w, h))
        covered = c.shape(tri, vertical((255, 120, 90), (200, 20, 30), h))
        mark = lambda x, y: (abs(x - 8 * sx) <= 0.9 * sx and
                             (5.5 * sy <= y <= 10.8 * sy or 12.2 * sy <= y <= 14 * sy))
        c.shape(mark, lambda x, y: (255, 250, 235), threshold=0.5)
    c.outline(covered, OUTLINE if background == BLACK else (40, 36, 50))
    return c


def bounds(canvas):
    """The smallest box (x0, y0, x1, y1) around the pixels that are drawn."""
    drawn = [(x, y) for y in range(canvas.h) for x in range(canvas.w)
             if canvas.px[y][x] not in (None, BLACK)]
    return (min(x for x, _ in drawn), min(y for _, y in drawn),
            max(x for x, _ in drawn), max(y for _, y in drawn))


def demo_icon(kind, w, h, free_left, free_right):
    """An element icon for the element row, in a w x h picture. The drawing is the largest that
    keeps four pixels from the caption on its left and five from the next option's circle on its
    right (counting the free pixels outside the picture, but at least one inside on each side),
    and one above and below."""
    left, right = max(1, 4 - free_left), max(1, 5 - free_right)
    room_w, room_h = w - left - right, h - 2
    scale = 1.3
    while True:
        icon = element(kind, round(16 * scale), round(17 * scale), None)
        x0, y0, x1, y1 = bounds(icon)
        if x1 - x0 + 1 <= room_w and y1 - y0 + 1 <= room_h:
            break
        scale -= 0.02
    c = Canvas(w, h, None)
    c.blit(icon, left + (room_w - (x1 - x0 + 1)) // 2 - x0, (h - (y1 - y0 + 1)) // 2 - y0)
    return c


# ---- Arrows: pointing from the card's middle to its edges and corners -------------------------

def arrow(index, w=None, h=None, colour=((255, 236, 246), (236, 36, 116)), line=OUTLINE,
          background=BLACK, diagonal=True):
    """A triangle pointing outwards, its outline closed on every side (corners too) so the arrow
    stands apart from gold and silver frames as well as from the blue and red bases."""
    if w is None:
        w, h = {0: (8, 8), 2: (8, 8), 5: (8, 8), 7: (8, 8), 1: (10, 6), 6: (10, 6),
                3: (6, 10), 4: (6, 10)}[index]
    c = Canvas(w, h, background)
    # Triangles with the point at the outer side, inset one pixel for the outline.
    shapes = {
        0: [(1, 1), (w - 1.5, 1), (1, h - 1.5)],
        2: [(w - 1, 1), (w - 1, h - 1.5), (1.5, 1)],
        5: [(1, h - 1), (1, 1.5), (w - 1.5, h - 1)],
        7: [(w - 1, h - 1), (1.5, h - 1), (w - 1, 1.5)],
        1: [(w / 2, 0.6), (w - 1, h - 1), (1, h - 1)],
        6: [(w / 2, h - 0.6), (1, 1), (w - 1, 1)],
        3: [(0.6, h / 2), (w - 1, 1), (w - 1, h - 1)],
        4: [(w - 0.6, h / 2), (1, 1), (1, h - 1)],
    }
    covered = c.shape(polygon(shapes[index]), lambda x, y: mix(colour[0], colour[1], (x + y) / (w + h)))
    c.outline(covered, line, diagonal=diagonal)
    return c


# ---- Built-in pictures ----------------------------------------------------------------------

def card_base(dark, mid, light):
    c = Canvas(62, 62)
    for y in range(62):
        for x in range(62):
            # A diagonal lattice over a soft vertical gradient, with a lighter rim.
            t = y / 61
            col = mix(mid, dark, t)
            if (x + y) % 8 == 0 or (x - y) % 8 == 0:
                col = mix(col, light, 0.25)
            d = min(x, y, 61 - x, 61 - y)
            if d == 0:
                col = mix(light, (255, 255, 255), 0.3)
            elif d == 1:
                col = mix(dark, (20, 20, 20), 0.3)
            c.set(x, y, visible(col))
    # A diamond emblem in the middle.
    em = lambda x, y: abs(x - 31) + abs(y - 31) <= 9
    cov = c.shape(em, lambda x, y: mix(light, (255, 255, 255), 0.4 - abs(y - 31) / 40))
    c.outline(cov, mix(dark, (0, 0, 0), 0.4))
    return c


def card_back():
    """The back of every card: a deep violet ground with the cards' diagonal lattice, a light rim,
    and a four-pointed star with one small diamond towards each side's digit."""
    dark, mid, light = (26, 14, 52), (70, 40, 120), (235, 200, 120)
    c = Canvas(62, 62)
    for y in range(62):
        for x in range(62):
            col = mix(mid, dark, math.hypot(x - 30.5, y - 30.5) / 44)
            if (x + y) % 6 == 0 or (x - y) % 6 == 0:
                col = mix(col, light, 0.18)
            d = min(x, y, 61 - x, 61 - y)
            if d == 0:
                col = mix(light, (255, 255, 255), 0.2)
            elif d == 1:
                col = mix(dark, (10, 5, 20), 0.5)
            elif d == 3:
                col = mix(light, dark, 0.35)
            c.set(x, y, visible(col))
    star = polygon([(31, 12), (35, 27), (50, 31), (35, 35), (31, 50), (27, 35), (12, 31),
                    (27, 27)])
    cov = c.shape(star, lambda x, y: mix(light, (255, 250, 225), 0.5 - abs(y - 31) / 40))
    c.outline(cov, mix(dark, (0, 0, 0), 0.3))
    for cx, cy in ((31, 7), (7, 31), (55, 31), (31, 55)):
        gem = lambda x, y, cx=cx, cy=cy: abs(x - cx) + abs(y - cy) <= 3.2
        cov = c.shape(gem, lambda x, y: mix(light, mid, 0.2))
        c.outline(cov, mix(dark, (0, 0, 0), 0.3))
    return c


def app_icon(size=32, background=None):
    c = Canvas(size, size, background)
    s = size / 32.0
    # Two overlapping cards, red behind blue, each with a digit diamond.
    red = card_base((110, 10, 20), (200, 40, 50), (255, 150, 150))
    blue = card_base((10, 20, 90), (40, 90, 200), (150, 190, 255))
    for card, ox, oy in ((red, 11, 2), (blue, 3, 8)):
        w, h = int(18 * s), int(22 * s)
        for y in range(h):
            for x in range(w):
                col = card.get(int(x * 62 / w), int(y * 62 / h))
                if x in (0, w - 1) or y in (0, h - 1):
                    col = (240, 240, 245)
                c.set(int(ox * s) + x, int(oy * s) + y, col)
    glyph = digit("A")
    for y in range(9):
        for x in range(9):
            col = glyph.get(x, y)
            if col != BLACK:
                for dy in range(int(s)):
                    for dx in range(int(s)):
                        c.set(int(6 * s) + x * int(s) + dx, int(12 * s) + y * int(s) + dy, col)
    return c


def about_picture():
    c = Canvas(64, 64, (28, 32, 60))
    for y in range(64):
        for x in range(64):
            c.set(x, y, visible(mix((40, 50, 110), (15, 15, 40), math.hypot(x - 20, y - 15) / 70)))
    icon = app_icon(64, None)
    c.blit(icon, 0, 0)
    return c


def compose(base, sides, frame_kind, element_kind, arrows):
    """A card as the tool lays it: base, digits, frame, element icon, then arrows."""
    card = Canvas(62, 62)
    card.blit(base, 0, 0)
    for ch, (x, y) in zip(sides, DIGIT_PLACES):
        card.blit(digit(ch), x, y)
    card.blit(frame(frame_kind), 0, 0)
    card.blit(element(element_kind), *ELEMENT_PLACE)
    for index in arrows:
        picture = arrow(index)
        w, h = picture.w, picture.h
        # Corners, the middles of the edges: as the compositor places them (ties to even).
        cx, cy = round(31 - w / 2), round(31 - h / 2)
        at = {0: (0, 0), 1: (cx, 0), 2: (62 - w, 0), 3: (0, cy), 4: (62 - w, cy),
              5: (0, 62 - h), 6: (cx, 62 - h), 7: (62 - w, 62 - h)}[index]
        card.blit(picture, *at)
    return card


def banner():
    """The picture window's banner: one card of each frame (its sides add up to a total of that
    frame), blue and red in turn, on a starry ground. The window shows 320 x 74 of the 321 x 75
    picture; every card lies inside that."""
    w, h = 321, 75
    shown_w, shown_h = 320, 74
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            c.set(x, y, visible(mix((20, 30, 80), (120, 20, 40), x / w)))
    # Stars.
    seed = 7
    for _ in range(60):
        seed = (seed * 1103515245 + 12345) % 2 ** 31
        sx, sy = seed % w, (seed // w) % h
        c.set(sx, sy, (255, 250, 220))
    blue = card_base((10, 20, 90), (40, 90, 200), (150, 190, 255))
    red = card_base((110, 10, 20), (200, 40, 50), (255, 150, 150))
    cards = [(blue, "A123", "monster", "fire", (1, 6)),
             (red, "4536", "boss", "water", (0, 4, 7)),
             (blue, "5874", "gf", "bolt", (2, 3, 5, 6)),
             (red, "AA9A", "character", "holy", (0, 1, 2, 4, 5, 7))]
    gap = (shown_w - 62 * len(cards)) // (len(cards) + 1)
    left = (shown_w - 62 * len(cards) - gap * (len(cards) - 1)) // 2
    top = (shown_h - 62) // 2
    for i, (base, sides, frame_kind, element_kind, arrows) in enumerate(cards):
        c.blit_opaque(compose(base, sides, frame_kind, element_kind, arrows),
                      left + i * (62 + gap), top)
    return c


def main():
    gfx = os.path.join(ROOT, "gfx")
    for ch in "123456789A":
        write_xpm(os.path.join(gfx, "bitblts", "%s.xpm" % ch), digit(ch), "digit_%s" % ch)
    for name, kind in (("Monster Frame", "monster"), ("Boss Frame", "boss"), ("GF Frame", "gf"),
                       ("Lvl10 Frame", "character")):
        write_xpm(os.path.join(gfx, "bitblts", name + ".xpm"), frame(kind), "frame_" + kind)
    elements = [("fireelem", "fire"), ("waterelem", "water"), ("coldelem", "ice"),
                ("earthelem", "earth"), ("windelem", "wind"), ("bioelem", "poison"),
                ("boltelem", "bolt"), ("holyelem", "holy"), ("noelem", "none"),
                ("shadowelem", "shadow"), ("assault", "trap")]
    for name, kind in elements:
        write_xpm(os.path.join(gfx, "bitblts", name + ".xpm"), element(kind), "elem_" + kind)
    for i in range(8):
        write_xpm(os.path.join(gfx, "arrows", "arrow %d.xpm" % i), arrow(i), "arrow_%d" % i)

    built = os.path.join(ROOT, "builtin")
    write_xpm(os.path.join(built, "bluebase.xpm"),
              card_base((10, 20, 90), (40, 90, 200), (150, 190, 255)), "blue_base")
    write_xpm(os.path.join(built, "redbase.xpm"),
              card_base((110, 10, 20), (200, 40, 50), (255, 150, 150)), "red_base")
    write_xpm(os.path.join(built, "cardback.xpm"), card_back(), "card_back")
    write_xpm(os.path.join(built, "icon.xpm"), app_icon(), "app_icon")
    write_xpm(os.path.join(built, "about.xpm"), about_picture(), "about_picture")
    write_xpm(os.path.join(built, "form3.xpm"), banner(), "banner")
    # The element icons beside the options, at the sizes of their places in the window; the last
    # two numbers are the free pixels between the caption's text (in the window's font) and the
    # place, and between the place and the next option's circle.
    demo = [("fire", 16, 17, 10, 8), ("water", 15, 16, 8, 1), ("ice", 16, 16, 6, 8),
            ("earth", 16, 14, 2, 89), ("wind", 15, 16, 4, 9), ("poison", 13, 14, 3, 3),
            ("bolt", 16, 16, 3, 8), ("holy", 15, 15, 7, 90), ("shadow", 14, 14, 4, 2),
            ("trap", 11, 11, 7, 4)]
    for i, (kind, w, h, left, right) in enumerate(demo):
        write_xpm(os.path.join(built, "elem%d.xpm" % i), demo_icon(kind, w, h, left, right),
                  "demo_%d" % i)
    # Direction marks beside the arrow boxes, dark on the window's grey.
    marks = {"diag_ul": 0, "up": 1, "diag_ur": 2, "left": 3, "right": 4, "diag_ll": 5,
             "down": 6, "diag_lr": 7}
    for name, index in marks.items():
        write_xpm(os.path.join(built, "mark_%s.xpm" % name),
                  arrow(index, colour=((60, 60, 70), (20, 20, 30)), line=(110, 110, 120),
                        background=None, diagonal=False), "mark_" + name)


if __name__ == "__main__":
    main()
