"""Writer of MilkShape 3D binary model files (static mesh: vertices, triangles, groups,
materials, then an empty animation section)."""

from .binio import ByteWriter
from . import mesh as geo

VERSION = 4


def _triangles(model):
    """Fan triangles of every face with one flat normal each, grouped by material."""
    triangles = []
    for face in model.faces:
        points = [model.vertices[v] for v in face.vertices]
        normal = geo.polygon_normal(points)
        for i in range(2, len(face.vertices)):
            corners = (0, i - 1, i)
            triangles.append(([face.vertices[c] for c in corners],
                              [model.uvs[face.uvs[c]] for c in corners],
                              normal, face.material))
    return triangles


def model_bytes(model):
    if len(model.vertices) > 65535:
        raise ValueError('%s has too many vertices for a model file' % model.name)
    triangles = _triangles(model)
    out = ByteWriter()
    out.raw(b'MS3D000000')
    out.i32(VERSION)
    out.u16(len(model.vertices))
    for x, y, z in model.vertices:
        out.u8(0)
        out.f32(x, y, z)
        out.i8(-1)   # no bone
        out.u8(0)
    out.u16(len(triangles))
    for vertices, uvs, normal, material in triangles:
        out.u16(0)
        for v in vertices:
            out.u16(v)
        for _ in range(3):
            out.f32(*normal)
        out.f32(*[uv[0] for uv in uvs])
        out.f32(*[1.0 - uv[1] for uv in uvs])  # the file's t runs downwards
        out.u8(1)
        out.u8(material)
    out.u16(len(model.materials))
    for index, material in enumerate(model.materials):
        members = [i for i, t in enumerate(triangles) if t[3] == index]
        out.u8(0)
        out.fixed_text('%s_%d' % (model.name[:20], index), 32)
        out.u16(len(members))
        for member in members:
            out.u16(member)
        out.i8(index)
    out.u16(len(model.materials))
    for material in model.materials:
        r, g, b = material.colour
        out.fixed_text(material.name[:31], 32)
        out.f32(r * material.ambient, g * material.ambient, b * material.ambient, 1.0)
        out.f32(r * material.diffuse, g * material.diffuse, b * material.diffuse, 1.0)
        level = material.specular
        out.f32(level, level, level, 1.0)
        out.f32(*material.emissive, 1.0)
        out.f32(128.0 * material.exponent)  # shininess
        out.f32(1.0)                        # transparency (opaque)
        out.u8(0)
        out.fixed_text(material.texture, 128)
        out.fixed_text('', 128)
    out.f32(24.0)  # animation frames per second
    out.f32(0.0)   # current time
    out.i32(1)     # total frames
    out.u16(0)     # joints
    return out.bytes()
