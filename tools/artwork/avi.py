"""Writer of RIFF AVI files with one video stream of whole 8-bit run-length encoded frames,
the format the common animation control plays."""
import struct

import bmp
import rle8

AVIF_HASINDEX = 0x10
AVIIF_KEYFRAME = 0x10
BI_RLE8 = 1
FRAME_CHUNK = b"00dc"  # stream 0, compressed video


def chunk(fourcc, data):
    """A RIFF chunk, padded to an even length."""
    return fourcc + struct.pack("<I", len(data)) + data + b"\0" * (len(data) % 2)


def riff_list(kind, fourcc, *chunks):
    return chunk(kind, fourcc + b"".join(chunks))


def avi_rle8(frames, microseconds_per_frame):
    """An AVI clip of the canvases, all of one size, sharing one palette of at most 256 colours.

    Every buffer size the file names (avih and strh suggested buffer, biSizeImage) is the largest
    frame, because a player allocates its frame buffer from them."""
    width, height = frames[0].width, frames[0].height
    assert all((f.width, f.height) == (width, height) for f in frames)
    palette = bmp.palette_of(frames)
    encoded = []
    for frame in frames:
        rows = bmp.indexed_rows(frame, palette)
        data = rle8.encode(rows)
        assert rle8.decode(data, width, height) == [list(r) for r in rows]
        encoded.append(data)
    largest = max(len(e) for e in encoded)
    count = len(frames)

    avih = struct.pack("<10I4I", microseconds_per_frame, largest * 1000000 // microseconds_per_frame, 0,
                       AVIF_HASINDEX, count, 0, 1, largest, width, height, 0, 0, 0, 0)
    # The rate is frames per second as dwRate / dwScale: 1000000 / microseconds_per_frame.
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"RLE ", 0, 0, 0, 0, microseconds_per_frame,
                       1000000, 0, count, largest, 0xFFFFFFFF, 0, 0, 0, width, height)
    strf = bmp.info_header(width, height, 8, BI_RLE8, largest, 256) + bmp.colour_table(palette, 256)
    assert len(avih) == 56 and len(strh) == 56
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih),
                     riff_list(b"LIST", b"strl", chunk(b"strh", strh), chunk(b"strf", strf)))

    movi_chunks, index, offset = [], [], 4  # index offsets count from the 'movi' type code
    for data in encoded:
        movi_chunks.append(chunk(FRAME_CHUNK, data))
        index.append(struct.pack("<4sIII", FRAME_CHUNK, AVIIF_KEYFRAME, offset, len(data)))
        offset += len(movi_chunks[-1])
    movi = riff_list(b"LIST", b"movi", *movi_chunks)
    idx1 = chunk(b"idx1", b"".join(index))
    return riff_list(b"RIFF", b"AVI ", hdrl, movi, idx1), encoded
