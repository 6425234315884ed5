"""Checks of the shipped data tree against the game's loading rules: the level catalogue,
the path grid, the ship start, models, pictures, sounds and scripts (whole levels and the
menu scene are checked in level_check.py). Every check returns a list of problems (empty
when the content is right), each naming the file and the rule it breaks."""

import glob
import math
import os
import zlib

from formats import (FormatError, Ini, cob_face_normals, decompose, numbers, read_bmp,
                     read_cob, read_ms3d, read_script, read_wav)

SHIP_EVENTS = ('fire', 'loaded', 'moving', 'hit', 'accelerate', 'slowdown', 'collision', 'bul_moving')
LEVEL_EVENTS = ('start', 'finish')
GAME_WRITTEN = ('saved.ini.all',)  # the game writes it into the level it loads
PTS_TYPES = ('moving', 'circular', 'marking', 'follower')
PTS_KEYS = {'type', 'surf_type', 'surf_loc_rot', 'volume_surf', 'circ_rad_incs', 'texture', 'live',
            'gen_rate', 'size', 'red', 'green', 'blue', 'alpha', 'x_vel', 'y_vel', 'z_vel', 'x_grv',
            'y_grv', 'z_grv', 'regenerate', 'particles'}
ACTION_KEYS = {'PlaySound': 'sound', 'LoopSound': 'sound', 'StopSound': 'sound',
               'StartPts': 'pts', 'StopPts': 'pts'}
UP, RIGHT, DOWN, LEFT = 0, 1, 2, 3
EDGE_ANGLE = {UP: 180, RIGHT: 90, DOWN: 0, LEFT: 270}


def read(path):
    with open(path, 'rb') as handle:
        return handle.read()


def level_directories(root):
    """Sub-directories of data that the catalogue would consider (no leading '.')."""
    data = os.path.join(root, 'data')
    return sorted(os.path.join(data, name) for name in os.listdir(data)
                  if os.path.isdir(os.path.join(data, name)) and not name.startswith('.'))


def level_ini(directory):
    found = glob.glob(os.path.join(directory, '*.ini'))
    return found[0] if len(found) == 1 else None


def playable_levels(root):
    return [d for d in level_directories(root) if level_ini(d)]


# ---------------------------------------------------------------- catalogue

def check_catalogue(root):
    problems = []
    levels = playable_levels(root)
    if len(levels) < 3:
        problems.append('only %d playable levels' % len(levels))
    backgrounds = set()
    for directory in level_directories(root):
        inis = glob.glob(os.path.join(directory, '*.ini'))
        if len(inis) != 1:
            if os.path.basename(directory) != 'sounds':
                problems.append('%s: %d ini files' % (directory, len(inis)))
            continue
        ini = Ini(read(inis[0]).decode('ascii'))
        if not ini.get('general', 'level_name'):
            problems.append('%s: no level_name in general' % inis[0])
        if ini.get('general', 'max_players') != '2':
            problems.append('%s: max_players is not 2' % inis[0])
        crc = 0
        for path in sorted(p for p in glob.glob(directory + '/**', recursive=True) if os.path.isfile(p)):
            if path != inis[0] and os.path.basename(path) not in GAME_WRITTEN:
                crc = zlib.crc32(os.path.relpath(path, directory).encode('ascii'), crc)
                crc = zlib.crc32(read(path), crc)
        if ini.get('general', 'crc') != str(crc & 0x7FFFFFFF):
            problems.append('%s: crc does not match the level files' % inis[0])
        background = ini.get('level', 'bg_color')
        try:
            numbers(background, 3)
        except FormatError as error:
            problems.append('%s: bg_color %s' % (inis[0], error))
        if background in backgrounds:
            problems.append('%s: background colour shared with another level' % inis[0])
        backgrounds.add(background)
    return problems


# ---------------------------------------------------------------- path grid

def scene_points(controls, position):
    """Path points of a curve, the way the game converts a scene's curve."""
    if (len(controls) - 1) % 3:
        raise FormatError('curve of %d control points is not 3k + 1' % len(controls))
    points = []
    previous = None
    for i in range(0, len(controls), 3):
        xyz = tuple(controls[i][k] + position[k] for k in range(3))
        current = next((p for p in points if p['pos'] == xyz), None)
        if current is None:
            current = {'pos': xyz, 'nb': [-1, -1, -1, -1], 'index': len(points)}
            points.append(current)
        if previous is not None:
            if previous['pos'][0] != xyz[0] and previous['pos'][1] != xyz[1]:
                raise FormatError('%d to %d disruption' % (previous['index'], current['index']))
            _link(previous, current)
            _link(current, previous)
        previous = current
    return points


