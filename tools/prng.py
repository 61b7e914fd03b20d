"""A tiny seeded generator, so the demo's music and pictures never depend on a library's random."""


class Prng:
    """32-bit xorshift; the same seed gives the same sequence on every machine."""

    def __init__(self, seed):
        self.state = (seed * 2654435761 + 0x9E3779B9) & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def below(self, n):
        """An integer in 0..n-1."""
        return self.next() % n

    def choice(self, items):
        return items[self.below(len(items))]

    def unit(self):
        """A float in [0, 1)."""
        return self.next() / 4294967296.0

    def chance(self, percent):
        return self.below(100) < percent
