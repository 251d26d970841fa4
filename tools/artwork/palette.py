"""Named colours of the artwork, as (r, g, b)."""

# The toolbar maps these four grays of its bitmap to the system button colours.
BUTTON_FACE = (192, 192, 192)
BUTTON_TEXT = (0, 0, 0)
BUTTON_SHADOW = (128, 128, 128)
BUTTON_HIGHLIGHT = (255, 255, 255)

# The hop table draws on navy; its row images are fixed colours.
NAVY = (0, 0, 128)
WHITE = (255, 255, 255)
DARK_GREEN = (0, 128, 0)
MAROON = (128, 0, 0)

# Glyph colours; none of them is one of the mapped grays, so glyphs look the same in any theme.
INK = (24, 24, 32)
PAPER = (250, 250, 244)
PAPER_SHADE = (214, 214, 206)
TEXT_LINE = (120, 136, 168)

GREEN_LIGHT = (120, 232, 96)
GREEN = (40, 176, 40)
GREEN_DARK = (16, 112, 24)
GREEN_INK = (8, 64, 16)

RED_LIGHT = (255, 120, 104)
RED = (216, 32, 24)
RED_DARK = (152, 16, 16)
RED_INK = (88, 8, 8)

BLUE_LIGHT = (112, 160, 248)
BLUE = (40, 96, 216)
BLUE_DARK = (24, 56, 152)
BLUE_INK = (12, 24, 88)

STEEL_LIGHT = (208, 216, 232)
STEEL = (150, 160, 184)
STEEL_DARK = (96, 104, 128)
STEEL_INK = (40, 44, 60)

WOOD_LIGHT = (216, 152, 88)
WOOD = (176, 104, 48)
WOOD_DARK = (120, 64, 24)
WOOD_INK = (64, 32, 8)

GOLD_LIGHT = (255, 240, 136)
GOLD = (240, 192, 40)
GOLD_DARK = (184, 128, 16)

GLASS = (200, 232, 248)
GLASS_LIGHT = (240, 252, 255)

# Globe: ocean and land in three light levels each, and the grid of meridians and parallels.
OCEAN = [(20, 56, 152), (36, 96, 200), (72, 144, 232)]
LAND = [(24, 104, 32), (48, 152, 48), (104, 200, 72)]
GRID = [(56, 104, 200), (88, 144, 232), (128, 184, 248)]  # on ocean of the same light level
