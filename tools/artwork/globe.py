"""A shaded globe with continents and a grid, turned by a given longitude, drawn into a canvas."""
import math

import canvas as cv
import palette as pal

# Continents as overlapping round patches: (latitude, longitude, angular radius), in degrees.
CONTINENTS = [
    (52, -105, 20), (38, -92, 14), (62, -140, 10), (20, -100, 8), (70, -45, 9),  # North America, Greenland
    (-8, -60, 15), (-28, -64, 10), (-45, -70, 6),  # South America
    (50, 15, 10), (60, 35, 11), (10, 20, 17), (-12, 26, 14), (-28, 24, 8),  # Europe, Africa
    (52, 80, 22), (38, 105, 18), (62, 120, 16), (22, 78, 9), (15, 102, 7),  # Asia
    (-25, 134, 12), (-6, 140, 4),  # Australia
]
LIGHT = (-0.55, -0.62, 0.56)  # from the upper left, towards the viewer


def _angular_distance(lat1, lon1, lat2, lon2):
    a, b = math.radians(lat1), math.radians(lat2)
    d = math.sin(a) * math.sin(b) + math.cos(a) * math.cos(b) * math.cos(math.radians(lon1 - lon2))
    return math.degrees(math.acos(max(-1.0, min(1.0, d))))


def is_land(lat, lon):
    return any(_angular_distance(lat, lon, la, lo) < r for la, lo, r in CONTINENTS)


def draw_globe(canvas, cx, cy, r, turn=0.0, grid_step=30, grid=True, levels=(0.35, 0.75)):
    """Paints the globe of radius r around (cx, cy) and returns its pixels.

    `turn` is the longitude in the middle of the face. Each pixel takes one of three light levels
    (thresholds `levels` on the diffuse light), which keeps the globe crisp. Grid lines follow
    parallels and meridians every `grid_step` degrees, one pixel wide at the middle of the face."""
    pts = cv.disc(cx, cy, r)
    width = 0.55 / r  # half a pixel, in units of the radius
    for x, y in pts:
        nx, ny = (x + 0.5 - cx) / r, (y + 0.5 - cy) / r
        nz = math.sqrt(max(0.0, 1.0 - nx * nx - ny * ny))
        lat = math.degrees(math.asin(max(-1.0, min(1.0, -ny))))
        lon = math.degrees(math.atan2(nx, nz)) + turn
        light = nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2]
        level = 0 if light < levels[0] else 1 if light < levels[1] else 2
        colour = (pal.LAND if is_land(lat, lon) else pal.OCEAN)[level]
        if grid:
            # Distance to the nearest parallel and meridian, measured on the face in radius units.
            lat_off = abs(math.radians((lat + grid_step / 2) % grid_step - grid_step / 2))
            lon_off = abs(math.radians((lon + grid_step / 2) % grid_step - grid_step / 2))
            on_parallel = lat_off * max(nz, 0.35) < width
            on_meridian = lon_off * math.cos(math.radians(lat)) * max(nz, 0.2) < width
            if (on_parallel or on_meridian) and colour in pal.OCEAN:
                colour = pal.GRID[level]
        canvas.put(x, y, colour)
    return pts
