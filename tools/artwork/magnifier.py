"""A magnifying glass: a tinted lens showing a given view, a steel rim and a wooden handle."""
import canvas as cv
import palette as pal


def tinted(colour):
    """A colour as seen through the glass: a third of the way to white."""
    return tuple(min(255, v + (255 - v) // 3) for v in colour)


def draw_magnifier(c, lx, ly, lr, view, rim=1, handle_length=3, handle_width=3.2):
    """Draws the lens of radius lr around (lx, ly), showing the pixels of the canvas `view` (the
    size of c) tinted, a rim `rim` pixels wide and a handle pointing to the lower right."""
    lens = cv.disc(lx, ly, lr)
    for x, y in lens:
        if 0 <= x < view.width and 0 <= y < view.height:
            c.put(x, y, tinted(view.get(x, y)))
    gx, gy = round(lx - lr * 0.5), round(ly - lr * 0.5)  # the glint, an L at the lens' upper left
    arm = 2 if lr < 6 else 3
    c.paint({(gx + i, gy) for i in range(arm)} | {(gx, gy + i) for i in range(arm)}, pal.GLASS_LIGHT)

    ring = cv.ring(lx, ly, lr + rim, lr) if rim > 1 else cv.neighbours(lens, corners=True)
    hx, hy = round(lx + (lr + rim) * 0.72), round(ly + (lr + rim) * 0.72)
    handle = cv.thick_line(hx, hy, hx + handle_length, hy + handle_length, handle_width) - lens - ring
    c.paint(handle, pal.WOOD_DARK)
    c.paint(cv.line(hx, hy + 1, hx + handle_length - 1, hy + handle_length) - lens - ring, pal.WOOD)
    c.outline(handle, pal.INK)
    if rim > 1:
        c.paint(ring, pal.STEEL)
        c.bevel(ring, pal.STEEL_LIGHT, pal.STEEL_DARK)
    else:
        c.paint(ring, pal.STEEL_INK)
    c.paint(cv.neighbours(lens | ring) - handle, pal.INK)
