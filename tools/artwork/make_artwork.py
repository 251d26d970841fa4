#!/usr/bin/env python3
"""Writes the program's artwork (bitmaps, icon, sound, animation) into the folder given as the only argument.

Every image is drawn by the modules beside this one; the output is the same bytes on every run.
Each file is checked against the format its loader expects before it is written."""
import os
import struct
import sys

sys.dont_write_bytecode = True  # keep the source folder free of caches

import app_icon
import avi
import banner
import bmp
import click_sound
import hop_images
import ico
import palette as pal
import rle8
import toolbar
import wav
import whois_clip


def bitmap_header(data):
    """(width, height, bits per pixel, colours in the table) of a bitmap file."""
    assert data[:2] == b"BM" and struct.unpack_from("<I", data, 2)[0] == len(data)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    return width, height, bits, struct.unpack_from("<I", data, 46)[0]


# The scales drawn beside 100% (file name suffix, scale): the program picks the size it needs.
SCALES = [("_150", 1.5), ("_200", 2)]


def check_toolbar(data, size):
    width, height, bits, colours = bitmap_header(data)
    assert (width, height, bits) == (size * len(toolbar.ORDER), size, 8)
    # The toolbar turns the light gray of the colour table into the button face: it must be there,
    # and it must be the background of every button image.
    table = [tuple(data[54 + 4 * i:57 + 4 * i][::-1]) for i in range(colours)]
    assert table[0] == pal.BUTTON_FACE
    offset = struct.unpack_from("<I", data, 10)[0]
    for n in range(len(toolbar.ORDER)):
        assert data[offset + n * size] == 0, "image %d: bottom-left pixel is not button face" % n


def check_hop_image(data, fill):
    assert bitmap_header(data)[:3] == (hop_images.SIZE, hop_images.SIZE, 24)
    offset = struct.unpack_from("<I", data, 10)[0]
    stride = (hop_images.SIZE * 3 + 3) & ~3

    def pixel(x, y):  # y counted from the top
        at = offset + (hop_images.SIZE - 1 - y) * stride + 3 * x
        return tuple(data[at:at + 3][::-1])

    for y in range(hop_images.SIZE):
        for x in range(hop_images.SIZE):
            top = hop_images.SIZE - hop_images.SQUARE
            inside = x < hop_images.SQUARE and y >= top
            border = inside and (x in (0, hop_images.SQUARE - 1) or y in (top, hop_images.SIZE - 1))
            want = pal.WHITE if border else fill if inside else pal.NAVY
            assert pixel(x, y) == want, "hop image pixel (%d, %d)" % (x, y)


