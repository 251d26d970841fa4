"""The Starlane banner button, 160 x 30 at 100% (240 x 45 at 150%, 320 x 60 at 200%): a ringed
planet, the game's name and a ship in a starfield. Sky and planet are drawn at each size; the
stars, the letters and the ship are pixel art, enlarged."""
import canvas as cv
import font

WIDTH, HEIGHT = 160, 30

SKY_TOP = (0, 0, 14)
SKY_BOTTOM = (8, 14, 70)
STARS = [(70, 70, 110), (130, 130, 180), (200, 200, 240), (255, 255, 255)]
PLANET = [(120, 48, 24), (196, 100, 40), (240, 164, 88)]
PLANET_BAND = [(96, 36, 20), (160, 72, 32), (212, 124, 64)]
RING = (232, 216, 168)
RING_SHADE = (150, 130, 96)
LETTER_ROWS = [(255, 252, 200), (255, 236, 128), (255, 216, 64), (255, 190, 40), (244, 160, 24), (224, 124, 16)]
LETTER_INK = (96, 24, 8)
LETTER_SHADOW = (36, 12, 60)

# The ship, flying right; its exhaust trails to the left.
SHIP = [
    "...ooo..............",
    "...oRRo.............",
    "...oRRRoooooooo.....",
    ".YfooHHHHHHHHHHooo..",
    "YYffoHHHHHHHHCCCCHoo",
    "WYYfoMMMMMMMMMMMMMMo",
    "YYffoDDDDDDDDDDDDDoo",
    ".YfooDDDDDDDDDDooo..",
    "...oRRRoooooooo.....",
    "...oRRo.............",
    "...ooo..............",
]
SHIP_COLOURS = {
    "o": (20, 24, 40), "H": (224, 228, 240), "M": (168, 176, 200), "D": (104, 112, 140),
    "C": (96, 208, 255), "R": (216, 40, 32), "f": (255, 120, 24), "Y": (255, 208, 64), "W": (255, 250, 220),
}


class Xorshift:
    """A small fixed-seed random source, so the starfield is the same on every run and machine."""

    def __init__(self, seed):
        self.state = seed

    def next(self, bound):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x % bound


def sky(c):
    for y in range(c.height):
        t = y / (c.height - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(SKY_TOP, SKY_BOTTOM))
        c.paint(cv.rect(0, y, c.width - 1, y), colour)


def starfield(c):
    rng = Xorshift(0x5EED1234)
    for _ in range(90):
        x, y, level = rng.next(WIDTH), rng.next(HEIGHT), rng.next(16)
        brightness = 0 if level < 8 else 1 if level < 13 else 2 if level < 15 else 3
        if brightness == 3:  # a bright star gets a small cross of light
            c.paint({(x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)}, STARS[1])
        c.put(x, y, STARS[brightness])


def planet(c, cx, cy, r, s):
    """The planet around (cx, cy) of radius r, given at 100% and drawn at scale s."""
    bands = [(cv.span(y0, s)[0], cv.span(y0 + 1, s)[-1]) for y0 in (cy - 4, cy + 2)]
    cx, cy, r = cx * s, cy * s, r * s
    body = cv.disc(cx, cy, r)
    ring = cv.ellipse(cx, cy, r * 1.7, r * 0.55) - cv.ellipse(cx, cy, r * 1.3, r * 0.3)
    back = {(x, y) for x, y in ring if y + 0.5 < cy} - body
    front = {(x, y) for x, y in ring if y + 0.5 >= cy}
    c.paint(back, RING_SHADE)
    c.ball(body, cx, cy, r, PLANET)
    for top, bottom in bands:  # two darker bands across the planet
        band = {(x, y) for x, y in body if top <= y <= bottom}
        c.ball(band, cx, cy, r, PLANET_BAND)
    c.paint(front, RING)
    c.paint(cv.edge(front, 0, 1), RING_SHADE)


def title(c, x, baseline):
    letters = font.text(font.DISPLAY, "Starlane", x, baseline, spacing=2)
    c.paint(cv.shifted(letters, 2, 2) | cv.neighbours(cv.shifted(letters, 2, 2)), LETTER_SHADOW)
    c.outline(letters, LETTER_INK, corners=True)
    top = min(y for _, y in letters)
    for px, py in letters:  # a gold gradient, light at the top
        c.put(px, py, LETTER_ROWS[min(len(LETTER_ROWS) - 1, (py - top) // 2)])


def trail(c, x0, x1, y):
    """Streaks of dimming light behind the ship."""
    for n, x in enumerate(range(x1, x0 - 1, -1)):
        level = 2 if n < 3 else 1 if n < 8 else 0
        if n % 5 != 4 or n < 5:
            c.put(x, y, STARS[level])
    for x in range(x1 - 2, x0 + 4, -3):
        c.put(x, y - 2, STARS[0])
        c.put(x - 1, y + 2, STARS[0])


def banner(scale=1):
    """The banner at a scale of 1, 1.5 or 2."""
    c = cv.Canvas(round(WIDTH * scale), round(HEIGHT * scale), SKY_TOP)
    art = cv.Enlarged(c, scale)
    sky(c)
    starfield(art)
    planet(c, 15, 16, 9, scale)
    title(art, 36, 21)
    trail(art, 112, 126, 14)
    art.picture(SHIP, 127, 9, SHIP_COLOURS)
    return c
