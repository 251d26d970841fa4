"""The toolbar strip: seven 24 x 24 button images (start, stop, copy, WhoIs, setup, help, exit)."""
import math

import canvas as cv
import font
import globe
import magnifier
import palette as pal

SIZE = 24
ORDER = ["start", "stop", "copy", "whois", "setup", "help", "exit"]


def shaded(c, shape, fill, light, dark, ink):
    """The usual treatment of a glyph: filled, lit from the upper left, a one-pixel dark outline."""
    c.paint(shape, fill)
    c.bevel(shape, light, dark)
    c.outline(shape, ink)


def draw_start(c):
    # A play triangle pointing right.
    triangle = cv.polygon([(6, 3), (6, 21), (20.5, 12)])
    shaded(c, triangle, pal.GREEN, pal.GREEN_LIGHT, pal.GREEN_DARK, pal.GREEN_INK)
    c.paint(cv.rect(8, 7, 8, 10) | {(9, 8), (9, 9)}, pal.GREEN_LIGHT)


def draw_stop(c):
    # A stop sign: red octagon, white rim, the word STOP.
    radius = 10.2
    octagon = cv.polygon([(12 + radius * math.cos(math.radians(22.5 + 45 * k)),
                           12 + radius * math.sin(math.radians(22.5 + 45 * k))) for k in range(8)])
    c.paint(octagon, pal.PAPER)
    c.outline(octagon, pal.RED_INK)
    face = octagon - cv.border(octagon)
    c.paint(face, pal.RED)
    c.bevel(face, pal.RED_LIGHT, pal.RED_DARK)
    c.paint(font.text(font.TINY, "STOP", 12 - font.text_width(font.TINY, "STOP") // 2, 14), pal.PAPER)


def sheet(c, x0, y0, x1, y1, fold):
    """A sheet of paper with a folded top-right corner and lines of text; returns its pixels."""
    shape = cv.polygon([(x0, y0), (x1 + 1 - fold, y0), (x1 + 1, y0 + fold), (x1 + 1, y1 + 1), (x0, y1 + 1)])
    c.paint(shape, pal.PAPER)
    c.paint(cv.edge(shape, 1, 0) | cv.edge(shape, 0, 1), pal.PAPER_SHADE)
    for y in range(y0 + 3, y1 - 1, 2):
        c.paint(cv.rect(x0 + 2, y, x1 - 2 - (fold if y < y0 + fold + 1 else 0) - (3 if y % 4 == 1 else 0), y),
                pal.TEXT_LINE)
    c.outline(shape, pal.INK)
    # The dog-ear: a triangle of shaded paper under the cut corner.
    ear = {(x, y) for x in range(x1 - fold + 1, x1 + 1) for y in range(y0, y0 + fold) if x - (x1 - fold + 1) <= y - y0}
    c.paint(ear, pal.PAPER_SHADE)
    c.paint(cv.line(x1 - fold + 1, y0, x1 - fold + 1, y0 + fold - 1) | cv.line(x1 - fold + 1, y0 + fold - 1, x1, y0 + fold - 1)
            | cv.line(x1 - fold + 1, y0, x1, y0 + fold - 1), pal.INK)
    return shape


def draw_copy(c):
    sheet(c, 3, 2, 13, 16, 3)
    sheet(c, 9, 7, 19, 21, 3)


def draw_whois(c):
    # A globe with a magnifying glass held over its lower right.
    g = globe.draw_globe(c, 10, 10, 8, turn=-20, grid_step=45)
    c.outline(g, pal.BLUE_INK)
    lx, ly, zoom = 14.5, 14.5, 1.6
    view = cv.Canvas(SIZE, SIZE, pal.GLASS)
    globe.draw_globe(view, lx + (10 - lx) * zoom, ly + (10 - ly) * zoom, 8 * zoom, turn=-20, grid_step=45)
    magnifier.draw_magnifier(c, lx, ly, 5, view)


def draw_setup(c):
    # A gear of eight teeth with a hole in the middle.
    gear = set()
    for x, y in cv.rect(0, 0, SIZE - 1, SIZE - 1):
        dx, dy = x + 0.5 - 12, y + 0.5 - 12
        r = math.hypot(dx, dy)
        angle = math.degrees(math.atan2(dy, dx)) % 45
        tooth = min(angle, 45 - angle) * math.pi / 180 * r < 2.0  # teeth 4 pixels wide
        if 2.8 < r <= 7.2 or (r <= 10.1 and tooth and r > 2.8):
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


def draw_help(c):
    # A white question mark on a blue ball.
    ball = cv.disc(12, 12, 9.6)
    c.ball(ball, 12, 12, 9.6, [pal.BLUE_DARK, pal.BLUE, pal.BLUE_LIGHT])
    c.outline(ball, pal.BLUE_INK)
    q = cv.glyph(QUESTION, 9, 7)
    c.paint(cv.shifted(q, 1, 1), pal.BLUE_INK)
    c.paint(q, pal.PAPER)


def draw_exit(c):
    # A door with an arrow leaving through it.
    frame = cv.rect(3, 2, 14, 21)
    door = cv.rect(5, 4, 12, 21)
    c.paint(frame, pal.WOOD_DARK)
    c.outline(frame, pal.WOOD_INK)
    c.paint(cv.rect(4, 3, 13, 21), pal.WOOD_INK)
    c.paint(door, pal.WOOD)
    c.bevel(door, pal.WOOD_LIGHT, pal.WOOD_DARK)
    c.paint(cv.rect(7, 6, 10, 10) | cv.rect(7, 13, 10, 18), pal.WOOD_DARK)
    c.paint(cv.rect(7, 6, 10, 6) | cv.rect(7, 13, 10, 13), pal.WOOD_LIGHT)
    c.paint({(11, 12), (11, 11)}, pal.GOLD)
    arrow = cv.rect(11, 11, 16, 14) | cv.polygon([(16, 6), (16, 20), (22.5, 13)])
    shaded(c, arrow, pal.RED, pal.RED_LIGHT, pal.RED_DARK, pal.RED_INK)


DRAW = {"start": draw_start, "stop": draw_stop, "copy": draw_copy, "whois": draw_whois,
        "setup": draw_setup, "help": draw_help, "exit": draw_exit}


def toolbar():
    """The strip of button images, left to right in button image order."""
    strip = cv.Canvas(SIZE * len(ORDER), SIZE, pal.BUTTON_FACE)
    for n, name in enumerate(ORDER):
        image = cv.Canvas(SIZE, SIZE, pal.BUTTON_FACE)
        DRAW[name](image)
        strip.paste(image, n * SIZE, 0)
    return strip