def check_scaled_hop_image(data, size, fill):
    """At 150% and 200%: the size, the square's white corner and fill, navy beside it."""
    assert bitmap_header(data)[:3] == (size, size, 24)
    offset = struct.unpack_from("<I", data, 10)[0]
    stride = (size * 3 + 3) & ~3

    def pixel(x, y):  # y counted from the top
        at = offset + (size - 1 - y) * stride + 3 * x
        return tuple(data[at:at + 3][::-1])

    square = round(hop_images.SQUARE * size / hop_images.SIZE)
    assert pixel(0, size - 1) == pixel(square - 1, size - square) == pal.WHITE
    assert pixel(square // 2, size - 1 - square // 2) == fill
    assert pixel(size - 1, 0) == pixel(square, size - 1) == pixel(0, size - 1 - square) == pal.NAVY


def check_icon(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind, count) == (0, 1, len(app_icon.SIZES))
    sizes = []
    for n in range(count):
        w, h, _, _, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        size = w or 256
        if size == 256:  # PNG, 8-bit RGBA, the size in its header
            assert data[offset:offset + 8] == b"\x89PNG\r\n\x1a\n" and (planes, bits) == (1, 32)
            assert struct.unpack_from(">IIBB", data, offset + 16) == (256, 256, 8, 6)
            sizes.append(size)
            continue
        header = struct.unpack_from("<IiiHH", data, offset)
        assert header == (40, size, size * 2, 1, 32) and (planes, bits) == (1, 32)
        assert length == 40 + size * size * 4 + ((size + 31) // 32) * 4 * size
        assert offset + length <= len(data)
        sizes.append(size)
    assert sorted(sizes) == app_icon.SIZES


def check_sound(data):
    assert data[:4] == b"RIFF" and data[8:12] == b"WAVE" and struct.unpack_from("<I", data, 4)[0] == len(data) - 8
    fmt = struct.unpack_from("<HHIIHH", data, 20)
    assert fmt == (1, 1, 22050, 44100, 2, 16), fmt
    length = struct.unpack_from("<I", data, 40)[0]
    samples = struct.unpack_from("<%dh" % (length // 2), data, 44)
    assert 0.15 <= len(samples) / 22050 <= 0.3
    assert samples[0] == 0 and samples[-1] == 0 and max(abs(s) for s in samples) < 32767
    # A gentle envelope: no step larger than the tone itself makes near either end.
    assert all(abs(s) < 2000 for s in samples[:20] + samples[-20:])


def check_clip(data, encoded):
    assert data[:4] == b"RIFF" and data[8:12] == b"AVI " and struct.unpack_from("<I", data, 4)[0] == len(data) - 8
    assert len(encoded) == whois_clip.FRAMES
    rle8.self_check()
    for frame in encoded:
        assert frame.endswith(rle8.END_OF_BITMAP)
        rle8.decode(frame, whois_clip.SIZE, whois_clip.SIZE)
    avih = data.index(b"avih") + 8
    us, _, _, flags, frames, _, streams, buffer, width, height = struct.unpack_from("<10I", data, avih)
    assert (us, frames, streams, width, height) == (whois_clip.MICROSECONDS_PER_FRAME, whois_clip.FRAMES, 1,
                                                    whois_clip.SIZE, whois_clip.SIZE)
    assert flags & avi.AVIF_HASINDEX and buffer >= max(len(e) for e in encoded)
    strh = data.index(b"strh") + 8
    assert data[strh:strh + 8] == b"vidsRLE "
    strf = data.index(b"strf") + 8
    _, w, h, _, bits, compression, image_size = struct.unpack_from("<IiiHHII", data, strf)
    assert (w, h, bits, compression) == (whois_clip.SIZE, whois_clip.SIZE, 8, avi.BI_RLE8)
    assert image_size >= max(len(e) for e in encoded)
    assert data.count(avi.FRAME_CHUNK) == 2 * whois_clip.FRAMES  # one chunk and one index entry each
    assert b"idx1" in data


def artwork():
    """The files by name, each checked."""
    files = {}
    files["toolbar.bmp"] = bmp.bmp8(toolbar.toolbar(), first=[pal.BUTTON_FACE])
    check_toolbar(files["toolbar.bmp"], toolbar.SIZE)

    files["banner.bmp"] = bmp.bmp24(banner.banner())
    assert bitmap_header(files["banner.bmp"])[:2] == (banner.WIDTH, banner.HEIGHT) == (160, 30)

    files["hop_active.bmp"] = bmp.bmp24(hop_images.hop_active())
    files["hop_ignored.bmp"] = bmp.bmp24(hop_images.hop_ignored())
    check_hop_image(files["hop_active.bmp"], pal.DARK_GREEN)
    check_hop_image(files["hop_ignored.bmp"], pal.MAROON)

    for suffix, scale in SCALES:
        size = round(toolbar.SIZE * scale)
        files["toolbar%s.bmp" % suffix] = bmp.bmp8(toolbar.toolbar(scale), first=[pal.BUTTON_FACE])
        check_toolbar(files["toolbar%s.bmp" % suffix], size)
        files["banner%s.bmp" % suffix] = bmp.bmp24(banner.banner(scale))
        assert bitmap_header(files["banner%s.bmp" % suffix])[:2] == (160 * scale, 30 * scale)
        size = round(hop_images.SIZE * scale)
        files["hop_active%s.bmp" % suffix] = bmp.bmp24(hop_images.hop_active(scale))
        files["hop_ignored%s.bmp" % suffix] = bmp.bmp24(hop_images.hop_ignored(scale))
        check_scaled_hop_image(files["hop_active%s.bmp" % suffix], size, pal.DARK_GREEN)
        check_scaled_hop_image(files["hop_ignored%s.bmp" % suffix], size, pal.MAROON)

    # 32 and 16 first, as the file has always begun.
    files["routelark.ico"] = ico.ico([app_icon.app_icon(s) for s in [32, 16, 24, 48, 256]])
    check_icon(files["routelark.ico"])

    files["banner_click.wav"] = wav.wav_mono16(click_sound.click_samples(), click_sound.RATE)
    check_sound(files["banner_click.wav"])

    files["whois.avi"], encoded = avi.avi_rle8(whois_clip.whois_frames(), whois_clip.MICROSECONDS_PER_FRAME)
    check_clip(files["whois.avi"], encoded)
    return files


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_artwork.py OUTPUT_FOLDER")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, data in artwork().items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
