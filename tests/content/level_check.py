"""Checks of whole levels and of the menu scene, by the two ways the game loads a level
(everything in the description file, or a scene file) and by the menu's own rules."""

import math
import os

from content_check import (LEVEL_EVENTS, SHIP_EVENTS, check_cob_polyhedra, check_model_file,
                           check_path, check_script, ini_points, level_ini, playable_levels, read,
                           scene_points, start_edge)
from formats import FormatError, Ini, decompose, numbers, read_cob, read_script


def _ship_problems(starts, where):
    """Both ships stand on path points, apart, facing along an edge that exists."""
    problems = []
    placed = []
    for name, start in starts:
        if start is None:
            problems.append('%s: %s does not stand on a path point' % (where, name))
        elif not start[2]:
            problems.append('%s: %s start angle matches no edge of its point' % (where, name))
        else:
            placed.append(start[0])
    if len(starts) != 2:
        problems.append('%s: %d ships' % (where, len(starts)))
    if len(set(placed)) != len(placed):
        problems.append('%s: ships start on the same point' % where)
    return problems


def check_file_level(directory, ini_path):
    """A level described by its INI file alone."""
    where = ini_path
    ini = Ini(read(ini_path).decode('ascii'))
    texture_dir = os.path.join(directory, ini.get('level', 'texture_path'))
    problems = []
    try:
        points = ini_points(ini, where)
    except FormatError as error:
        return [str(error)]
    problems += check_path(points, where)
    script = ini.get('level', 'script')
    if not script:
        problems.append('%s: no level script' % where)
    else:
        problems += check_script(read(os.path.join(directory, script)).decode('ascii'), directory,
                                 LEVEL_EVENTS, script)
    starts = []
    models = []
    n = 0
    while ini.has('ship%d' % n):
        section = 'ship%d' % n
        for key in ('ship_file', 'bullet_file'):
            problems += check_model_file(os.path.join(directory, ini.get(section, key)), texture_dir)
        models.append(read(os.path.join(directory, ini.get(section, 'ship_file'))))
        try:
            location = numbers(ini.get(section, 'ship_loc'), 3)
            angle = numbers(ini.get(section, 'ship_rot'), 3)[2]
            numbers(ini.get(section, 'bullet_offset'), 3)
            starts.append((section, start_edge(points, location, angle)))
        except FormatError as error:
            problems.append('%s: %s %s' % (where, section, error))
        problems += check_script(read(os.path.join(directory, ini.get(section, 'script'))).decode('ascii'),
                                 directory, SHIP_EVENTS, ini.get(section, 'script'))
        n += 1
    problems += _ship_problems(starts, where)
    if len(models) == 2 and models[0] == models[1]:
        problems.append('%s: the two ships look alike' % where)
    n = 0
    while ini.has('obj%d' % n):
        problems += check_model_file(os.path.join(directory, ini.get('obj%d' % n, 'file')), texture_dir)
        n += 1
    if n == 0:
        problems.append('%s: no static objects' % where)
    problems += _check_ini_views(ini, where)
    return problems


def _check_ini_views(ini, where):
    problems = []
    cameras = 0
    while ini.has('camera%d' % cameras):
        section = 'camera%d' % cameras
        try:
            eye = numbers(ini.get(section, 'loc'), 3)
            target = numbers(ini.get(section, 'look_at'), 3)
            up = numbers(ini.get(section, 'up_dir'), 3)
            forward = [t - e for t, e in zip(target, eye)]
            if abs(sum(a * b for a, b in zip(forward, up))) > 1e-3 * math.sqrt(sum(a * a for a in forward)):
                problems.append('%s: %s up_dir is not square to the view' % (where, section))
            if up[2] <= 0:
                problems.append('%s: %s is upside down' % (where, section))
        except FormatError as error:
            problems.append('%s: %s %s' % (where, section, error))
        cameras += 1
    if cameras < 2:
        problems.append('%s: %d cameras' % (where, cameras))
    lights = 0
    while ini.has('light%d' % lights):
        section = 'light%d' % lights
        try:
            kind = int(ini.get(section, 'type'))
            if kind not in (1, 2, 4):
                problems.append('%s: %s of type %d is dropped' % (where, section, kind))
            if len(ini.get(section, 'loc').split(',')) < 3:
                problems.append('%s: %s location' % (where, section))
            for key in ('ambient', 'diffuse', 'specular'):
                numbers(ini.get(section, key), 3)
            if kind == 4:
                numbers(ini.get(section, 'direction'), 3)
                float(ini.get(section, 'angle_illumination'))
                float(ini.get(section, 'exponent'))
        except (FormatError, ValueError) as error:
            problems.append('%s: %s %s' % (where, section, error))
        lights += 1
    if not lights:
        problems.append('%s: no lights' % where)
    return problems


