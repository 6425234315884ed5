"""Checks of the shipped levels and menu scene, as the game itself loads them: kav-inspect
reports what the game built (path, ships, bound events, files it could not find) and
these checks hold that report to the rules a level author must keep. Every check returns
a list of problems (empty when the content is right), each naming the level and the rule."""

import json
import math
import os
import re
import subprocess

SHIP_EVENTS = ('fire', 'loaded', 'moving', 'hit', 'accelerate', 'slowdown', 'collision', 'bul_moving')
LEVEL_EVENTS = ('start', 'finish')
UP, RIGHT, DOWN, LEFT = 0, 1, 2, 3
POINT = re.compile(r'(\d+) at ([^;]+); up (\S+), right (\S+), down (\S+), left (\S+)$')


def find_inspector(root):
    """kav-inspect from the KAV_INSPECT environment variable or the default build; None
    when neither exists."""
    candidate = os.environ.get('KAV_INSPECT') or os.path.join(root, 'build', 'kav-inspect')
    return candidate if os.access(candidate, os.X_OK) else None


def inspect(inspector, directories, cwd):
    """One report per directory. A load writes saved.ini.all into the level, as the game
    does, so run it over a copy of data/."""
    run = subprocess.run([inspector, '--json'] + directories, cwd=cwd, stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, timeout=120, check=False)
    return [json.loads(line) for line in run.stdout.decode('utf-8').splitlines() if line.strip()]


def path_points(report):
    """The path the game built, as {'index', 'pos', 'nb' [up, right, down, left]}."""
    points = []
    for line in report['path']['points']:
        match = POINT.match(line)
        pos = tuple(float(c) for c in match.group(2).split(','))
        nb = [-1 if n == '-' else int(n) for n in match.groups()[2:]]
        points.append({'index': int(match.group(1)), 'pos': pos, 'nb': nb})
    return points


def check_path(points, where):
    """The grid rules: two-sided links on axis-parallel lanes in the named direction, whole
    units, all reached from the first point; and the layout has corners, T-junctions,
    crossings and loops."""
    if not points:
        return ['%s: no path' % where]
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
    linked = [[d for d in range(4) if p['nb'][d] >= 0] for p in points]
    kinds = {'corner': any(len(ds) == 2 and (ds[1] - ds[0]) % 2 for ds in linked),
             'T-junction': any(len(ds) == 3 for ds in linked), 'crossing': any(len(ds) == 4 for ds in linked)}
    problems += ['%s: the path has no %s' % (where, kind) for kind, found in kinds.items() if not found]
    if sum(len(ds) for ds in linked) // 2 < count:  # a tree of n points has n - 1 lanes
        problems.append('%s: the path has no loop' % where)
    return problems


def _common_problems(report, events, where):
    problems = ['%s: %s' % (where, problem) for problem in report.get('problems', [])]
    if not report.get('loads'):
        problems.append('%s: the game does not load it' % where)
    problems += ['%s: missing %s' % (where, missing) for missing in report.get('missingFiles', [])]
    bound = report.get('levelEvents', {})
    problems += ['%s: event %s is not bound' % (where, event) for event in events if event not in bound]
    return problems


def check_level(report):
    """Loads without a warning, every file present, a path by the grid rules, and two
    ships standing apart on path edges with every ship event bound."""
    where = report['level']
    problems = _common_problems(report, LEVEL_EVENTS, where)
    if 'path' in report:
        problems += check_path(path_points(report), where)
    ships = report.get('ships', [])
    if len(ships) != 2:
        problems.append('%s: %d ships' % (where, len(ships)))
    for ship in ships:
        name = '%s: ship %d' % (where, ship['player'])
        if not ship['placed'] or 'startEdge' not in ship:
            problems.append('%s does not start on a path edge' % name)
        problems += ['%s: event %s is not bound' % (name, event) for event in SHIP_EVENTS
                     if event not in ship['events']]
    if len(ships) == 2 and ships[0]['at'] == ships[1]['at']:
        problems.append('%s: ships start on the same point' % where)
    return problems


def check_menu(report):
    """The menu scene loads with cameras and lights, and its script binds the start event."""
    problems = _common_problems(report, ('start',), 'menu scene')
    if not report.get('cameras') or not report.get('lights'):
        problems.append('menu scene: no camera or no light')
    return problems
