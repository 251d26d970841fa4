"""Writer of PCM wave files, 16-bit mono."""
import struct


def wav_mono16(samples, rate):
    """A RIFF WAVE file of the samples, integers in -32768..32767."""
    assert all(-32768 <= s <= 32767 for s in samples)
    data = struct.pack("<%dh" % len(samples), *samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)  # PCM, mono, 2 bytes per frame
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    if len(data) % 2:
        body += b"\0"
    return b"RIFF" + struct.pack("<I", len(body)) + body
