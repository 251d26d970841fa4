"""Pixel canvas and point-set shapes from which every image of the program is drawn."""
import math

# Shapes are sets of (x, y) pixels, (0, 0) being the top-left pixel. A shape is built once and
# then painted, outlined or shaded, so that a glyph's outline always follows its exact edge.


def rect(x0, y0, x1, y1):
    """The pixels of the rectangle with corners (x0, y0) and (x1, y1), both included."""
    return {(x, y) for x in range(min(x0, x1), max(x0, x1) + 1) for y in range(min(y0, y1), max(y0, y1) + 1)}


def ellipse(cx, cy, rx, ry):
    """The pixels whose centres lie inside the ellipse around the point (cx, cy).

    Points are continuous coordinates: pixel (x, y) spans x..x+1, so a centre of (12, 12) with an
    even diameter gives a shape symmetric about the middle of a 24-pixel image."""
    pts = set()
    for y in range(math.floor(cy - ry) - 1, math.ceil(cy + ry) + 1):
        for x in range(math.floor(cx - rx) - 1, math.ceil(cx + rx) + 1):
            dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
            if dx * dx + dy * dy <= 1.0:
                pts.add((x, y))
    return pts


def disc(cx, cy, r):
    """The pixels whose centres lie within r of the point (cx, cy) (continuous coordinates)."""
    return ellipse(cx, cy, r, r)


def ring(cx, cy, r_outer, r_inner):
    """A disc of radius r_outer without the disc of radius r_inner."""
    return disc(cx, cy, r_outer) - disc(cx, cy, r_inner)


def polygon(vertices):
    """The pixels whose centres lie inside the polygon (continuous coordinates, even-odd rule)."""
    xs = [v[0] for v in vertices]
    ys = [v[1] for v in vertices]
    pts = set()
    for y in range(math.floor(min(ys)), math.ceil(max(ys)) + 1):
        sy = y + 0.5
        crossings = []
        for (ax, ay), (bx, by) in zip(vertices, vertices[1:] + vertices[:1]):
            if (ay <= sy < by) or (by <= sy < ay):
                crossings.append(ax + (sy - ay) * (bx - ax) / (by - ay))
        crossings.sort()
        for left, right in zip(crossings[0::2], crossings[1::2]):
            for x in range(math.floor(min(xs)), math.ceil(max(xs)) + 1):
                if left <= x + 0.5 < right:
                    pts.add((x, y))
    return pts


def line(x0, y0, x1, y1):
    """The pixels of a one-pixel line from pixel (x0, y0) to pixel (x1, y1) (Bresenham)."""
    pts = set()
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    while True:
        pts.add((x0, y0))
        if (x0, y0) == (x1, y1):
            return pts
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def thick_line(x0, y0, x1, y1, width):
    """The pixels within width / 2 of the segment between the centres of pixels (x0, y0) and (x1, y1)."""
    half = width / 2.0
    pts = set()
    length2 = (x1 - x0) ** 2 + (y1 - y0) ** 2
    for y in range(math.floor(min(y0, y1) - half) - 1, math.ceil(max(y0, y1) + half) + 2):
        for x in range(math.floor(min(x0, x1) - half) - 1, math.ceil(max(x0, x1) + half) + 2):
            t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * (x1 - x0) + (y - y0) * (y1 - y0)) / length2))
            px, py = x0 + t * (x1 - x0), y0 + t * (y1 - y0)
            if (x - px) ** 2 + (y - py) ** 2 <= half * half + 1e-9:
                pts.add((x, y))
    return pts


def polyline(points, width=1):
    """Thick line segments joining the pixels in order."""
    pts = set()
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        pts |= line(ax, ay, bx, by) if width == 1 else thick_line(ax, ay, bx, by, width)
    return pts


def glyph(rows, x, y, mark="#"):
    """The pixels marked with `mark` in a text picture whose top-left character lands on (x, y)."""
    return {(x + i, y + j) for j, row in enumerate(rows) for i, ch in enumerate(row) if ch == mark}


def span(i, scale):
    """The pixels that pixel i of a drawing at scale 1 covers at `scale`: no gaps, no overlaps."""
    return range(math.floor(i * scale), math.floor((i + 1) * scale))


def scaled(points, scale):
    """A pixel shape drawn for scale 1, enlarged block by block (nearest neighbour) to `scale`.

    For pixel art (glyphs, small highlights) that has no continuous form; at scale 1 it is the
    shape itself."""
    return {(x, y) for px, py in points for x in span(px, scale) for y in span(py, scale)}


