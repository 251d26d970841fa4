"""The program icon at 16, 24, 32, 48 and 256 pixels: a route of hops, dots joined by a path, over a
globe. 16 and 32 have layouts of their own; 24, 48 and 256 are the 32-pixel layout at their size."""
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
SIZES = [16, 24, 32, 48, 256]


def hop_dot(x, y, radius):
    return cv.disc(x + 0.5, y + 0.5, radius) if radius else cv.rect(x, y, x + 1, y + 1)


def opaque(colour):
    return colour + (255,) if len(colour) == 3 else colour


def thick_outline(c, shape, colour, width):
    """An outline `width` pixels wide around the shape, outside it, corners included."""
    grown = set(shape)
    for _ in range(width):
        ring = cv.neighbours(grown, corners=True)
        c.paint(ring, colour)
        grown |= ring


def scaled_icon(size):
    """The 32-pixel layout drawn at another size: the same globe, route and dots, outlines a pixel
    wide for every 64 pixels of icon."""
    k = size / 32
    spec = LAYOUT[32]
    c = cv.Canvas(size, size, CLEAR)
    cx, cy, r = (v * k for v in spec["globe"])
    g = globe.draw_globe(c, cx, cy, r, turn=-30, grid=True)
    ink = max(1, round(k / 2))
    thick_outline(c, g, INK, ink)
    centres = [((x + 0.5) * k - 0.5, (y + 0.5) * k - 0.5) for x, y in spec["hops"]]  # pixel-index space
    path = set()
    for (ax, ay), (bx, by) in zip(centres, centres[1:]):
        path |= cv.thick_line(ax, ay, bx, by, spec["path"] * k)
    dots = [cv.disc(x + 0.5, y + 0.5, spec["dot"] * k) for x, y in centres]
    thick_outline(c, path.union(*dots), INK, ink)
    c.paint(path, PATH)
    for n, dot in enumerate(dots):
        last = n == len(dots) - 1
        c.paint(dot, TARGET if last else HOP)
        c.paint(dot - cv.shifted(dot, 0, -ink), (160, 16, 8) if last else HOP_SHADE)
        x, y = centres[n]
        glint = spec["dot"] * k * 0.35
        c.paint(cv.disc(x + 0.5 - glint, y + 0.5 - glint, max(0.75, glint * 0.6)), TARGET_LIGHT if last else pal.GOLD_LIGHT)
    c.pixels = [opaque(p) for p in c.pixels]
    return c


def app_icon(size):
    if size not in LAYOUT:
        return scaled_icon(size)
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
