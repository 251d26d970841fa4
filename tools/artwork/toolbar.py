"""The toolbar strip: seven button images (start, stop, copy, WhoIs, setup, help, exit), 24 x 24 at
100% and drawn again at 150% (36) and 200% (48): shapes at their own size, pixel art enlarged."""
import math

import canvas as cv
import font
import globe
import magnifier
import palette as pal

SIZE = 24  # at 100%; every coordinate below is at this size and multiplied by the scale s
ORDER = ["start", "stop", "copy", "whois", "setup", "help", "exit"]


def shaded(c, shape, fill, light, dark, ink):
    """The usual treatment of a glyph: filled, lit from the upper left, a one-pixel dark outline."""
    c.paint(shape, fill)
    c.bevel(shape, light, dark)
    c.outline(shape, ink)


def scaled_polygon(vertices, s):
    return cv.polygon([(x * s, y * s) for x, y in vertices])


def draw_start(c, s):
    # A play triangle pointing right.
    triangle = scaled_polygon([(6, 3), (6, 21), (20.5, 12)], s)
    shaded(c, triangle, pal.GREEN, pal.GREEN_LIGHT, pal.GREEN_DARK, pal.GREEN_INK)
    c.paint(cv.scaled(cv.rect(8, 7, 8, 10) | {(9, 8), (9, 9)}, s), pal.GREEN_LIGHT)


