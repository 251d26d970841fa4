#!/usr/bin/env python3
"""Writes the program's artwork into the folder given as the only argument (placeholder shapes)."""
import struct, sys, os, math

def bmp24(w, h, pixel):
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(w):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += b"\0" * (row - w * 3)
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data

def ico(sizes):
    images = []
    for s in sizes:
        row = s * 4
        xor = bytearray()
        for y in range(s - 1, -1, -1):
            for x in range(s):
                inside = 1 <= x < s - 1 and 1 <= y < s - 1
                xor += bytes((128, 0, 0, 255)) if inside else bytes((255, 255, 255, 255))
        mask_row = ((s + 31) // 32) * 4
        andmask = b"\0" * (mask_row * s)
        info = struct.pack("<IiiHHIIiiII", 40, s, s * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
        images.append(info + bytes(xor) + andmask)
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    return out + b"".join(images)

def wav():
    rate, n = 22050, 2205
    samples = b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * 880 * i / rate) * (1 - i / n))) for i in range(n))
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", len(samples)) + samples
    return b"RIFF" + struct.pack("<I", len(body)) + body

def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "toolbar.bmp": bmp24(7 * 24, 24, lambda x, y: (192, 192, 192) if (x % 24) in (0, 23) else (0, 64 * (x // 24 % 4), 128)),
        "banner.bmp": bmp24(160, 30, lambda x, y: (0, 0, 64 + x // 2)),
        "hop_active.bmp": bmp24(12, 12, lambda x, y: (0, 128, 0) if 1 <= x <= 8 and 3 <= y <= 10 else (0, 0, 128)),
        "hop_ignored.bmp": bmp24(12, 12, lambda x, y: (128, 0, 0) if 1 <= x <= 8 and 3 <= y <= 10 else (0, 0, 128)),
        "routelark.ico": ico([16, 32]),
        "banner_click.wav": wav(),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)

if __name__ == "__main__":
    main()
