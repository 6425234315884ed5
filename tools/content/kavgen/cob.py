"""Writer of binary COB scene files (header, chunks, polyhedra with materials and
shader boxes, curves, cameras, lights, groups, notes)."""

from .binio import ByteWriter
from . import mesh as geo

HEADER = b'Caligari V00.01BLH' + b' ' * 13 + b'\n'

# Chunk versions written, (major, minor): each within what the game reads.
VERSIONS = {
    'PolH': (0, 8), 'Mat1': (0, 5), 'ShBx': (0, 2), 'NCur': (0, 2), 'Came': (0, 1),
    'Lght': (0, 8), 'Grou': (0, 1), 'Note': (0, 1), 'END ': (1, 0),
}

# Shader parameter type codes.
PARAM_FLOAT = 1
PARAM_COLOUR = 7
PARAM_TEXT = 10

LIGHT_DIRECTIONAL = 1
LIGHT_POSITIONAL = 2
LIGHT_SPOT = 4

CAMERA_STANDARD = 8


def _name(out, text):
    data = text.encode('ascii')
    out.i16(len(data))
    out.raw(data)


def _object_name(out, text):
    out.i16(0)  # duplicate count
    _name(out, text)


def frame_axes(eye, target, up_hint=(0.0, 0.0, 1.0)):
    """Local axes of an object at `eye` whose z axis points at `target` and whose y axis
    is as close to `up_hint` as the view allows."""
    forward = geo.normalise(geo.sub(target, eye))
    side = geo.normalise(geo.cross(up_hint, forward))
    up = geo.cross(forward, side)
    return side, up, forward


def _axes_and_matrix(out, centre, axes=((1.0, 0, 0), (0, 1.0, 0), (0, 0, 1.0))):
    """Local axes followed by the matching position matrix (axes as columns)."""
    out.f32(*centre)
    for axis in axes:
        out.f32(*axis)
    x_axis, y_axis, z_axis = axes
    for row in range(3):
        out.f32(x_axis[row], y_axis[row], z_axis[row], centre[row])


