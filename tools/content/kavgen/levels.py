"""Level descriptions and the two ways of writing them: everything in the level's INI
file (models, scripts and path named there), or one scene file holding the path curve,
the level group, the two ship groups and their scripts as notes."""

import math
from dataclasses import dataclass, field

from . import assets, cob, ms3d, ships
from . import mesh as geo
from . import script as scr
from .ini import ini_text
from .path import UP, RIGHT, DOWN, LEFT

# The ship's own rotation about z that makes it start along each direction.
START_ANGLE = {DOWN: 0, RIGHT: 90, UP: 180, LEFT: 270}
BULLET_OFFSET = (0.0, -0.2, 0.28)
SHAPES = {'arrow': ships.arrow, 'manta': ships.manta}


@dataclass
class ShipSpec:
    shape: str
    livery: ships.Livery
    node: tuple
    direction: int
    model_format: str = 'ms3d'


@dataclass
class Prop:
    mesh: geo.Mesh
    position: tuple
    model_format: str = 'ms3d'


@dataclass
class CameraSpec:
    name: str
    eye: tuple
    target: tuple


@dataclass
class LightSpec:
    kind: int                 # 1 directional, 2 positional, 4 spot
    position: tuple
    colour: tuple
    ambient: float = 0.2      # share of the colour given as ambient (level files only)
    target: tuple = None      # spot lights
    cone: float = 40.0
    exponent: float = 6.0


@dataclass
class LevelSpec:
    directory: str
    title: str
    grid: object
    background: tuple
    ships: list
    props: list
    cameras: list
    lights: list
    voice: assets.Voice
    track_colour: tuple
    ambient_colour: tuple
    textures: dict = field(default_factory=dict)   # extra texture files: name -> bytes


def lane_distance(grid, x, y):
    """Distance in the x-y plane from a point to the nearest lane of the grid."""
    best = float('inf')
    for node in grid.nodes:
        for direction in (UP, RIGHT):
            other = grid.neighbour(node, direction)
            if other is None:
                continue
            ax, ay, _ = grid.world(node)
            bx, by, _ = grid.world(other)
            cx = min(max(x, min(ax, bx)), max(ax, bx))
            cy = min(max(y, min(ay, by)), max(ay, by))
            best = min(best, math.hypot(x - cx, y - cy))
    return best


def check_clear(grid, prop):
    """A prop standing near a lane would hide the ships: refuse it."""
    px, py, _ = prop.position
    for vx, vy, vz in prop.mesh.vertices:
        if vz > -0.3 and lane_distance(grid, px + vx, py + vy) < 0.7:
            raise ValueError('%s stands on a lane' % prop.mesh.name)


def _ship_meshes(spec):
    shape = SHAPES[spec.shape]
    return shape(spec.livery, 'hull.bmp'), ships.bullet(spec.livery)


def _common_files(tree, level):
    """Textures, sprites and sounds; returns the per-ship sound tables."""
    base = 'data/' + level.directory
    tree.put(base + '/texture/hull.bmp', assets.hull_texture())
    tree.put(base + '/texture/track.bmp', assets.track_texture(level.track_colour))
    for name, data in level.textures.items():
        tree.put('%s/texture/%s' % (base, name), data)
    assets.put_sprites(tree, base)
    return assets.put_sounds(tree, base, level.voice)


def _model_bytes(mesh, model_format):
    return ms3d.model_bytes(mesh) if model_format == 'ms3d' else cob.single_model(mesh)


def _ship_script(level, index, ship, sound_table):
    return scr.ship_script('%s, ship %d: engine, whine, shot, reload, blast, bump and trail'
                           % (level.title, index), ship.livery.glow, sound_table, assets.SPRITES)


def _level_script(level):
    xs = [level.grid.world(n)[0] for n in level.grid.nodes]
    ys = [level.grid.world(n)[1] for n in level.grid.nodes]
    centre = ((min(xs) + max(xs)) / 2.0, (min(ys) + max(ys)) / 2.0, 1.5)
    size = (max(xs) - min(xs) + 4.0, max(ys) - min(ys) + 4.0, 3.0)
    ambient = scr.motes(centre, size, level.ambient_colour, assets.SPRITES['glow'])
    return scr.level_script('%s: music while racing, a fanfare for the winner' % level.title,
                            'sounds/music.ogg', 'sounds/fanfare.wav', ambient)


def _camera_entries(camera):
    _, up, _ = cob.frame_axes(camera.eye, camera.target)
    return [('name', camera.name), ('loc', camera.eye), ('look_at', camera.target),
            ('up_dir', tuple(round(c, 4) for c in up))]


