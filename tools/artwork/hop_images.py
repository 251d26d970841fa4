"""The hop table's two row images, 12 x 12 at 100%: a 9 x 9 square in the bottom-left corner of
navy; at 150% and 200% 18 and 24 pixels with a 14 and 18 pixel square, its border one and two
pixels wide."""
import canvas as cv
import palette as pal

SIZE = 12
SQUARE = 9


def hop_image(fill, scale=1):
    """The square has a white border and the given fill (dark green active, maroon ignored)."""
    size, square, border = round(SIZE * scale), round(SQUARE * scale), int(scale)
    c = cv.Canvas(size, size, pal.NAVY)
    c.paint(cv.rect(0, size - square, square - 1, size - 1), pal.WHITE)
    c.paint(cv.rect(border, size - square + border, square - 1 - border, size - 1 - border), fill)
    return c


def hop_active(scale=1):
    return hop_image(pal.DARK_GREEN, scale)


def hop_ignored(scale=1):
    return hop_image(pal.MAROON, scale)
