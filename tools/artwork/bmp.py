"""Writers of Windows bitmap files: 24-bit true colour and 8-bit with a colour table."""
import struct

FILE_HEADER_SIZE = 14
INFO_HEADER_SIZE = 40
PIXELS_PER_METRE = 2835  # 72 dpi


def info_header(width, height, bits, compression=0, image_size=0, colours_used=0):
    """A BITMAPINFOHEADER; a positive height means the rows are stored bottom-up."""
    return struct.pack("<IiiHHIIiiII", INFO_HEADER_SIZE, width, height, 1, bits, compression,
                       image_size, PIXELS_PER_METRE, PIXELS_PER_METRE, colours_used, colours_used)


def colour_table(palette, length=None):
    """RGBQUAD entries (blue, green, red, 0), padded with black up to `length` entries."""
    entries = list(palette) + [(0, 0, 0)] * ((length or len(palette)) - len(palette))
    return b"".join(bytes((b, g, r, 0)) for r, g, b in entries)


def palette_of(canvases, first=()):
    """The colours of the canvases as one palette, `first` leading, then in order of appearance."""
    palette = list(dict.fromkeys(list(first) + [c for canvas in canvases for c in canvas.colours()]))
    assert len(palette) <= 256, "more than 256 colours: %d" % len(palette)
    return palette


def indexed_rows(canvas, palette):
    """The canvas as rows of palette indices, bottom row first as bitmaps store them."""
    index = {colour: i for i, colour in enumerate(palette)}
    return [bytes(index[c] for c in row) for row in reversed(canvas.rows())]


def _file(info, table, data):
    offset = FILE_HEADER_SIZE + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return header + info + table + data


def _pad(row):
    return row + b"\0" * (-len(row) % 4)


def bmp24(canvas):
    """A 24-bit bitmap file of the canvas (colours are (r, g, b) tuples)."""
    data = b"".join(_pad(b"".join(bytes((b, g, r)) for r, g, b in row)) for row in reversed(canvas.rows()))
    assert len(data) == ((canvas.width * 3 + 3) & ~3) * canvas.height
    return _file(info_header(canvas.width, canvas.height, 24, image_size=len(data)), b"", data)


def bmp8(canvas, first=()):
    """An 8-bit bitmap file with a colour table of the canvas's colours, `first` at the lowest indices."""
    palette = palette_of([canvas], first)
    data = b"".join(_pad(row) for row in indexed_rows(canvas, palette))
    info = info_header(canvas.width, canvas.height, 8, image_size=len(data), colours_used=len(palette))
    return _file(info, colour_table(palette), data)
