"""Writer of Windows icon files holding 32-bit images with alpha and their AND masks, and the
256-pixel image as PNG, as icons since Windows Vista hold it."""
import struct
import zlib

import bmp


def icon_image(canvas):
    """One icon image: header (double height: colour bitmap plus mask), BGRA rows, AND mask rows.

    Colours are (r, g, b, a) tuples. A fully transparent pixel is set in the AND mask and black in
    the colour bitmap, so that systems without alpha blending show the screen through it."""
    size = canvas.width
    assert canvas.height == size
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(canvas.rows()):
        bits = 0
        for x, (r, g, b, a) in enumerate(row):
            if a == 0:
                xor += b"\0\0\0\0"
                bits |= 1 << (mask_stride * 8 - 1 - x)  # leftmost pixel in the top bit
            else:
                xor += bytes((b, g, r, a))
        mask += bits.to_bytes(mask_stride, "big")
    assert len(xor) == size * size * 4 and len(mask) == mask_stride * size
    info = bmp.info_header(size, size * 2, 32, image_size=len(xor) + len(mask))
    return info + bytes(xor) + bytes(mask)


def png(canvas):
    """A PNG file of the canvas: 8-bit RGBA, no filter, the same bytes on every run."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in canvas.rows())
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico(canvases):
    """An icon file with one image per canvas, in the order given: 32-bit bitmaps, PNG at 256."""
    images = [png(c) if c.width == 256 else icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        size = canvas.width
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)
