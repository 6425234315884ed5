"""Polygon meshes built from simple solids; both model writers take these.

Faces are stored counter-clockwise seen from outside (outward normal by the right-hand
rule). Texture coordinates are per corner, v growing upwards in the picture.
"""

import math
from dataclasses import dataclass, field


@dataclass
class Material:
    name: str
    colour: tuple                  # r, g, b in 0..1
    ambient: float = 0.3           # ambient factor
    diffuse: float = 0.9           # diffuse factor
    specular: float = 0.4          # specular factor
    exponent: float = 0.5          # highlight exponent (the game uses it as specular level)
    texture: str = ''              # texture file name, empty for none
    repeat: tuple = (1.0, 1.0)
    emissive: tuple = (0.0, 0.0, 0.0)


@dataclass
class Face:
    vertices: list
    uvs: list
    material: int


@dataclass
class Mesh:
    name: str
    vertices: list = field(default_factory=list)
    uvs: list = field(default_factory=list)
    faces: list = field(default_factory=list)
    materials: list = field(default_factory=list)

    def material(self, material):
        """Index of the material in this mesh, adding it on first use."""
        for index, known in enumerate(self.materials):
            if known.name == material.name:
                return index
        self.materials.append(material)
        return len(self.materials) - 1


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def scale(a, k):
    return (a[0] * k, a[1] * k, a[2] * k)


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def length(a):
    return math.sqrt(dot(a, a))


def normalise(a):
    size = length(a)
    return scale(a, 1.0 / size) if size > 0 else (0.0, 0.0, 0.0)


def polygon_normal(points):
    """Newell normal of a planar polygon (counter-clockwise gives the outward side)."""
    nx = ny = nz = 0.0
    for i, p in enumerate(points):
        q = points[(i + 1) % len(points)]
        nx += (p[1] - q[1]) * (p[2] + q[2])
        ny += (p[2] - q[2]) * (p[0] + q[0])
        nz += (p[0] - q[0]) * (p[1] + q[1])
    return normalise((nx, ny, nz))


def centroid(points):
    count = float(len(points))
    return (sum(p[0] for p in points) / count, sum(p[1] for p in points) / count,
            sum(p[2] for p in points) / count)


def _box_uv(point, normal, uv_scale):
    """Planar projection along the face's dominant axis."""
    ax = [abs(c) for c in normal]
    if ax[2] >= ax[0] and ax[2] >= ax[1]:
        u, v = point[0], point[1]
    elif ax[0] >= ax[1]:
        u, v = point[1], point[2]
    else:
        u, v = point[0], point[2]
    return (round(u * uv_scale, 5), round(v * uv_scale, 5))


def add_polygon(mesh, points, material, inside=None, uv_scale=0.5, uvs=None):
    """Adds one face. With `inside` given, the corner order is turned so the face looks
    away from that point; otherwise the points must already be counter-clockwise."""
    points = [tuple(float(c) for c in p) for p in points]
    normal = polygon_normal(points)
    if inside is not None and dot(normal, sub(centroid(points), inside)) < 0:
        points.reverse()
        if uvs is not None:
            uvs = list(reversed(uvs))
        normal = scale(normal, -1)
    if uvs is None:
        uvs = [_box_uv(p, normal, uv_scale) for p in points]
    first_vertex = len(mesh.vertices)
    first_uv = len(mesh.uvs)
    mesh.vertices.extend(points)
    mesh.uvs.extend(uvs)
    mesh.faces.append(Face(list(range(first_vertex, first_vertex + len(points))),
                           list(range(first_uv, first_uv + len(uvs))),
                           mesh.material(material)))


def add_hull(mesh, rings, material, uv_scale=0.5, cap_start=True, cap_end=True):
    """Skin between equal-sized rings of points (a loft), with optional end caps.
    Every face is turned outwards from the centre of the whole solid."""
    inside = centroid([p for ring in rings for p in ring])
    for ring, following in zip(rings, rings[1:]):
        count = len(ring)
        for i in range(count):
            j = (i + 1) % count
            quad = [ring[i], ring[j], following[j], following[i]]
            if len({tuple(round(c, 6) for c in p) for p in quad}) == 4:
                add_polygon(mesh, quad, material, inside, uv_scale)
            else:
                unique = []
                for p in quad:
                    if all(length(sub(p, q)) > 1e-9 for q in unique):
                        unique.append(p)
                if len(unique) == 3:
                    add_polygon(mesh, unique, material, inside, uv_scale)
    if cap_start and len(set(rings[0])) > 2:
        add_polygon(mesh, rings[0], material, inside, uv_scale)
    if cap_end and len(set(rings[-1])) > 2:
        add_polygon(mesh, rings[-1], material, inside, uv_scale)


