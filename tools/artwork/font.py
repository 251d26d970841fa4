"""Pixel fonts of the artwork: a bold display face for the Starlane banner, a tiny 3 x 5 face and a
bold 5 x 7 face for the same words at 150%."""
import canvas as cv

# Display face: capitals 12 pixels high, small letters 9 (t and l rise to 12). Every glyph sits on
# the baseline; "#" marks a pixel. Strokes are two pixels wide so the letters survive an outline.
DISPLAY = {
    "S": [
        "..######.",
        ".########",
        "###....##",
        "###......",
        "#######..",
        ".#######.",
        "..#######",
        "......###",
        "......###",
        "##....###",
        "########.",
        ".######..",
    ],
    "t": [
        ".###..",
        ".###..",
        ".###..",
        "######",
        "######",
        ".###..",
        ".###..",
        ".###..",
        ".###..",
        ".###..",
        ".#####",
        "..####",
    ],
    "a": [
        ".######.",
        ".#######",
        ".....###",
        ".#######",
        "########",
        "###..###",
        "###..###",
        "########",
        ".###.###",
    ],
    "r": [
        "###.###",
        "#######",
        "####..#",
        "###....",
        "###....",
        "###....",
        "###....",
        "###....",
        "###....",
    ],
    "l": [
        "###.",
        "###.",
        "###.",
        "###.",
        "###.",
        "###.",
        "###.",
        "###.",
        "###.",
        "###.",
        "####",
        ".###",
    ],
    "n": [
        "###.###.",
        "########",
        "####.###",
        "###..###",
        "###..###",
        "###..###",
        "###..###",
        "###..###",
        "###..###",
    ],
    "e": [
        ".######.",
        "########",
        "###..###",
        "########",
        "########",
        "###.....",
        "###...##",
        "########",
        ".######.",
    ],
}

# Tiny face for the word on the stop sign.
TINY = {
    "S": ["###", "#..", "###", "..#", "###"],
    "T": ["###", ".#.", ".#.", ".#.", ".#."],
    "O": ["###", "#.#", "#.#", "#.#", "###"],
    "P": ["###", "#.#", "###", "#..", "#.."],
}

# Bold face for the stop sign at 150%: upright strokes two pixels wide, as TINY doubled at 200%.
SMALL_BOLD = {
    "S": [".####", "##...", "##...", ".###.", "...##", "...##", "####."],
    "T": ["######", "..##..", "..##..", "..##..", "..##..", "..##..", "..##.."],
    "O": [".###.", "##.##", "##.##", "##.##", "##.##", "##.##", ".###."],
    "P": ["####.", "##.##", "##.##", "####.", "##...", "##...", "##..."],
}


def text_width(face, text, spacing=1):
    return sum(len(face[ch][0]) for ch in text) + spacing * (len(text) - 1)


def text(face, string, x, baseline, spacing=1):
    """The pixels of the string with its first glyph's left edge at x and its bottom row on `baseline`."""
    pts = set()
    for ch in string:
        rows = face[ch]
        assert all(len(r) == len(rows[0]) for r in rows), "ragged glyph %r" % ch
        pts |= cv.glyph(rows, x, baseline - len(rows) + 1)
        x += len(rows[0]) + spacing
    return pts