def _link(point, other):
    dx = math.trunc(point['pos'][0]) - math.trunc(other['pos'][0])
    dy = math.trunc(point['pos'][1]) - math.trunc(other['pos'][1])
    if dx > 0:
        point['nb'][LEFT] = other['index']
    elif dx < 0:
        point['nb'][RIGHT] = other['index']
    elif dy > 0:
        point['nb'][DOWN] = other['index']
    elif dy < 0:
        point['nb'][UP] = other['index']


def ini_points(ini, where):
    points = []
    n = 0
    while ini.has('path', 'point%d' % n):
        pos = tuple(numbers(ini.get('path', 'point%d' % n), 3))
        nb = numbers(ini.get('path', 'point%d_nb' % n), 4, int)
        points.append({'pos': pos, 'nb': nb, 'index': n})
        n += 1
    if not points:
        raise FormatError('%s: no path points' % where)
    return points


def check_path(points, where):
    """The grid rules: in range, two-sided, on axis-parallel lanes in the named direction,
    all reached from the first point; and the layout has corners, T-junctions, crossings
    and loops."""
    problems = []
    count = len(points)
    for p in points:
        for direction, other in enumerate(p['nb']):
            if other < 0:
                continue
            if other >= count:
                problems.append('%s: point %d names missing point %d' % (where, p['index'], other))
                continue
            q = points[other]
            if q['nb'][(direction + 2) % 4] != p['index']:
                problems.append('%s: point %d -> %d is one-sided' % (where, p['index'], other))
            dx = q['pos'][0] - p['pos'][0]
            dy = q['pos'][1] - p['pos'][1]
            expected = {UP: dx == 0 and dy > 0, DOWN: dx == 0 and dy < 0,
                        RIGHT: dy == 0 and dx > 0, LEFT: dy == 0 and dx < 0}[direction]
            if not expected or q['pos'][2] != p['pos'][2]:
                problems.append('%s: point %d -> %d does not lie in its direction' % (where, p['index'], other))
        if any(c != math.floor(c) for c in p['pos']):
            problems.append('%s: point %d is off the whole-unit grid' % (where, p['index']))
    seen = {0}
    stack = [0]
    while stack:
        for other in points[stack.pop()]['nb']:
            if 0 <= other < count and other not in seen:
                seen.add(other)
                stack.append(other)
    if len(seen) != count:
        problems.append('%s: %d points cannot be reached from point 0' % (where, count - len(seen)))
    kinds = {'corner': 0, 'T-junction': 0, 'crossing': 0}
    for p in points:
        linked = [d for d in range(4) if p['nb'][d] >= 0]
        if len(linked) == 4:
            kinds['crossing'] += 1
        elif len(linked) == 3:
            kinds['T-junction'] += 1
        elif len(linked) == 2 and (linked[1] - linked[0]) % 2:
            kinds['corner'] += 1
    for kind, number in kinds.items():
        if not number:
            problems.append('%s: the path has no %s' % (where, kind))
    lanes = sum(1 for p in points for d in range(4) if p['nb'][d] >= 0) // 2
    if lanes < count:
        problems.append('%s: the path has no loop' % where)
    return problems


def edge_angle(p, q):
    """The start angle of the edge p -> q, as the game computes and truncates it."""
    dx, dy = q['pos'][0] - p['pos'][0], q['pos'][1] - p['pos'][1]
    length = math.hypot(dx, dy)
    return math.trunc(math.atan2(dy / length, dx / length) * 57.2957795131 + 90.0)


def start_edge(points, position, angle):
    """Where the game puts a ship: (point index, direction taken, whether the angle
    matched an edge); None when no point is at the ship."""
    def round1(v):
        t = v * 10.0
        return (math.floor(t) if t - math.floor(t) <= 0.5 else math.ceil(t)) * 0.1
    key = tuple(round1(c) for c in position)
    point = next((p for p in points if all(abs(a - b) < 1e-6 for a, b in zip(p['pos'], key))), None)
    if point is None:
        return None
    angle = math.trunc(angle)
    if angle < 0:
        angle += 360
    for direction in (UP, DOWN, RIGHT, LEFT):
        other = point['nb'][direction]
        if other >= 0 and edge_angle(point, points[other]) == angle:
            return point['index'], direction, True
    return point['index'], UP, False


