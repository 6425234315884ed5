"""Static level pieces: floors, pillars, towers, rocks and crystals."""

from . import mesh as geo
from .mesh import Material


def floor(name, half_size, z, texture, tint=(1.0, 1.0, 1.0), tiles=8, repeat=1.0):
    """A square textured floor under the whole level, split into cells."""
    material = Material(name + '_floor', tint, 0.4, 0.85, 0.3, 0.3, texture, (repeat, repeat))
    model = geo.Mesh(name)
    geo.add_quad_grid(model, -half_size, -half_size, half_size, half_size, z, tiles, tiles,
                      material, uv_scale=1.0 / 8.0)
    return model


def track(grid, name, colour, z):
    lane = Material(name + '_lane', colour, 0.6, 1.0, 0.3, 0.3, 'track.bmp')
    pad = Material(name + '_pad', tuple(min(1.0, c * 1.2) for c in colour), 0.6, 1.0, 0.5, 0.5,
                   'track.bmp')
    return grid.track_mesh(name, lane, pad, z)


def pillar(name, colour, glow, height, radius=0.35, base_z=-0.6):
    """A round column with a glowing band near its top."""
    body = Material(name + '_body', colour, 0.35, 0.85, 0.5, 0.5)
    band = Material(name + '_band', glow, 0.9, 1.0, 0.2, 0.2, emissive=tuple(c * 0.8 for c in glow))
    model = geo.Mesh(name)
    geo.add_cylinder(model, (0.0, 0.0, base_z + 0.1), 'z', radius * 1.4, 0.2, 10, body)
    geo.add_cylinder(model, (0.0, 0.0, base_z + 0.2 + height / 2.0), 'z', radius, height, 10, body)
    geo.add_cylinder(model, (0.0, 0.0, base_z + 0.2 + height * 0.85), 'z', radius * 1.1, 0.15, 10, band)
    geo.add_cylinder(model, (0.0, 0.0, base_z + 0.3 + height), 'z', radius * 1.2, 0.2, 10, body,
                     top_radius=radius * 0.4)
    return model


def tower(name, colour, glow, height, base_z=-0.6):
    """A square beacon tower with a lamp on top."""
    body = Material(name + '_body', colour, 0.35, 0.85, 0.4, 0.4)
    lamp = Material(name + '_lamp', glow, 0.9, 1.0, 0.2, 0.2, emissive=glow)
    model = geo.Mesh(name)
    geo.add_box(model, (0.0, 0.0, base_z + height / 2.0), (0.9, 0.9, height), body)
    geo.add_box(model, (0.0, 0.0, base_z + height + 0.1), (1.2, 1.2, 0.2), body)
    geo.add_crystal(model, (0.0, 0.0, base_z + height + 0.55), 0.3, 0.7, 6, lamp)
    return model


def rock(name, texture, tint, outline, height, base_z=-0.6, cap_scale=0.75):
    """A mesa: an outline rising from the floor, narrowing towards its flat top."""
    material = Material(name + '_rock', tint, 0.45, 0.85, 0.1, 0.1, texture, (1.0, 1.0))
    cx = sum(p[0] for p in outline) / len(outline)
    cy = sum(p[1] for p in outline) / len(outline)
    top = [(cx + (x - cx) * cap_scale, cy + (y - cy) * cap_scale, base_z + height) for x, y in outline]
    model = geo.Mesh(name)
    geo.add_hull(model, [[(x, y, base_z) for x, y in outline], top], material, uv_scale=0.35)
    return model


def crystal_cluster(name, colour, spots):
    """Tall glassy crystals; spots: (x, y, radius, height)."""
    material = Material(name + '_crystal', colour, 0.5, 0.9, 0.9, 0.9,
                        emissive=tuple(c * 0.25 for c in colour))
    model = geo.Mesh(name)
    for x, y, radius, height in spots:
        geo.add_crystal(model, (x, y, height / 2.0 - 0.6), radius, height, 5, material)
    return model


def crates(name, colour, stack):
    """Wooden crates; stack: (x, y, layer) of 1-unit boxes."""
    material = Material(name + '_wood', colour, 0.4, 0.85, 0.1, 0.1)
    model = geo.Mesh(name)
    for x, y, layer in stack:
        geo.add_box(model, (x, y, -0.1 + layer * 1.0), (1.0, 1.0, 1.0), material)
    return model