def _light_entries(light):
    position = tuple(light.position) + ((0.0,) if light.kind == 1 else (1.0,))
    entries = [('type', light.kind), ('loc', position)]
    if light.kind == 4:
        direction = geo.normalise(geo.sub(light.target, light.position))
        entries += [('direction', tuple(round(c, 4) for c in direction)),
                    ('angle_illumination', light.cone), ('exponent', light.exponent)]
    entries += [('ambient', tuple(round(c * light.ambient, 4) for c in light.colour)),
                ('diffuse', light.colour), ('specular', light.colour)]
    return entries


def write_file_level(tree, level):
    """A level described by its INI file alone."""
    base = 'data/' + level.directory
    sound_tables = _common_files(tree, level)
    for prop in level.props:
        check_clear(level.grid, prop)
    sections = []
    tree.put(base + '/level.scr', _level_script(level))
    for index, ship in enumerate(level.ships):
        ship_mesh, bullet_mesh = _ship_meshes(ship)
        ship_file = 'models/%s.%s' % (ship_mesh.name.lower(), ship.model_format)
        bullet_file = 'models/%s.ms3d' % bullet_mesh.name.lower()
        tree.put('%s/%s' % (base, ship_file), _model_bytes(ship_mesh, ship.model_format))
        tree.put('%s/%s' % (base, bullet_file), ms3d.model_bytes(bullet_mesh))
        tree.put('%s/ship%d.scr' % (base, index), _ship_script(level, index, ship, sound_tables[index]))
        sections.append(('ship%d' % index, [
            ('ship_file', ship_file), ('bullet_file', bullet_file),
            ('ship_loc', tuple(float(c) for c in level.grid.world(ship.node))),
            ('ship_rot', (0, 0, START_ANGLE[ship.direction])),
            ('bullet_offset', BULLET_OFFSET), ('bullet_rot', (0, 0, 0)),
            ('script', 'ship%d.scr' % index)]))
    for index, prop in enumerate(level.props):
        prop_file = 'models/%s.%s' % (prop.mesh.name.lower(), prop.model_format)
        tree.put('%s/%s' % (base, prop_file), _model_bytes(prop.mesh, prop.model_format))
        sections.append(('obj%d' % index, [('file', prop_file), ('loc', prop.position),
                                           ('rot', (0, 0, 0))]))
    for index, camera in enumerate(level.cameras):
        sections.append(('camera%d' % index, _camera_entries(camera)))
    for index, light in enumerate(level.lights):
        sections.append(('light%d' % index, _light_entries(light)))
    head = [('general', [('level_name', level.title), ('max_players', 2),
                         ('crc', tree.checksum(base))]),
            ('level', [('texture_path', 'texture'), ('script', 'level.scr'),
                       ('bg_color', level.background)]),
            ('path', level.grid.ini_entries())]
    tree.put('%s/%s.ini' % (base, level.directory), ini_text(head + sections))


def write_scene_level(tree, level):
    """A level whose geometry, path and scripts all live in one scene file."""
    base = 'data/' + level.directory
    sound_tables = _common_files(tree, level)
    scene = cob.CobScene()
    level_group = scene.group('Level', (0.0, 0.0, 0.0))
    for prop in level.props:
        check_clear(level.grid, prop)
        scene.polyhedron(prop.mesh, prop.position, level_group)
    start = level.grid.nodes[0]
    scene.path_curve('Path', level.grid.walk(start), level_group)
    scene.note(_level_script(level), level_group)
    for index, ship in enumerate(level.ships):
        if ship.direction != DOWN:
            raise ValueError('ships of scene levels start along Down (no rotation)')
        ship_mesh, bullet_mesh = _ship_meshes(ship)
        position = tuple(float(c) for c in level.grid.world(ship.node))
        group = scene.group('LoadedShip' + ship.livery.name, position)
        scene.polyhedron(ship_mesh, position, group)
        scene.polyhedron(bullet_mesh, geo.add(position, BULLET_OFFSET), group)
        scene.note(_ship_script(level, index, ship, sound_tables[index]), group)
    for camera in level.cameras:
        scene.camera(camera.name, camera.eye, camera.target)
    for index, light in enumerate(level.lights):
        scene.light('Light%d' % index, light.kind, light.position, light.colour, light.target,
                    light.cone)
    tree.put('%s/%s.cob' % (base, level.directory), scene.bytes())
    head = [('general', [('level_name', level.title), ('max_players', 2),
                         ('crc', tree.checksum(base))]),
            ('level', [('texture_path', 'texture'), ('level_scene', '%s.cob' % level.directory),
                       ('bg_color', level.background)])]
    tree.put('%s/%s.ini' % (base, level.directory), ini_text(head))
