"""Writer of Windows icon files holding 32-bit images with alpha and their AND masks."""
import struct

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


def ico(canvases):
    """An icon file with one 32-bit image per canvas, in the order given."""
    images = [icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        size = canvas.width
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)
