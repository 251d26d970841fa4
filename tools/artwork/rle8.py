"""Run-length encoding of 8-bit bitmaps (BI_RLE8) and a decoder that checks what was written."""

END_OF_LINE = b"\0\0"
END_OF_BITMAP = b"\0\1"
MIN_RUN = 3  # shorter repeats stay inside a literal stretch, which is no longer


def _literal(values):
    out = bytearray()
    while values:
        part, values = values[:255], values[255:]
        if len(part) >= 3:  # absolute mode: 0, count, the values, padded to a 16-bit boundary
            out += bytes((0, len(part))) + bytes(part) + b"\0" * (len(part) % 2)
        else:  # absolute mode needs at least 3 values; single values go as runs of one
            for v in part:
                out += bytes((1, v))
    return out


def encode_row(row):
    """One row of palette indices as runs and literal stretches, without an end code."""
    out = bytearray()
    pending = []
    i = 0
    while i < len(row):
        run = 1
        while i + run < len(row) and row[i + run] == row[i] and run < 255:
            run += 1
        if run >= MIN_RUN:
            out += _literal(pending)
            pending = []
            out += bytes((run, row[i]))
        else:
            pending += row[i:i + run]
        i += run
    out += _literal(pending)
    return bytes(out)


def encode(rows):
    """A whole frame (rows bottom-up as bitmaps store them): every row ends with end-of-line but
    the last, which ends with end-of-bitmap, so the frame never depends on the one before it."""
    parts = []
    for n, row in enumerate(rows):
        parts.append(encode_row(row) + (END_OF_BITMAP if n == len(rows) - 1 else END_OF_LINE))
    return b"".join(parts)


def decode(data, width, height):
    """The rows (bottom-up) of a frame written by encode; raises AssertionError on anything else
    (deltas, rows of the wrong length, data after the end-of-bitmap code, a missing end code)."""
    rows, row, i = [], [], 0
    while True:
        assert i + 2 <= len(data), "frame ends without end-of-bitmap"
        count, value = data[i], data[i + 1]
        i += 2
        if count > 0:
            row += [value] * count
        elif value == 0 or value == 1:
            assert len(row) == width, "row %d has %d pixels" % (len(rows), len(row))
            rows.append(row)
            row = []
            if value == 1:
                break
        else:
            assert value != 2, "delta codes are not written"
            row += list(data[i:i + value])
            i += value + value % 2
    assert i == len(data), "%d bytes after end-of-bitmap" % (len(data) - i)
    assert len(rows) == height, "%d rows instead of %d" % (len(rows), height)
    assert data[-2:] == END_OF_BITMAP
    return rows


# Rows that cross the encoder's limits, each with what it exercises; make_artwork checks them all.
SELF_CHECK_ROWS = [
    [7] * 600,  # runs longer than one code can hold
    list(range(256)) * 2,  # literal stretches longer than 255 values
    [1, 2],  # too short for absolute mode
    [1, 2, 3],  # the shortest absolute stretch, odd length, padded
    [5, 5, 1, 2, 2, 9, 9, 9, 3],  # short repeats kept inside a literal, then a run
    [4],  # a single pixel
]


def self_check():
    for row in SELF_CHECK_ROWS:
        assert decode(encode([row, row]), len(row), 2) == [row, row], "RLE round trip of %r..." % row[:4]