# ---------------------------------------------------------------- models

def _faces_outward(triangles):
    """Whether lit faces look outwards: closed solids enclose a positive volume when
    summed with their normals; flat pieces (floors, lanes) face up.
    triangles: (corners, normal) with the normal the game lights the triangle with."""
    volume = 0.0
    flat = True
    facing_down = False
    for corners, normal in triangles:
        size = math.sqrt(sum(c * c for c in normal))
        if size == 0:
            continue
        unit = [c / size for c in normal]
        a, b, c = corners
        cross = [(b[1] - a[1]) * (c[2] - a[2]) - (b[2] - a[2]) * (c[1] - a[1]),
                 (b[2] - a[2]) * (c[0] - a[0]) - (b[0] - a[0]) * (c[2] - a[2]),
                 (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])]
        area = 0.5 * math.sqrt(sum(v * v for v in cross))
        centre = [(a[k] + b[k] + c[k]) / 3.0 for k in range(3)]
        volume += sum(centre[k] * unit[k] for k in range(3)) * area / 3.0
        if abs(unit[2]) < 0.999:
            flat = False
        elif unit[2] < 0:
            facing_down = True
    return not facing_down if flat else volume > 0


def check_cob_polyhedra(records, texture_dir, where):
    """Every face finds its material, a phong shader with the needed parameters, and a
    texture file; the position matrix carries no rotation or scale; faces look outwards."""
    problems = []
    for poly in records['PolH']:
        location, rotation, scale = decompose(poly['matrix'])
        if any(abs(a) > 1e-4 for a in rotation) or any(abs(s - 1) > 1e-6 for s in scale):
            problems.append('%s: %s has rotation %s scale %s' % (where, poly['name'], rotation, scale))
        if tuple(poly['axes'][0]) != location:
            problems.append('%s: %s axes centre differs from its matrix' % (where, poly['name']))
        lit = []
        for face in poly['faces']:
            if face['flags'] != 0:
                problems.append('%s: %s has a face the game skips' % (where, poly['name']))
                continue
            if any(v >= len(poly['vertices']) or t >= len(poly['uvs']) for v, t in face['corners']):
                problems.append('%s: %s face corner out of range' % (where, poly['name']))
                continue
            materials = [m for m in records['Mat1']
                         if m['number'] == face['material'] and m['parent'] == poly['id']]
            if not materials:
                problems.append('%s: %s face without material' % (where, poly['name']))
                continue
            boxes = [b for b in records['ShBx'] if b['parent'] == materials[0]['id']]
            if not boxes:
                problems.append('%s: %s material without shader' % (where, poly['name']))
                continue
            name, params = boxes[0]['shaders'][2]
            if name not in ('phong', 'caligari phong'):
                problems.append('%s: %s third shader is %s' % (where, poly['name'], name))
            for needed in ('diffuse factor', 'specular factor', 'specular colour'):
                if needed not in params:
                    problems.append('%s: %s shader lacks %s' % (where, poly['name'], needed))
            texture = materials[0]['texture']
            if texture and not os.path.isfile(os.path.join(texture_dir, texture.replace('\\', '/').split('/')[-1])):
                problems.append('%s: texture %s missing' % (where, texture))
            points = [poly['vertices'][v] for v, _ in face['corners']]
            for i, normal in enumerate(cob_face_normals(poly, face)):
                lit.append(((points[0], points[i + 1], points[i + 2]), normal))
        # A backdrop surrounds the scene and is seen from inside.
        if not poly['name'].startswith('Backdrop') and not _faces_outward(lit):
            problems.append('%s: %s faces look inwards' % (where, poly['name']))
    return problems


def check_model_file(path, texture_dir):
    """A model file named by a level loads the way the game loads it."""
    try:
        if path.lower().endswith('ms3d'):
            model = read_ms3d(read(path), path)
            problems = []
            if not model['triangles']:
                problems.append('%s: no triangles' % path)
            if model['tail'] != 14:
                problems.append('%s: unexpected bytes after the materials' % path)
            for material in model['materials']:
                if material['texture'] and not os.path.isfile(os.path.join(texture_dir, material['texture'])):
                    problems.append('%s: texture %s missing' % (path, material['texture']))
            lit = [([model['vertices'][i] for i in tri['indices']], tri['normals'][0])
                   for tri in model['triangles']]
            if not _faces_outward(lit):
                problems.append('%s: faces look inwards' % path)
            return problems
        if path.lower().endswith('cob'):
            records = read_cob(read(path), path)
            if len(records['PolH']) != 1:
                return ['%s: %d polyhedra in a model file' % (path, len(records['PolH']))]
            return check_cob_polyhedra(records, texture_dir, path)
        return ['%s: not a model file' % path]
    except (FormatError, OSError) as error:
        return [str(error)]