def stop_word(s):
    """The word on the stop sign, centred: the tiny face, doubled at 200%, a bold one at 150%."""
    if s == 1.5:
        return font.text(font.SMALL_BOLD, "STOP", 18 - font.text_width(font.SMALL_BOLD, "STOP") // 2, 21)
    return cv.scaled(font.text(font.TINY, "STOP", 12 - font.text_width(font.TINY, "STOP") // 2, 14), s)


def draw_stop(c, s):
    # A stop sign: red octagon, white rim (a pixel wide for every 100%), the word STOP.
    radius = 10.2 * s
    octagon = cv.polygon([(12 * s + radius * math.cos(math.radians(22.5 + 45 * k)),
                           12 * s + radius * math.sin(math.radians(22.5 + 45 * k))) for k in range(8)])
    c.paint(octagon, pal.PAPER)
    c.outline(octagon, pal.RED_INK)
    face = octagon
    for _ in range(int(s)):
        face = face - cv.border(face)
    c.paint(face, pal.RED)
    c.bevel(face, pal.RED_LIGHT, pal.RED_DARK)
    c.paint(stop_word(s), pal.PAPER)


def sheet(c, x0, y0, x1, y1, fold, s):
    """A sheet of paper with a folded top-right corner and lines of text; returns its pixels.

    The pixel coordinates are those at 100%; the lines of text stay one pixel thin at every size."""
    def first(i):  # the first and last pixel that pixel i at 100% covers
        return cv.span(i, s)[0]

    def last(i):
        return cv.span(i, s)[-1]

    shape = scaled_polygon([(x0, y0), (x1 + 1 - fold, y0), (x1 + 1, y0 + fold), (x1 + 1, y1 + 1), (x0, y1 + 1)], s)
    c.paint(shape, pal.PAPER)
    c.paint(cv.edge(shape, 1, 0) | cv.edge(shape, 0, 1), pal.PAPER_SHADE)
    for y in range(y0 + 3, y1 - 1, 2):
        right = x1 - 2 - (fold if y < y0 + fold + 1 else 0) - (3 if y % 4 == 1 else 0)
        c.paint(cv.rect(first(x0 + 2), first(y), last(right), first(y)), pal.TEXT_LINE)
    c.outline(shape, pal.INK)
    # The dog-ear: a triangle of shaded paper under the cut corner.
    ex, top, right, bottom = first(x1 - fold + 1), first(y0), last(x1), last(y0 + fold - 1)
    ear = {(x, y) for x in range(ex, right + 1) for y in range(top, bottom + 1) if x - ex <= y - top}
    c.paint(ear, pal.PAPER_SHADE)
    c.paint(cv.line(ex, top, ex, bottom) | cv.line(ex, bottom, right, bottom) | cv.line(ex, top, right, bottom), pal.INK)
    return shape


def draw_copy(c, s):
    sheet(c, 3, 2, 13, 16, 3, s)
    sheet(c, 9, 7, 19, 21, 3, s)


def draw_whois(c, s):
    # A globe with a magnifying glass held over its lower right.
    g = globe.draw_globe(c, 10 * s, 10 * s, 8 * s, turn=-20, grid_step=45)
    c.outline(g, pal.BLUE_INK)
    lx, ly, zoom = 14.5 * s, 14.5 * s, 1.6
    view = cv.Canvas(c.width, c.height, pal.GLASS)
    globe.draw_globe(view, lx + (10 * s - lx) * zoom, ly + (10 * s - ly) * zoom, 8 * s * zoom, turn=-20, grid_step=45)
    magnifier.draw_magnifier(c, lx, ly, 5 * s, view, rim=int(s), handle_length=round(3 * s), handle_width=3.2 * s)


def draw_setup(c, s):
    # A gear of eight teeth with a hole in the middle.
    gear = set()
    middle = 12 * s
    for x, y in cv.rect(0, 0, c.width - 1, c.height - 1):
        dx, dy = x + 0.5 - middle, y + 0.5 - middle
        r = math.hypot(dx, dy)
        angle = math.degrees(math.atan2(dy, dx)) % 45
        tooth = min(angle, 45 - angle) * math.pi / 180 * r < 2.0 * s  # teeth 4 pixels wide at 100%
        if 2.8 * s < r <= 7.2 * s or (r <= 10.1 * s and tooth and r > 2.8 * s):
            gear.add((x, y))
    shaded(c, gear, pal.STEEL, pal.STEEL_LIGHT, pal.STEEL_DARK, pal.STEEL_INK)


QUESTION = [
    ".#####.",
    "###.###",
    "##...##",
    "....###",
    "...###.",
    "..###..",
    "..##...",
    ".......",
    "..##...",
    "..##...",
]


def draw_help(c, s):
    # A white question mark on a blue ball.
    ball = cv.disc(12 * s, 12 * s, 9.6 * s)
    c.ball(ball, 12 * s, 12 * s, 9.6 * s, [pal.BLUE_DARK, pal.BLUE, pal.BLUE_LIGHT])
    c.outline(ball, pal.BLUE_INK)
    q = cv.glyph(QUESTION, 9, 7)
    c.paint(cv.scaled(cv.shifted(q, 1, 1), s), pal.BLUE_INK)
    c.paint(cv.scaled(q, s), pal.PAPER)


def draw_exit(c, s):
    # A door with an arrow leaving through it.
    frame = cv.scaled_rect(3, 2, 14, 21, s)
    door = cv.scaled_rect(5, 4, 12, 21, s)
    c.paint(frame, pal.WOOD_DARK)
    c.outline(frame, pal.WOOD_INK)
    c.paint(cv.scaled_rect(4, 3, 13, 21, s), pal.WOOD_INK)
    c.paint(door, pal.WOOD)
    c.bevel(door, pal.WOOD_LIGHT, pal.WOOD_DARK)
    c.paint(cv.scaled_rect(7, 6, 10, 10, s) | cv.scaled_rect(7, 13, 10, 18, s), pal.WOOD_DARK)
    c.paint(cv.scaled_rect(7, 6, 10, 6, s) | cv.scaled_rect(7, 13, 10, 13, s), pal.WOOD_LIGHT)
    c.paint(cv.scaled({(11, 12), (11, 11)}, s), pal.GOLD)
    arrow = cv.scaled_rect(11, 11, 16, 14, s) | scaled_polygon([(16, 6), (16, 20), (22.5, 13)], s)
    shaded(c, arrow, pal.RED, pal.RED_LIGHT, pal.RED_DARK, pal.RED_INK)


DRAW = {"start": draw_start, "stop": draw_stop, "copy": draw_copy, "whois": draw_whois,
        "setup": draw_setup, "help": draw_help, "exit": draw_exit}


def toolbar(scale=1):
    """The strip of button images at a scale of 1, 1.5 or 2, left to right in button image order."""
    size = round(SIZE * scale)
    strip = cv.Canvas(size * len(ORDER), size, pal.BUTTON_FACE)
    for n, name in enumerate(ORDER):
        image = cv.Canvas(size, size, pal.BUTTON_FACE)
        DRAW[name](image, scale)
        strip.paste(image, n * size, 0)
    return strip