class CobScene:
    """Collects chunks in file order and hands out chunk ids."""

    def __init__(self):
        self._chunks = []
        self._next_id = 1

    def _chunk(self, kind, parent, body):
        chunk_id = self._next_id
        self._next_id += 1
        self._chunks.append((kind, chunk_id, parent, body))
        return chunk_id

    def group(self, name, position, parent=0):
        out = ByteWriter()
        _object_name(out, name)
        _axes_and_matrix(out, position)
        return self._chunk('Grou', parent, out.bytes())

    def polyhedron(self, mesh, position=(0.0, 0.0, 0.0), parent=0):
        """A PolH whose vertices are relative to `position`, followed by one Mat1 and
        ShBx per material its faces use."""
        out = ByteWriter()
        _object_name(out, mesh.name)
        _axes_and_matrix(out, position)
        out.i32(len(mesh.vertices))
        for vertex in mesh.vertices:
            out.f32(*vertex)
        out.i32(len(mesh.uvs))
        for uv in mesh.uvs:
            out.f32(*uv)
        out.i32(len(mesh.faces))
        for face in mesh.faces:
            out.u8(0)
            out.i16(len(face.vertices))
            out.i16(face.material)
            # The reader takes the normal of each fan triangle from clockwise corners,
            # so faces go out in reverse order to keep their outward side.
            for vertex, uv in reversed(list(zip(face.vertices, face.uvs))):
                out.i32(vertex)
                out.i32(uv)
        out.i32(0)  # draw flags
        poly_id = self._chunk('PolH', parent, out.bytes())
        used = sorted({face.material for face in mesh.faces})
        for index in used:
            material_id = self._material(index, mesh.materials[index], poly_id)
            self._shader_box(mesh.materials[index], material_id)
        return poly_id

    def _material(self, number, material, parent):
        out = ByteWriter()
        out.i16(number)
        out.u8(ord('p'))   # shader type
        out.u8(ord('a'))   # facet type: auto
        out.u8(32)         # auto-facet angle
        r, g, b = material.colour
        if material.texture:
            # The game brightens textured materials tenfold.
            r, g, b = r * 0.1, g * 0.1, b * 0.1
        out.f32(r, g, b, 1.0, material.ambient, material.specular, material.exponent, 1.0)
        if material.texture:
            out.raw(b't:')
            out.u8(0)
            _name(out, material.texture)
            out.f32(0.0, 0.0, material.repeat[0], material.repeat[1])
        return self._chunk('Mat1', parent, out.bytes())

    def _shader_box(self, material, parent):
        out = ByteWriter()
        if material.texture:
            colour_shader = ('caligari texture', [('file name', PARAM_TEXT, material.texture)])
        else:
            colour_shader = ('plain color', [('colour', PARAM_COLOUR, material.colour)])
        reflectance = ('phong', [
            ('ambient factor', PARAM_FLOAT, material.ambient),
            ('diffuse factor', PARAM_FLOAT, material.diffuse),
            ('specular factor', PARAM_FLOAT, material.specular),
            ('exponent', PARAM_FLOAT, material.exponent),
            ('specular colour', PARAM_COLOUR, (1.0, 1.0, 1.0)),
        ])
        shaders = [(2, colour_shader), (4, ('none', [])), (8, reflectance), (16, ('none', []))]
        for shader_class, (name, params) in shaders:
            out.u8(shader_class)
            _name(out, name)
            out.u8(len(params))
            out.raw(b'\0\0\0')
            for param_name, code, value in params:
                _name(out, param_name)
                out.i32(code)
                if code == PARAM_FLOAT:
                    out.f32(value)
                elif code == PARAM_COLOUR:
                    out.f32(*value)
                else:
                    _name(out, value)
            out.u8(0)  # flags
            out.u8(0)
        self._chunk('ShBx', parent, out.bytes())

    def path_curve(self, name, anchors, parent=0):
        """A rational cubic NURBS curve of straight pieces through the anchor points:
        3k + 1 control points for k pieces, knots clamped at every anchor."""
        controls = [anchors[0]]
        for a, b in zip(anchors, anchors[1:]):
            controls.append(tuple(a[i] + (b[i] - a[i]) / 3.0 for i in range(3)))
            controls.append(tuple(a[i] + 2.0 * (b[i] - a[i]) / 3.0 for i in range(3)))
            controls.append(b)
        pieces = len(anchors) - 1
        knots = [0.0] * 4
        for k in range(1, pieces):
            knots += [float(k)] * 3
        knots += [float(pieces)] * 4
        out = ByteWriter()
        _object_name(out, name)
        _axes_and_matrix(out, (0.0, 0.0, 0.0))
        out.i32(2)  # rational, open
        out.i32(4)  # order
        out.i32(len(controls))
        for point in controls:
            out.f32(*point)
            out.f32(1.0)
        for knot in knots:
            out.f32(knot)
        out.i32(0)
        return self._chunk('NCur', parent, out.bytes())

    def camera(self, name, eye, target, parent=0):
        out = ByteWriter()
        _object_name(out, name)
        _axes_and_matrix(out, eye, frame_axes(eye, target))
        out.i16(CAMERA_STANDARD)
        return self._chunk('Came', parent, out.bytes())

    def light(self, name, kind, position, colour, target=None, cone=40.0, parent=0):
        """A light; spot lights aim their local z axis at `target`."""
        out = ByteWriter()
        _object_name(out, name)
        if target is None:
            _axes_and_matrix(out, position)
        else:
            _axes_and_matrix(out, position, frame_axes(position, target, (0.0, 1.0, 0.0)))
        out.i16(kind)
        out.i16(0)           # shadow flags
        out.f32(*colour)
        out.f32(cone, 0.5)   # cone angle, falloff
        out.i16(0)
        _name(out, '')       # projector
        out.i16(0)
        return self._chunk('Lght', parent, out.bytes())

    def note(self, text, parent):
        out = ByteWriter()
        _name(out, text)
        return self._chunk('Note', parent, out.bytes())

    def bytes(self):
        out = ByteWriter()
        out.raw(HEADER)
        for kind, chunk_id, parent, body in self._chunks + [('END ', self._next_id, 0, b'')]:
            major, minor = VERSIONS[kind]
            out.raw(kind.encode('ascii'))
            out.i16(major)
            out.i16(minor)
            out.i32(chunk_id)
            out.i32(parent)
            out.i32(len(body))
            out.raw(body)
        return out.bytes()


def single_model(mesh):
    """A model file: one polyhedron at the origin."""
    scene = CobScene()
    scene.polyhedron(mesh)
    return scene.bytes()
