"""Procedural textures: floors, hulls, rock, track and particle sprites."""

import math

from . import bmp
from .noise import fractal, hash01


def gradient(stops, count=256):
    """A palette blending between (position, (r, g, b)) stops, position 0..1."""
    palette = []
    for i in range(count):
        t = i / float(count - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                k = (t - p0) / (p1 - p0) if p1 > p0 else 0.0
                palette.append(tuple(int(round(a + (b - a) * k)) for a, b in zip(c0, c1)))
                break
    return palette


def _clamp01(value):
    return 0.0 if value < 0.0 else 1.0 if value > 1.0 else value


def _index(value):
    return int(_clamp01(value) * 255.0 + 0.5)


def _scalar_rows(size, shade):
    return [[shade(x / float(size), y / float(size)) for x in range(size)] for y in range(size)]


def panel_floor(size, colours, seed, tiles=4):
    """Metal deck plates with seams and rivets (8-bit)."""
    def shade(u, v):
        grain = fractal(u, v, 8, 3, seed)
        tu, tv = (u * tiles) % 1.0, (v * tiles) % 1.0
        edge = min(tu, 1.0 - tu, tv, 1.0 - tv)
        value = 0.45 + 0.35 * grain
        if edge < 0.025:
            value = 0.12
        elif edge < 0.05:
            value += 0.25
        for cu, cv in ((0.1, 0.1), (0.9, 0.1), (0.1, 0.9), (0.9, 0.9)):
            if (tu - cu) ** 2 + (tv - cv) ** 2 < 0.0012:
                value = 0.95
        return _index(value)
    return bmp.palettised(_scalar_rows(size, shade), gradient(colours))


def rock(size, colours, seed, banding=0.0):
    """Sand and rock: layered noise with optional strata (8-bit)."""
    def shade(u, v):
        value = fractal(u, v, 4, 5, seed)
        if banding:
            value = 0.6 * value + 0.4 * (0.5 + 0.5 * math.sin(2 * math.pi * (v * banding + value)))
        return _index(value * 1.2 - 0.1)
    return bmp.palettised(_scalar_rows(size, shade), gradient(colours))


def starfield(size, seed):
    """Dark space with a faint nebula and scattered stars (8-bit)."""
    colours = [(0.0, (4, 2, 12)), (0.5, (40, 14, 70)), (0.8, (120, 60, 150)), (1.0, (255, 255, 255))]
    def shade(u, v):
        x, y = int(u * size), int(v * size)
        if hash01(x, y, seed) > 0.996:
            return 255
        return _index(0.75 * fractal(u, v, 3, 5, seed + 7) ** 2)
    return bmp.palettised(_scalar_rows(size, shade), gradient(colours))


def hull(size, seed):
    """Light grey hull plating with panel lines, tinted by the material colour (24-bit)."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            u, v = x / float(size), y / float(size)
            value = 0.78 + 0.15 * fractal(u, v, 8, 2, seed)
            if (x % 32) in (0, 1) or (y % 16) == 0:
                value *= 0.55
            if 40 <= y < 48:
                value = 1.0
            level = int(_clamp01(value) * 255)
            row.append((level, level, min(255, level + 8)))
        rows.append(row)
    return bmp.true_colour(rows)


def track(size, colour):
    """Glowing lane with chevrons along v (24-bit, size wide and twice as long)."""
    rows = []
    for y in range(size * 2):
        row = []
        for x in range(size):
            u, v = x / float(size), y / float(size * 2)
            centre = abs(u - 0.5)
            chevron = ((v * 4.0 + centre * 1.5) % 1.0) < 0.3
            glow = 0.25 + (0.75 if chevron and centre < 0.35 else 0.0)
            if centre > 0.42:
                glow = 1.0
            row.append(tuple(int(_clamp01(glow * c / 255.0) * 255) for c in colour))
        rows.append(row)
    return bmp.true_colour(rows)


def sprite(size, kind):
    """Particle sprites, white on black for additive drawing (24-bit)."""
    rows = []
    half = size / 2.0
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = (x + 0.5 - half) / half, (y + 0.5 - half) / half
            r = math.sqrt(dx * dx + dy * dy)
            if kind == 'glow':
                value = _clamp01(1.0 - r) ** 2
            elif kind == 'spark':
                rays = max(_clamp01(1.0 - abs(dx) * 8.0) * _clamp01(1.0 - abs(dy)),
                           _clamp01(1.0 - abs(dy) * 8.0) * _clamp01(1.0 - abs(dx)))
                value = max(rays, _clamp01(1.0 - r * 2.5))
            else:  # smoke
                value = _clamp01(1.0 - r) * (0.55 + 0.45 * fractal(x / float(size), y / float(size), 4, 3, 5))
            level = int(_clamp01(value) * 255)
            row.append((level, level, level))
        rows.append(row)
    return bmp.true_colour(rows)
