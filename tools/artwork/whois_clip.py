"""The WhoIs dialog's animation: a globe turning under a magnifying glass that circles over it."""
import math

import canvas as cv
import globe
import magnifier
import palette as pal

SIZE = 48
FRAMES = 6
MICROSECONDS_PER_FRAME = 202000
BACKGROUND = pal.WHITE  # the control has a border: a white well looks right on any dialog colour


def frame(n):
    """Frame n of FRAMES: the globe has turned by n sixths of a turn, the glass moved a sixth round."""
    turn = -360.0 * n / FRAMES
    c = cv.Canvas(SIZE, SIZE, BACKGROUND)
    g = globe.draw_globe(c, 22, 22, 17, turn=turn)
    c.outline(g, pal.BLUE_INK)
    angle = math.radians(200 - 360.0 * n / FRAMES)
    lx, ly = 22 + 7 * math.cos(angle), 22 + 7 * math.sin(angle)
    view = cv.Canvas(SIZE, SIZE, BACKGROUND)
    # The view through the glass: the same globe 1.5 times larger, centred on the lens.
    globe.draw_globe(view, lx + (22 - lx) * 1.5, ly + (22 - ly) * 1.5, 17 * 1.5, turn=turn)
    magnifier.draw_magnifier(c, lx, ly, 8, view, rim=2, handle_length=5, handle_width=4.2)
    return c


def whois_frames():
    return [frame(n) for n in range(FRAMES)]
