"""Deterministic pseudo-random numbers and tileable value noise (no dependence on the
interpreter's own generator, so the output never changes between Python versions)."""

import math


class Random:
    """32-bit xorshift generator."""

    def __init__(self, seed):
        self._state = (seed * 2654435761 + 12345) & 0xFFFFFFFF or 1

    def next_u32(self):
        x = self._state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self._state = x
        return x

    def uniform(self, low=0.0, high=1.0):
        return low + (high - low) * (self.next_u32() / 4294967296.0)

    def signed(self):
        return self.uniform(-1.0, 1.0)


def hash01(x, y, seed):
    """A fixed pseudo-random value in [0, 1) for an integer lattice point."""
    h = (x * 374761393 + y * 668265263 + seed * 1442695041) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    h ^= h >> 16
    return h / 4294967296.0


def _smooth(t):
    return t * t * (3.0 - 2.0 * t)


def value_noise(x, y, period, seed):
    """Smooth noise in [0, 1) repeating every `period` lattice cells."""
    ix, iy = int(math.floor(x)), int(math.floor(y))
    fx, fy = _smooth(x - ix), _smooth(y - iy)
    x0, x1 = ix % period, (ix + 1) % period
    y0, y1 = iy % period, (iy + 1) % period
    a = hash01(x0, y0, seed) + (hash01(x1, y0, seed) - hash01(x0, y0, seed)) * fx
    b = hash01(x0, y1, seed) + (hash01(x1, y1, seed) - hash01(x0, y1, seed)) * fx
    return a + (b - a) * fy


def fractal(u, v, base_period, octaves, seed):
    """Tileable fractal noise of a point in the unit square, about [0, 1)."""
    total = 0.0
    weight = 0.5
    norm = 0.0
    period = base_period
    for octave in range(octaves):
        total += weight * value_noise(u * period, v * period, period, seed + octave)
        norm += weight
        weight *= 0.5
        period *= 2
    return total / norm
