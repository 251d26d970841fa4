"""The program icon at 32 and 16 pixels: a route of hops, dots joined by a path, over a globe."""
import canvas as cv
import globe
import palette as pal

CLEAR = (0, 0, 0, 0)
PATH = (255, 244, 200)
HOP = (255, 208, 48)
HOP_SHADE = (208, 136, 16)
TARGET = (240, 48, 32)
TARGET_LIGHT = (255, 150, 130)
INK = pal.BLUE_INK

# Per size: globe centre and radius, the hops in route order (the last is the destination),
# the path's width, and the hop dots' radius. At 16 pixels the dots are 2 x 2 squares: a round
# dot that small would be a plus sign.
LAYOUT = {
    32: dict(globe=(16, 16, 13.5), hops=[(5, 25), (11, 17), (19, 19), (26, 8)], path=2, dot=2.6),
    16: dict(globe=(8, 8, 7), hops=[(3, 11), (7, 8), (11, 3)], path=1, dot=None),
}


def hop_dot(x, y, radius):
    return cv.disc(x + 0.5, y + 0.5, radius) if radius else cv.rect(x, y, x + 1, y + 1)


def opaque(colour):
    return colour + (255,) if len(colour) == 3 else colour


def app_icon(size):
    spec = LAYOUT[size]
    c = cv.Canvas(size, size, CLEAR)
    cx, cy, r = spec["globe"]
    g = globe.draw_globe(c, cx, cy, r, turn=-30 if size == 32 else -80, grid=size == 32)
    c.outline(g, INK)
    hops = spec["hops"]
    path = cv.polyline(hops, spec["path"])
    dots = [hop_dot(x, y, spec["dot"]) for x, y in hops]
    everything = path.union(*dots)
    c.outline(everything, INK, corners=size == 32)
    c.paint(path, PATH)
    for n, dot in enumerate(dots):
        last = n == len(dots) - 1
        c.paint(dot, TARGET if last else HOP)
        if size == 32:
            c.paint(cv.edge(dot, 0, 1), (160, 16, 8) if last else HOP_SHADE)
        x, y = hops[n]
        if size == 32:
            c.put(x - 1, y - 1, TARGET_LIGHT if last else pal.GOLD_LIGHT)
    c.pixels = [opaque(p) for p in c.pixels]
    return c