# ---------------------------------------------------------------- pictures and sounds

def check_media(root):
    problems = []
    total = 0
    for path in sorted(glob.glob(os.path.join(root, 'data', '**'), recursive=True)):
        if not os.path.isfile(path):
            continue
        total += os.path.getsize(path)
        try:
            if path.endswith('.bmp'):
                picture = read_bmp(read(path), path)
                for side in (picture['width'], picture['height']):
                    if side not in (64, 128, 256):
                        problems.append('%s: side of %d pixels' % (path, side))
            elif path.endswith('.wav'):
                sound = read_wav(read(path), path)
                if sound['channels'] != 1:
                    problems.append('%s: positional sounds must be mono' % path)
                if not 0.03 < sound['seconds'] < 4:
                    problems.append('%s: %.2f seconds long' % (path, sound['seconds']))
            elif path.endswith('.ogg'):
                data = read(path)
                if not data.startswith(b'OggS') or b'\x01vorbis' not in data[:64]:
                    problems.append('%s: not Ogg Vorbis' % path)
        except FormatError as error:
            problems.append(str(error))
    if total > 10 * 1024 * 1024:
        problems.append('data holds %d bytes' % total)
    return problems


# ---------------------------------------------------------------- scripts

def check_script(text, directory, events, where):
    """Parses by the grammar; every event is bound; every action names a declared sound
    file or particle block that exists and reads."""
    try:
        blocks = read_script(text)
    except FormatError as error:
        return ['%s: %s' % (where, error)]
    problems = []
    declared = {(kind, name): statements for kind, name, statements in blocks}
    for event in events:
        action = declared.get(('action', event))
        if not action:
            problems.append('%s: event %s is not bound' % (where, event))
            continue
        kinds = {ACTION_KEYS.get(key) for key, _ in action}
        if 'sound' not in kinds or (event not in ('finish',) and 'pts' not in kinds):
            problems.append('%s: event %s lacks a sound or an effect' % (where, event))
        for key, value in action:
            kind = ACTION_KEYS.get(key)
            if kind is None:
                problems.append('%s: %s has unknown statement %s' % (where, event, key))
            elif (kind, value) not in declared:
                problems.append('%s: %s names undeclared %s %s' % (where, event, kind, value))
    for (kind, name), statements in declared.items():
        keys = dict(statements)
        if kind == 'sound':
            target = os.path.join(directory, keys.get('file', ''))
            if not os.path.isfile(target):
                problems.append('%s: sound %s file %s missing' % (where, name, keys.get('file')))
        elif kind == 'pts':
            problems += _check_pts(name, keys, directory, where)
    return problems


def _check_pts(name, keys, directory, where):
    problems = []
    if keys.get('type') not in PTS_TYPES:
        problems.append('%s: pts %s has type %s' % (where, name, keys.get('type')))
    for key in keys:
        if key not in PTS_KEYS:
            problems.append('%s: pts %s has unknown key %s' % (where, name, key))
    if not os.path.isfile(os.path.join(directory, keys.get('texture', ''))):
        problems.append('%s: pts %s texture missing' % (where, name))
    try:
        for key in ('live', 'gen_rate', 'size', 'red', 'green', 'blue', 'alpha'):
            numbers(keys[key], 3)
        for key in ('x_vel', 'y_vel', 'z_vel', 'x_grv', 'y_grv', 'z_grv'):
            if key in keys:
                numbers(keys[key], 3)
        if numbers(keys['live'], 3)[0] <= 0 or int(keys['particles']) <= 0:
            problems.append('%s: pts %s never shows a particle' % (where, name))
        surface = int(keys.get('surf_type', '0'))
        if surface > 1:
            problems.append('%s: pts %s has no emission surface' % (where, name))
        if 'surf_loc_rot' in keys:
            numbers(keys['surf_loc_rot'], 6)
        if surface == 0:
            numbers(keys['volume_surf'], 3)
        if surface == 1:
            numbers(keys['circ_rad_incs'], 2)
    except (FormatError, KeyError, ValueError) as error:
        problems.append('%s: pts %s: %s' % (where, name, error))
    return problems
