#!/usr/bin/env python3
"""Rough previews of the shipped levels and the menu scene from each of their cameras,
for looking at content before the game can draw it: flat-shaded triangles with a depth
buffer, one texture sample per triangle, no particles.

    python3 tests/content/preview.py OUTDIR     (writes OUTDIR/<level>_<camera>.ppm)
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import content_check as cc  # noqa: E402
from formats import Ini, decompose, numbers, read_bmp, read_cob, read_ms3d  # noqa: E402

WIDTH, HEIGHT = 320, 240


class Texture:
    def __init__(self, path):
        data = open(path, 'rb').read()
        info = read_bmp(data, path)
        self.width, self.height = info['width'], info['height']
        offset = int.from_bytes(data[10:14], 'little')
        palette = [tuple(data[54 + 4 * i + 2 - k] for k in range(3)) for i in range(info['colours'])]
        row = (self.width * info['bits'] // 8 + 3) & ~3
        self.pixels = []
        for y in range(self.height):
            start = offset + y * row
            if info['bits'] == 8:
                self.pixels.append([palette[i] for i in data[start:start + self.width]])
            else:
                self.pixels.append([(data[start + 3 * x + 2], data[start + 3 * x + 1], data[start + 3 * x])
                                    for x in range(self.width)])

    def sample(self, s, t):
        x = int((s % 1.0) * self.width) % self.width
        y = int((t % 1.0) * self.height) % self.height
        return [c / 255.0 for c in self.pixels[y][x]]


_textures = {}


def texture(directory, name):
    path = os.path.join(directory, name or '')
    if path not in _textures:
        _textures[path] = Texture(path) if name and os.path.isfile(path) else None
    return _textures[path]


def rotate(v, rotation):
    """Rotation about x, then y, then z, as the game draws models."""
    x, y, z = v
    for axis, angle in zip('xyz', rotation):
        c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        if axis == 'x':
            y, z = c * y - s * z, s * y + c * z
        elif axis == 'y':
            x, z = c * x + s * z, -s * x + c * z
        else:
            x, y = c * x - s * y, s * x + c * y
    return x, y, z


def cob_triangles(records, texture_dir, location=None, rotation=(0, 0, 0)):
    """World triangles (corners, colour) of every polyhedron of a scene."""
    out = []
    for poly in records['PolH']:
        own, _, scale = decompose(poly['matrix'])
        where = own if location is None else location
        for face in poly['faces']:
            material = next(m for m in records['Mat1']
                            if m['number'] == face['material'] and m['parent'] == poly['id'])
            colour = [material[k] * (10 if material['texture'] else 1) for k in 'rgb']
            picture = texture(texture_dir, material['texture'])
            corners = [[poly['vertices'][v][k] * scale[k] for k in range(3)] for v, _ in face['corners']]
            if picture:
                u = sum(poly['uvs'][t][0] for _, t in face['corners']) / len(corners)
                v = sum(poly['uvs'][t][1] for _, t in face['corners']) / len(corners)
                colour = [a * b for a, b in zip(colour, picture.sample(u * material['repeat'][0], v * material['repeat'][1]))]
            world = [tuple(a + b for a, b in zip(rotate(c, rotation), where)) for c in corners]
            for i in range(2, len(world)):
                out.append(((world[0], world[i - 1], world[i]), colour))
    return out


def ms3d_triangles(model, texture_dir, location, rotation):
    out = []
    for group in model['groups']:
        material = model['materials'][group['material']]
        picture = texture(texture_dir, material['texture'])
        for index in group['triangles']:
            tri = model['triangles'][index]
            colour = material['colours'][1][:3]
            if picture:
                colour = [a * b for a, b in zip(colour, picture.sample(sum(tri['s']) / 3, 1 - sum(tri['t']) / 3))]
            colour = [min(1.0, c + e) for c, e in zip(colour, material['colours'][3][:3])]
            world = tuple(tuple(a + b for a, b in zip(rotate(model['vertices'][i], rotation), location))
                          for i in tri['indices'])
            out.append((world, colour))
    return out


def model_triangles(path, texture_dir, location, rotation):
    data = open(path, 'rb').read()
    if path.endswith('.ms3d'):
        return ms3d_triangles(read_ms3d(data, path), texture_dir, location, rotation)
    return cob_triangles(read_cob(data, path), texture_dir, location, rotation)


def render(triangles, camera, background, light, out_path):
    eye, target, up = camera
    forward = norm(sub(target, eye))
    side = norm(cross(forward, up))
    true_up = cross(side, forward)
    focal = (HEIGHT / 2.0) / math.tan(math.radians(22.5))
    depth = [[1e9] * WIDTH for _ in range(HEIGHT)]
    image = [[tuple(int(c * 255) for c in background)] * WIDTH for _ in range(HEIGHT)]
    for corners, colour in triangles:
        normal = norm(cross(sub(corners[1], corners[0]), sub(corners[2], corners[0])))
        shade = 0.35 + 0.65 * abs(dot(normal, light))
        rgb = tuple(int(min(1.0, c * shade) * 255) for c in colour)
        projected = []
        for p in corners:
            rel = sub(p, eye)
            z = dot(rel, forward)
            if z < 1.0:
                break
            projected.append((WIDTH / 2.0 + focal * dot(rel, side) / z,
                              HEIGHT / 2.0 - focal * dot(rel, true_up) / z, z))
        else:
            fill(projected, rgb, depth, image)
    with open(out_path, 'wb') as handle:
        handle.write(b'P6 %d %d 255\n' % (WIDTH, HEIGHT))
        handle.write(bytes(c for row in image for pixel in row for c in pixel))


def fill(p, rgb, depth, image):
    (x0, y0, z0), (x1, y1, z1), (x2, y2, z2) = p
    area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0)
    if area == 0:
        return
    for y in range(max(0, int(min(y0, y1, y2))), min(HEIGHT, int(max(y0, y1, y2)) + 1)):
        for x in range(max(0, int(min(x0, x1, x2))), min(WIDTH, int(max(x0, x1, x2)) + 1)):
            px, py = x + 0.5, y + 0.5
            a = ((x1 - px) * (y2 - py) - (x2 - px) * (y1 - py)) / area
            b = ((x2 - px) * (y0 - py) - (x0 - px) * (y2 - py)) / area
            c = 1.0 - a - b
            if a < 0 or b < 0 or c < 0:
                continue
            z = a * z0 + b * z1 + c * z2
            if z < depth[y][x]:
                depth[y][x] = z
                image[y][x] = rgb


def sub(a, b):
    return tuple(x - y for x, y in zip(a, b))


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def norm(a):
    size = math.sqrt(dot(a, a)) or 1.0
    return tuple(x / size for x in a)


LIGHT = norm((0.3, -0.5, 1.0))


def cob_cameras(records):
    return [(c['name'], (tuple(c['axes'][0]), tuple(a + b for a, b in zip(c['axes'][0], c['axes'][3])),
                         tuple(c['axes'][2]))) for c in records['Came']]


def preview_file_level(directory, ini, out):
    texture_dir = os.path.join(directory, ini.get('level', 'texture_path'))
    points = cc.ini_points(ini, directory)
    triangles = []
    n = 0
    while ini.has('ship%d' % n):
        section = 'ship%d' % n
        location = numbers(ini.get(section, 'ship_loc'), 3)
        start = cc.start_edge(points, location, numbers(ini.get(section, 'ship_rot'), 3)[2])
        angle = cc.EDGE_ANGLE[start[1]]
        triangles += model_triangles(os.path.join(directory, ini.get(section, 'ship_file')), texture_dir,
                                     location, (0, 0, angle))
        bullet = rotate(numbers(ini.get(section, 'bullet_offset'), 3), (0, 0, angle))
        triangles += model_triangles(os.path.join(directory, ini.get(section, 'bullet_file')), texture_dir,
                                     [a + b for a, b in zip(location, bullet)], (0, 0, angle))
        n += 1
    n = 0
    while ini.has('obj%d' % n):
        triangles += model_triangles(os.path.join(directory, ini.get('obj%d' % n, 'file')), texture_dir,
                                     numbers(ini.get('obj%d' % n, 'loc'), 3), (0, 0, 0))
        n += 1
    cameras = []
    n = 0
    while ini.has('camera%d' % n):
        section = 'camera%d' % n
        cameras.append((ini.get(section, 'name'), tuple(tuple(numbers(ini.get(section, k), 3))
                                                        for k in ('loc', 'look_at', 'up_dir'))))
        n += 1
    return triangles, cameras


def preview_scene(path, texture_dir):
    records = read_cob(open(path, 'rb').read(), path)
    return cob_triangles(records, texture_dir), cob_cameras(records)


def main(out):
    os.makedirs(out, exist_ok=True)
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    jobs = [('menu', (0, 0, 0)) + preview_scene(os.path.join(root, 'data/.default/default.scn'),
                                                 os.path.join(root, 'data/.default/texture'))]
    for directory in cc.playable_levels(root):
        ini = Ini(open(cc.level_ini(directory)).read())
        background = numbers(ini.get('level', 'bg_color'), 3)
        if ini.has('level', 'level_scene'):
            triangles, cameras = preview_scene(os.path.join(directory, ini.get('level', 'level_scene')),
                                               os.path.join(directory, ini.get('level', 'texture_path')))
        else:
            triangles, cameras = preview_file_level(directory, ini, out)
        jobs.append((os.path.basename(directory), background, triangles, cameras))
    for name, background, triangles, cameras in jobs:
        for index, (_, camera) in enumerate(cameras):
            render(triangles, camera, background, LIGHT, os.path.join(out, '%s_%d.ppm' % (name, index)))


if __name__ == '__main__':
    main(sys.argv[1])