def scaled_rect(x0, y0, x1, y1, scale):
    """rect(x0, y0, x1, y1) of a drawing at scale 1, enlarged to `scale`."""
    lo_x, lo_y = min(x0, x1), min(y0, y1)
    hi_x, hi_y = max(x0, x1), max(y0, y1)
    return rect(span(lo_x, scale)[0], span(lo_y, scale)[0], span(hi_x, scale)[-1], span(hi_y, scale)[-1])


def shifted(points, dx, dy):
    return {(x + dx, y + dy) for x, y in points}


def neighbours(points, corners=False):
    """The pixels outside the shape that touch it (sideways, or also diagonally with corners)."""
    steps = [(-1, 0), (1, 0), (0, -1), (0, 1)]
    if corners:
        steps += [(-1, -1), (1, -1), (-1, 1), (1, 1)]
    return {(x + dx, y + dy) for x, y in points for dx, dy in steps} - set(points)


def edge(points, dx, dy):
    """The shape's own pixels whose neighbour in direction (dx, dy) lies outside it."""
    return {(x, y) for x, y in points if (x + dx, y + dy) not in points}


def border(points):
    """The shape's own pixels that touch the outside sideways."""
    return edge(points, -1, 0) | edge(points, 1, 0) | edge(points, 0, -1) | edge(points, 0, 1)


class Canvas:
    """A width x height grid of colour tuples; writes outside the grid are dropped."""

    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.pixels = [background] * (width * height)

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = colour

    def paint(self, points, colour):
        for x, y in points:
            self.put(x, y, colour)

    def outline(self, points, colour, corners=False):
        """Paints a one-pixel outline around the shape, outside it."""
        self.paint(neighbours(points, corners), colour)

    def bevel(self, points, light, dark, depth=1):
        """Lights the shape's top and left edge and darkens its bottom and right edge, inside it."""
        inner = set(points)
        for _ in range(depth):
            lit = edge(inner, -1, 0) | edge(inner, 0, -1)
            shaded = edge(inner, 1, 0) | edge(inner, 0, 1)
            if dark is not None:
                self.paint(shaded, dark)
            if light is not None:
                self.paint(lit - shaded, light)
            inner -= lit | shaded

    def ball(self, points, cx, cy, r, colours, light=(-0.55, -0.62, 0.56), levels=(0.3, 0.75)):
        """Shades the shape as a ball of radius r around (cx, cy) lit from `light`: each pixel gets
        colours[0], [1] or [2] as the diffuse light passes the thresholds `levels`."""
        for x, y in points:
            nx, ny = (x + 0.5 - cx) / r, (y + 0.5 - cy) / r
            nz = math.sqrt(max(0.0, 1.0 - nx * nx - ny * ny))
            lit = nx * light[0] + ny * light[1] + nz * light[2]
            self.put(x, y, colours[0 if lit < levels[0] else 1 if lit < levels[1] else 2])

    def picture(self, rows, x, y, colours):
        """Paints a text picture: each character found in `colours` sets its pixel, others are left."""
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch in colours:
                    self.put(x + i, y + j, colours[ch])

    def enlarged(self, scale):
        """A copy enlarged block by block (nearest neighbour) to `scale`."""
        big = Canvas(math.floor(self.width * scale), math.floor(self.height * scale), None)
        for y in range(self.height):
            for x in range(self.width):
                colour = self.get(x, y)
                for by in span(y, scale):
                    for bx in span(x, scale):
                        big.put(bx, by, colour)
        return big

    def paste(self, other, x, y):
        for j in range(other.height):
            for i in range(other.width):
                self.put(x + i, y + j, other.get(i, j))

    def rows(self):
        """The pixels as a list of rows, top row first."""
        return [self.pixels[y * self.width:(y + 1) * self.width] for y in range(self.height)]

    def colours(self):
        """The colours used, in the order they first appear (top row first)."""
        return list(dict.fromkeys(self.pixels))


class Enlarged(Canvas):
    """A view of a canvas through which pixel art drawn for scale 1 lands enlarged to `scale`,
    block by block; at scale 1 it paints exactly what the canvas itself would."""

    def __init__(self, target, scale):
        self.target = target
        self.scale = scale
        self.width = math.ceil(target.width / scale)
        self.height = math.ceil(target.height / scale)

    def get(self, x, y):
        return self.target.get(span(x, self.scale)[0], span(y, self.scale)[0])

    def put(self, x, y, colour):
        for by in span(y, self.scale):
            for bx in span(x, self.scale):
                self.target.put(bx, by, colour)