def check_scene_level(directory, ini_path):
    """A level whose geometry, path and scripts live in one scene file."""
    ini = Ini(read(ini_path).decode('ascii'))
    scene_path = os.path.join(directory, ini.get('level', 'level_scene'))
    texture_dir = os.path.join(directory, ini.get('level', 'texture_path'))
    try:
        records = read_cob(read(scene_path), scene_path)
    except (FormatError, OSError) as error:
        return [str(error)]
    where = scene_path
    problems = check_cob_polyhedra(records, texture_dir, where)
    if len(records['NCur']) != 1:
        return problems + ['%s: %d curves' % (where, len(records['NCur']))]
    curve = records['NCur'][0]
    try:
        points = scene_points(curve['controls'], curve['axes'][0])
    except FormatError as error:
        return problems + ['%s: %s' % (where, error)]
    problems += check_path(points, where)
    notes = {note['parent']: note['text'] for note in records['Note']}
    if curve['parent'] not in notes:
        problems.append('%s: no level script note' % where)
    else:
        problems += check_script(notes[curve['parent']], directory, LEVEL_EVENTS, where + ' level note')
    groups = records['Grou']
    level_groups = [g for g in groups if g['name'].startswith('Level')]
    if not level_groups or not any(p['parent'] == level_groups[0]['id'] for p in records['PolH']):
        problems.append('%s: no Level group with objects' % where)
    starts = []
    ship_meshes = []
    for group in (g for g in groups if g['name'].startswith('LoadedShip')):
        members = [p for p in records['PolH'] if p['parent'] == group['id']]
        ship = next((p for p in members if p['name'].startswith('Ship')), None)
        bullet = next((p for p in members if p['name'].startswith('Bullet')), None)
        if ship is None or bullet is None:
            problems.append('%s: %s lacks Ship or Bullet' % (where, group['name']))
            continue
        ship_meshes.append(ship['vertices'])
        location, rotation, _ = decompose(ship['matrix'])
        starts.append((group['name'], start_edge(points, group['axes'][0], rotation[2])))
        if group['id'] not in notes:
            problems.append('%s: %s has no script note' % (where, group['name']))
        else:
            problems += check_script(notes[group['id']], directory, SHIP_EVENTS,
                                     '%s note of %s' % (where, group['name']))
    problems += _ship_problems(starts, where)
    if len(ship_meshes) == 2 and ship_meshes[0] == ship_meshes[1]:
        problems.append('%s: the two ships look alike' % where)
    if len(records['Came']) < 2:
        problems.append('%s: %d cameras' % (where, len(records['Came'])))
    if not [light for light in records['Lght'] if light['type'] in (1, 2, 4)]:
        problems.append('%s: no lights' % where)
    return problems


def check_levels(root):
    problems = []
    ways = set()
    for directory in playable_levels(root):
        ini_path = level_ini(directory)
        ini = Ini(read(ini_path).decode('ascii'))
        if ini.has('level', 'level_scene'):
            ways.add('scene')
            problems += check_scene_level(directory, ini_path)
        else:
            ways.add('file')
            problems += check_file_level(directory, ini_path)
    if ways != {'scene', 'file'}:
        problems.append('levels are described only by %s' % ', '.join(sorted(ways)))
    return problems


def check_menu(root):
    """The menu scene: a scene with models, cameras and lights, textures under texture/,
    and a script whose start runs music and particle effects."""
    base = os.path.join(root, 'data', '.default')
    problems = []
    try:
        records = read_cob(read(os.path.join(base, 'default.scn')), 'default.scn')
    except (FormatError, OSError) as error:
        return [str(error)]
    problems += check_cob_polyhedra(records, os.path.join(base, 'texture'), 'default.scn')
    if not records['Came']:
        problems.append('default.scn: no camera')
    if not records['Lght']:
        problems.append('default.scn: no light')
    text = read(os.path.join(base, 'default.scr')).decode('ascii')
    problems += check_script(text, base, ('start',), 'default.scr')
    actions = [s for kind, name, s in read_script(text) if kind == 'action' and name == 'start']
    if actions and not any(key == 'LoopSound' for key, _ in actions[0]):
        problems.append('default.scr: start plays no music loop')
    for sound in ('over.wav', 'click.wav'):
        if not os.path.isfile(os.path.join(root, 'data', 'sounds', sound)):
            problems.append('data/sounds/%s missing' % sound)
    return problems
