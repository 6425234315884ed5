"""Ship and bullet shapes. Ships point their nose along -y (the way they face with no
rotation) and sit on z = 0, the height of the path."""

from dataclasses import dataclass

from . import mesh as geo
from .mesh import Material


@dataclass
class Livery:
    """The colours of one ship."""
    name: str
    hull: tuple
    trim: tuple
    glow: tuple


def _ring(y, width, height, z=0.0):
    """A six-sided section across the hull at y."""
    return [(width, y, z), (width * 0.5, y, z + height), (-width * 0.5, y, z + height),
            (-width, y, z), (-width * 0.5, y, z - height * 0.6), (width * 0.5, y, z - height * 0.6)]


def _materials(livery, hull_texture):
    hull = Material(livery.name + '_hull', livery.hull, 0.35, 0.9, 0.5, 0.6, hull_texture, (2.0, 2.0))
    trim = Material(livery.name + '_trim', livery.trim, 0.35, 0.9, 0.6, 0.7)
    glass = Material('glass', (0.25, 0.55, 0.95), 0.3, 0.8, 0.9, 0.9)
    glow = Material(livery.name + '_glow', livery.glow, 0.8, 1.0, 0.2, 0.2,
                    emissive=tuple(c * 0.7 for c in livery.glow))
    return hull, trim, glass, glow


def _fin(model, x, y0, y1, z0, z1, material):
    """A thin vertical tail fin in the y-z plane."""
    outline = [(y0, z0), (y1, z0), (y1, z1), (y1 - 0.12, z1)]
    rings = [[(x + dx, y, z) for y, z in outline] for dx in (-0.02, 0.02)]
    geo.add_hull(model, rings, material)


def arrow(livery, hull_texture, size=1.0):
    """A slim dart: pointed hull, swept wings, one fin, twin engines."""
    hull, trim, glass, glow = _materials(livery, hull_texture)
    model = geo.Mesh('Ship' + livery.name)
    geo.add_hull(model, [_ring(-0.75, 0.02, 0.02), _ring(-0.35, 0.14, 0.12), _ring(0.1, 0.2, 0.17),
                         _ring(0.5, 0.16, 0.12)], hull)
    geo.add_hull(model, [_ring(-0.3, 0.04, 0.03, 0.1), _ring(-0.12, 0.1, 0.1, 0.1),
                         _ring(0.12, 0.06, 0.05, 0.12)], glass)
    for side in (1, -1):
        wing = [(side * 0.12, -0.15), (side * 0.62, 0.42), (side * 0.55, 0.52), (side * 0.12, 0.4)]
        geo.add_prism(model, wing, -0.03, 0.03, trim)
        geo.add_cylinder(model, (side * 0.2, 0.48, 0.0), 'y', 0.08, 0.3, 8, trim)
        geo.add_cylinder(model, (side * 0.2, 0.66, 0.0), 'y', 0.06, 0.06, 8, glow)
    _fin(model, 0.0, 0.15, 0.5, 0.1, 0.38, trim)
    return _scaled(model, size)


def manta(livery, hull_texture, size=1.0):
    """A broad flat wing with a dome and two outboard engine pods."""
    hull, trim, glass, glow = _materials(livery, hull_texture)
    model = geo.Mesh('Ship' + livery.name)
    outline = [(0.0, -0.62), (0.35, -0.2), (0.72, 0.35), (0.5, 0.5), (-0.5, 0.5), (-0.72, 0.35),
               (-0.35, -0.2)]
    geo.add_prism(model, outline, -0.06, 0.06, hull)
    geo.add_hull(model, [_ring(-0.35, 0.05, 0.02, 0.06), _ring(-0.15, 0.18, 0.12, 0.06),
                         _ring(0.25, 0.15, 0.1, 0.06), _ring(0.4, 0.05, 0.03, 0.06)], glass)
    for side in (1, -1):
        geo.add_cylinder(model, (side * 0.48, 0.22, 0.0), 'y', 0.1, 0.55, 8, trim, top_radius=0.08)
        geo.add_cylinder(model, (side * 0.48, 0.53, 0.0), 'y', 0.07, 0.06, 8, glow)
        geo.add_box(model, (side * 0.2, -0.45, 0.0), (0.06, 0.3, 0.06), trim)
    return _scaled(model, size)


def bullet(livery):
    """A glowing double cone along y."""
    glow = Material(livery.name + '_bolt', livery.glow, 0.9, 1.0, 0.3, 0.3,
                    emissive=tuple(min(1.0, c * 0.9) for c in livery.glow))
    model = geo.Mesh('Bullet' + livery.name)
    tip = [(0.0, -0.22, 0.0)] * 6
    tail = [(0.0, 0.22, 0.0)] * 6
    middle = geo.ring_points((0.0, 0.0, 0.0), 'y', 0.08, 6)
    geo.add_hull(model, [tip, middle, tail], glow, cap_start=False, cap_end=False)
    return model


def _scaled(model, size):
    if size != 1.0:
        model.vertices = [geo.scale(v, size) for v in model.vertices]
    return model
