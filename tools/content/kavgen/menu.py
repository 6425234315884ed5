"""The scene behind the main menu (data/.default) and the interface sounds."""

from . import assets, cob, scenery, ships, sounds, synth, textures
from . import mesh as geo
from .mesh import Material
from . import script as scr
from .cob import LIGHT_DIRECTIONAL, LIGHT_POSITIONAL, LIGHT_SPOT
from .layouts import RED, BLUE

BASE = 'data/.default'
SHOW_CHORDS = ((-12, -8, -5), (-15, -12, -8), (-10, -7, -3), (-17, -13, -10))  # A F#m Bm E, slow


def _script():
    script = scr.Script('Main menu: music and drifting lights behind the menu')
    script.sound('music', 'sounds/music.ogg')
    script.pts('stars', [
        ('type', 'moving'), ('surf_type', 0), ('surf_loc_rot', (0, 30, 8, 0, 0, 0)),
        ('volume_surf', '70,4,30'), ('texture', 'texture/glow.bmp'), ('live', (4000, 7000, 1)),
        ('gen_rate', (0.03, 0.03, 0)), ('size', (0.15, 0.15, 0)), ('red', (0.9, 0.9, 0)),
        ('green', (0.9, 0.9, 0)), ('blue', (1, 1, 0)), ('alpha', (0, 1, 0)),
        ('x_vel', (-0.0003, -0.0001, 1)), ('y_vel', (0, 0, 0)), ('z_vel', (-0.0001, 0.0001, 1)),
        ('regenerate', 1), ('particles', 150)])
    # Behind the engines of the ship on show (scaled 2.5, standing 0.4 up).
    for side, x in (('left', -0.5), ('right', 0.5)):
        script.pts('engine_' + side, [
            ('type', 'moving'), ('surf_type', -1), ('surf_loc_rot', (x, 1.75, 0.4, 0, 0, 0)),
            ('texture', 'texture/glow.bmp'), ('live', (400, 700, 1)), ('gen_rate', (0.05, 0.05, 0)),
            ('size', (0.45, 0.05, 0)), ('red', (1, 0.6, 0)), ('green', (0.6, 0.1, 0)),
            ('blue', (0.2, 0, 0)), ('alpha', (0.9, 0, 0)), ('x_vel', (-0.0002, 0.0002, 1)),
            ('y_vel', (0.002, 0.004, 1)), ('z_vel', (-0.0002, 0.0002, 1)),
            ('regenerate', 1), ('particles', 40)])
    script.pts('motes', scr.motes((0, 0, 1.5), (24, 24, 3), (0.4, 0.7, 1.0), 'texture/glow.bmp', 60))
    script.action('start', [('LoopSound', 'music'), ('StartPts', 'stars'),
                            ('StartPts', 'engine_left'), ('StartPts', 'engine_right'),
                            ('StartPts', 'motes')])
    return script.text()


SKY_HALF = 45.0


def _box_corner(index):
    return [(-SKY_HALF, -SKY_HALF), (SKY_HALF, -SKY_HALF), (SKY_HALF, SKY_HALF), (-SKY_HALF, SKY_HALF)][index % 4]


def _scene():
    scene = cob.CobScene()
    group = scene.group('Showroom', (0.0, 0.0, 0.0))
    scene.polyhedron(scenery.floor('Floor', 40, -0.6, 'floor.bmp', tiles=16, repeat=1.0), (0, 0, 0), group)
    hero = ships.arrow(RED, 'hull.bmp', size=2.5)
    hero.name = 'Hero'
    scene.polyhedron(hero, (0.0, 0.0, 0.4), group)
    rival = ships.manta(BLUE, 'hull.bmp', size=1.8)
    rival.name = 'Rival'
    scene.polyhedron(rival, (-5.0, 5.0, 0.1), group)
    pillar = scenery.pillar('Pillar', (0.5, 0.52, 0.6), (1.0, 0.5, 0.2), 2.5)
    for index, (x, y) in enumerate(((-7.0, -2.0), (7.0, -2.0), (-7.0, 6.0), (7.0, 6.0))):
        pillar.name = 'Pillar%d' % index
        scene.polyhedron(pillar, (x, y, 0.0), group)
    # A starry box around the showroom, seen from inside, and a planet rising behind.
    sky = Material('Sky', (1.0, 1.0, 1.0), 1.0, 0.3, 0.0, 0.0, 'stars.bmp', (1.0, 1.0))
    backdrop = geo.Mesh('Backdrop')
    for corner in range(4):
        a = _box_corner(corner)
        b = _box_corner(corner + 1)
        quad = [(a[0], a[1], -1.0), (b[0], b[1], -1.0), (b[0], b[1], 40.0), (a[0], a[1], 40.0)]
        outside = ((a[0] + b[0]) * 2.0, (a[1] + b[1]) * 2.0, 20.0)
        geo.add_polygon(backdrop, quad, sky, inside=outside,
                        uvs=[(0.0, 0.0), (4.0, 0.0), (4.0, 2.0), (0.0, 2.0)])
    scene.polyhedron(backdrop, (0.0, 0.0, 0.0), group)
    planet = geo.Mesh('Planet')
    geo.add_sphere(planet, (0.0, 0.0, 0.0), 6.5, 12, 20,
                   Material('Planet', (1.0, 0.85, 0.8), 0.5, 0.9, 0.1, 0.1, 'planet.bmp', (1.0, 1.0)),
                   uv_scale=0.08)
    scene.polyhedron(planet, (-20.0, 38.0, 5.0), group)
    scene.camera('Showroom', (4.5, -6.5, 2.6), (-0.3, 0.3, 0.3))
    scene.camera('Wide', (0.0, -14.0, 7.0), (0.0, 1.0, 0.0))
    scene.light('Key', LIGHT_DIRECTIONAL, (4.0, -6.0, 8.0), (0.8, 0.75, 0.7))
    scene.light('Rim', LIGHT_POSITIONAL, (-4.0, 6.0, 4.0), (0.2, 0.3, 0.6))
    scene.light('Spot', LIGHT_SPOT, (0.0, -3.0, 9.0), (0.5, 0.45, 0.4), target=(0.0, 0.0, 0.0), cone=30.0)
    return scene.bytes()


def write_menu(tree):
    floor = [(0.0, (8, 8, 14)), (0.5, (40, 44, 60)), (0.85, (100, 108, 130)), (1.0, (200, 210, 240))]
    tree.put(BASE + '/texture/floor.bmp', textures.panel_floor(256, floor, 61, tiles=2))
    tree.put(BASE + '/texture/hull.bmp', assets.hull_texture())
    tree.put(BASE + '/texture/stars.bmp', textures.starfield(256, 71))
    planet = [(0.0, (30, 50, 90)), (0.45, (60, 110, 160)), (0.6, (200, 190, 150)), (1.0, (250, 250, 240))]
    tree.put(BASE + '/texture/planet.bmp', textures.rock(128, planet, 73, banding=2.0))
    assets.put_sprites(tree, BASE)
    tree.put(BASE + '/sounds/music.ogg', assets.music_file(SHOW_CHORDS, 84, 4))
    tree.put(BASE + '/default.scn', _scene())
    tree.put(BASE + '/default.scr', _script())
    tree.put('data/sounds/over.wav', synth.wav_bytes(sounds.ui_over()))
    tree.put('data/sounds/click.wav', synth.wav_bytes(sounds.ui_click()))
