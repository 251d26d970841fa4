"""The WhoIs dialog's animation: a globe turning under a magnifying glass that circles over it."""
import math

import canvas as cv
import globe
import palette as pal

SIZE = 48
FRAMES = 6
MICROSECONDS_PER_FRAME = 202000
BACKGROUND = pal.WHITE  # the control has a border: a white well looks right on any dialog colour


def magnifier(c, lx, ly, lr, zoom):
    """A round lens at (lx, ly) showing the canvas `zoom` tinted by the glass, a rim and a handle
    pointing to the lower right."""
    lens = cv.disc(lx, ly, lr)
    for x, y in lens:
        colour = zoom.get(x, y) if 0 <= x < SIZE and 0 <= y < SIZE else pal.GLASS
        c.put(x, y, tuple(min(255, v + (255 - v) // 3) for v in colour))
    c.paint({(round(lx - lr * 0.5) + dx, round(ly - lr * 0.5) + dy) for dx, dy in [(0, 0), (1, 0), (0, 1), (2, 0), (0, 2)]},
            pal.GLASS_LIGHT)
    rim = cv.ring(lx, ly, lr + 2, lr)
    hx, hy = round(lx + lr * 0.75), round(ly + lr * 0.75)
    handle = cv.thick_line(hx + 2, hy + 2, hx + 7, hy + 7, 4.2) - lens - rim
    c.paint(handle, pal.WOOD_DARK)
    c.paint(cv.line(hx + 2, hy + 3, hx + 6, hy + 7) - lens - rim, pal.WOOD)
    c.outline(handle, pal.INK)
    c.paint(rim, pal.STEEL)
    c.bevel(rim, pal.STEEL_LIGHT, pal.STEEL_DARK)
    c.outline(lens | rim, pal.INK)


def frame(n):
    """Frame n of FRAMES: the globe has turned by n sixths of a turn, the glass moved a sixth round."""
    turn = -360.0 * n / FRAMES
    c = cv.Canvas(SIZE, SIZE, BACKGROUND)
    g = globe.draw_globe(c, 22, 22, 17, turn=turn)
    c.outline(g, pal.BLUE_INK)
    angle = math.radians(200 - 360.0 * n / FRAMES)
    lx, ly = 22 + 7 * math.cos(angle), 22 + 7 * math.sin(angle)
    zoom = cv.Canvas(SIZE, SIZE, BACKGROUND)
    # The view through the glass: the same globe 1.5 times larger, centred on the lens.
    globe.draw_globe(zoom, lx + (22 - lx) * 1.5, ly + (22 - ly) * 1.5, 17 * 1.5, turn=turn)
    magnifier(c, lx, ly, 8, zoom)
    return c


def whois_frames():
    return [frame(n) for n in range(FRAMES)]