def add_box(mesh, centre, size, material, uv_scale=0.5):
    cx, cy, cz = centre
    hx, hy, hz = size[0] / 2.0, size[1] / 2.0, size[2] / 2.0
    bottom = [(cx - hx, cy - hy, cz - hz), (cx + hx, cy - hy, cz - hz),
              (cx + hx, cy + hy, cz - hz), (cx - hx, cy + hy, cz - hz)]
    top = [(x, y, cz + hz) for x, y, _ in bottom]
    add_hull(mesh, [bottom, top], material, uv_scale)


def add_prism(mesh, outline, z0, z1, material, uv_scale=0.5):
    """A flat outline in x-y extruded from z0 to z1 (wings, plates, fins in x-y)."""
    add_hull(mesh, [[(x, y, z0) for x, y in outline], [(x, y, z1) for x, y in outline]],
             material, uv_scale)


def ring_points(centre, axis, radius, segments, phase=0.0):
    """A circle of points around an axis ('x', 'y' or 'z')."""
    points = []
    for i in range(segments):
        angle = phase + 2.0 * math.pi * i / segments
        a, b = radius * math.cos(angle), radius * math.sin(angle)
        if axis == 'x':
            offset = (0.0, a, b)
        elif axis == 'y':
            offset = (a, 0.0, b)
        else:
            offset = (a, b, 0.0)
        points.append(tuple(round(c, 6) for c in add(centre, offset)))
    return points


def add_cylinder(mesh, centre, axis, radius, height, segments, material, uv_scale=0.5,
                 top_radius=None):
    """A cylinder (or a cone frustum with top_radius) centred on `centre`."""
    index = 'xyz'.index(axis)
    low = list(centre)
    high = list(centre)
    low[index] -= height / 2.0
    high[index] += height / 2.0
    top = radius if top_radius is None else top_radius
    add_hull(mesh, [ring_points(tuple(low), axis, radius, segments),
                    ring_points(tuple(high), axis, top, segments)], material, uv_scale)


def add_crystal(mesh, centre, radius, height, sides, material, uv_scale=0.5):
    """A double pyramid standing on its lower tip."""
    cx, cy, cz = centre
    middle = ring_points((cx, cy, cz), 'z', radius, sides, phase=0.3)
    bottom = [(cx, cy, cz - height / 2.0)] * sides
    top = [(cx, cy, cz + height / 2.0)] * sides
    add_hull(mesh, [bottom, middle, top], material, uv_scale, cap_start=False, cap_end=False)


def add_quad_grid(mesh, x0, y0, x1, y1, z, cells_x, cells_y, material, uv_scale):
    """A flat floor split into cells, facing up; the cells give per-vertex lighting
    something to vary across."""
    for i in range(cells_x):
        for j in range(cells_y):
            ax = x0 + (x1 - x0) * i / cells_x
            bx = x0 + (x1 - x0) * (i + 1) / cells_x
            ay = y0 + (y1 - y0) * j / cells_y
            by = y0 + (y1 - y0) * (j + 1) / cells_y
            add_polygon(mesh, [(ax, ay, z), (bx, ay, z), (bx, by, z), (ax, by, z)],
                        material, uv_scale=uv_scale)


def translated(mesh, offset):
    """A copy of the mesh moved by offset."""
    copy = Mesh(mesh.name, [add(v, offset) for v in mesh.vertices], list(mesh.uvs),
                [Face(list(f.vertices), list(f.uvs), f.material) for f in mesh.faces],
                list(mesh.materials))
    return copy


def merge(name, meshes):
    """One mesh holding all faces of several meshes, sharing materials by name."""
    result = Mesh(name)
    for part in meshes:
        vertex_base = len(result.vertices)
        uv_base = len(result.uvs)
        result.vertices.extend(part.vertices)
        result.uvs.extend(part.uvs)
        for face in part.faces:
            result.faces.append(Face([v + vertex_base for v in face.vertices],
                                     [u + uv_base for u in face.uvs],
                                     result.material(part.materials[face.material])))
    return result


def add_sphere(mesh, centre, radius, rings, segments, material, uv_scale=0.5):
    """A globe of latitude rings (the poles are rings of one repeated point)."""
    layers = []
    for i in range(rings + 1):
        angle = math.pi * i / rings - math.pi / 2.0
        z = centre[2] + radius * math.sin(angle)
        ring = ring_points((centre[0], centre[1], z), 'z', radius * math.cos(angle), segments)
        layers.append(ring)
    add_hull(mesh, layers, material, uv_scale, cap_start=False, cap_end=False)
