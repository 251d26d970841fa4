"""The banner's click: a short bright chime, 16-bit mono at 22050 Hz."""
import math

RATE = 22050
LENGTH = 0.2  # seconds
ATTACK = 0.003
RELEASE = 0.03
PEAK = 0.45  # of full scale, leaves room for the partials adding up
# Partials: (frequency in Hz, relative level, decay time constant in seconds).
PARTIALS = [(1568.0, 1.0, 0.06), (2349.3, 0.5, 0.04), (3136.0, 0.25, 0.025), (4700.0, 0.12, 0.012)]


def envelope(t):
    """0 at both ends: a raised-cosine rise over ATTACK and fall over the last RELEASE seconds."""
    if t < ATTACK:
        return 0.5 - 0.5 * math.cos(math.pi * t / ATTACK)
    if t > LENGTH - RELEASE:
        return 0.5 + 0.5 * math.cos(math.pi * (t - (LENGTH - RELEASE)) / RELEASE)
    return 1.0


def click_samples():
    count = round(RATE * LENGTH)
    total = sum(level for _, level, _ in PARTIALS)
    samples = []
    for i in range(count):
        t = i / RATE
        v = sum(level * math.exp(-t / decay) * math.sin(2 * math.pi * f * t) for f, level, decay in PARTIALS)
        samples.append(round(32767 * PEAK * envelope(t) * v / total))
    samples[-1] = 0
    return samples
