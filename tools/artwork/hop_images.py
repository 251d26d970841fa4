"""The hop table's two 12 x 12 row images: a 9 x 9 square in the bottom-left corner of navy."""
import canvas as cv
import palette as pal

SIZE = 12
SQUARE = 9


def hop_image(fill):
    """The square has a one-pixel white border and the given fill (dark green active, maroon ignored)."""
    c = cv.Canvas(SIZE, SIZE, pal.NAVY)
    square = cv.rect(0, SIZE - SQUARE, SQUARE - 1, SIZE - 1)
    c.paint(square, pal.WHITE)
    c.paint(cv.rect(1, SIZE - SQUARE + 1, SQUARE - 2, SIZE - 2), fill)
    return c


def hop_active():
    return hop_image(pal.DARK_GREEN)


def hop_ignored():
    return hop_image(pal.MAROON)
