"""The shipped levels: their lanes, looks, ships, cameras, lights and voices."""

from . import assets, scenery, textures
from .levels import (CameraSpec, LevelSpec, LightSpec, Prop, ShipSpec, write_file_level,
                     write_scene_level)
from .path import PathGrid, UP, RIGHT, DOWN, LEFT
from .ships import Livery

RED = Livery('Red', (0.85, 0.18, 0.12), (0.92, 0.92, 0.9), (1.0, 0.55, 0.15))
GREEN = Livery('Green', (0.2, 0.75, 0.3), (0.95, 0.85, 0.2), (0.3, 1.0, 0.5))
ORANGE = Livery('Orange', (0.95, 0.5, 0.1), (0.3, 0.3, 0.32), (1.0, 0.8, 0.2))
BLUE = Livery('Blue', (0.15, 0.35, 0.9), (0.85, 0.9, 0.95), (0.3, 0.7, 1.0))
PURPLE = Livery('Purple', (0.6, 0.2, 0.8), (0.9, 0.9, 0.95), (0.9, 0.4, 1.0))
YELLOW = Livery('Yellow', (0.95, 0.85, 0.15), (0.2, 0.2, 0.25), (1.0, 1.0, 0.5))
TEAL = Livery('Teal', (0.1, 0.7, 0.75), (0.9, 0.9, 0.85), (0.4, 1.0, 1.0))
WHITE = Livery('White', (0.92, 0.92, 0.95), (0.8, 0.15, 0.2), (1.0, 0.3, 0.3))

# Chords in semitones from A4.
A_MINOR = ((-12, -9, -5), (-16, -12, -9), (-9, -5, -2), (-14, -10, -7))      # Am F C G
D_FOURTHS = ((-19, -15, -12), (-14, -10, -7), (-21, -17, -14), (-16, -12, -9))  # D G C F
E_MINOR = ((-17, -14, -10), (-21, -17, -14), (-14, -10, -7), (-19, -15, -12))  # Em C G D
F_MINOR = ((-16, -13, -9), (-20, -16, -13), (-18, -14, -11), (-21, -17, -14))  # Fm Db Eb C


def crossroads(tree):
    """A square of lanes cut into four by a cross: corners, four T-junctions, one
    crossing and four loops, over a blue steel deck."""
    grid = PathGrid([((0, 0), (4, 0)), ((4, 0), (4, 4)), ((4, 4), (0, 4)), ((0, 4), (0, 0)),
                     ((0, 2), (4, 2)), ((2, 0), (2, 4))], spacing=3, origin=(-6, -6))
    deck = [(0.0, (10, 14, 24)), (0.45, (46, 62, 92)), (0.8, (110, 130, 160)), (1.0, (220, 235, 255))]
    props = [Prop(scenery.floor('Deck', 10, -0.6, 'deck.bmp', repeat=1.0), (0.0, 0.0, 0.0), 'cob')]
    props.append(Prop(scenery.track(grid, 'Lanes', (0.3, 0.9, 1.0), -0.45), (0.0, 0.0, 0.0)))
    pillar = scenery.pillar('Pillar', (0.55, 0.6, 0.7), (0.3, 0.9, 1.0), 1.6)
    for x in (-3.0, 3.0):
        for y in (-3.0, 3.0):
            props.append(Prop(pillar, (x, y, 0.0)))
    beacon = scenery.tower('Beacon', (0.35, 0.38, 0.45), (1.0, 0.4, 0.2), 2.5)
    for x in (-8.5, 8.5):
        for y in (-8.5, 8.5):
            props.append(Prop(beacon, (x, y, 0.0), 'cob'))
    level = LevelSpec(
        directory='crossroads', title='Crossroads', grid=grid, background=(0.02, 0.03, 0.08),
        ships=[ShipSpec('arrow', RED, (0, 0), RIGHT), ShipSpec('manta', GREEN, (4, 4), LEFT)],
        props=props,
        cameras=[CameraSpec('Overview', (0.0, -13.0, 14.0), (0.0, -0.5, 0.0)),
                 CameraSpec('Corner', (-12.0, -12.0, 6.5), (0.0, 0.0, -0.5)),
                 CameraSpec('Start line', (-3.5, -11.5, 3.0), (-5.5, -5.0, -0.5)),
                 CameraSpec('High', (0.0, -4.0, 22.0), (0.0, 0.0, 0.0))],
        lights=[LightSpec(1, (0.3, -0.5, 1.0), (0.75, 0.75, 0.8), 0.3),
                LightSpec(2, (0.0, 0.0, 6.0), (0.3, 0.5, 0.9), 0.1),
                LightSpec(4, (-9.0, -9.0, 10.0), (0.8, 0.7, 0.5), 0.0, (0.0, 0.0, 0.0), 35.0, 4.0)],
        voice=assets.Voice((55, 73), (300.0, 950.0), 3, A_MINOR, 120, 1),
        track_colour=(80, 220, 255), ambient_colour=(0.4, 0.8, 1.0),
        textures={'deck.bmp': textures.panel_floor(256, deck, 31)})
    write_file_level(tree, level)


def canyon(tree):
    """Two overlapping rectangles of lanes (two crossings) tied by a short link (two
    T-junctions), among desert mesas at dusk. Described by a scene."""
    grid = PathGrid([((0, 0), (4, 0)), ((4, 0), (4, 3)), ((4, 3), (0, 3)), ((0, 3), (0, 0)),
                     ((2, 1), (6, 1)), ((6, 1), (6, 4)), ((6, 4), (2, 4)), ((2, 4), (2, 1)),
                     ((4, 3), (4, 4))], spacing=3, origin=(-9, -6))
    sand = [(0.0, (70, 30, 14)), (0.4, (150, 82, 40)), (0.75, (210, 140, 80)), (1.0, (245, 210, 160))]
    stone = [(0.0, (50, 24, 16)), (0.5, (125, 60, 35)), (1.0, (200, 130, 90))]
    props = [Prop(scenery.floor('LevelSand', 14, -0.6, 'sand.bmp', repeat=1.0), (0.0, 0.0, 0.0)),
             Prop(scenery.track(grid, 'LevelLanes', (1.0, 0.6, 0.2), -0.45), (0.0, 0.0, 0.0))]
    mesas = [((-6.0, -1.5), 1.2, 1.4), ((6.0, 1.5), 1.2, 2.0), ((0.0, 0.0), 0.9, 1.0),
             ((-12.0, 2.0), 1.6, 3.5), ((12.0, -3.0), 1.7, 4.0), ((-2.0, 9.5), 2.0, 3.0),
             ((3.5, -9.5), 1.8, 2.5)]
    for index, ((x, y), radius, height) in enumerate(mesas):
        outline = [(radius * c, radius * s) for c, s in ((1, 0), (0.6, 0.8), (-0.3, 0.95), (-1, 0.1),
                                                           (-0.5, -0.85), (0.5, -0.9))]
        props.append(Prop(scenery.rock('LevelMesa%d' % index, 'stone.bmp', (1.0, 0.9, 0.85),
                                       outline, height), (x, y, 0.0)))
    level = LevelSpec(
        directory='canyon', title='Canyon Run', grid=grid, background=(0.38, 0.18, 0.1),
        ships=[ShipSpec('arrow', ORANGE, (0, 3), DOWN), ShipSpec('manta', BLUE, (6, 4), DOWN)],
        props=props,
        cameras=[CameraSpec('Canyon', (0.0, -15.0, 16.0), (0.0, -0.5, 0.0)),
                 CameraSpec('Mesa', (15.0, -12.0, 7.0), (0.0, 0.0, -0.5)),
                 CameraSpec('Sunset', (-15.0, 11.0, 9.0), (0.0, 0.0, -1.0)),
                 CameraSpec('Gorge', (-2.0, 5.5, 2.5), (-9.0, 3.0, -0.3))],
        lights=[LightSpec(1, (-10.0, -6.0, 12.0), (0.85, 0.6, 0.4)),
                LightSpec(2, (8.0, 8.0, 6.0), (0.25, 0.25, 0.45)),
                LightSpec(4, (0.0, -2.0, 14.0), (0.4, 0.35, 0.3), target=(0.0, 0.0, 0.0), cone=45.0)],
        voice=assets.Voice((49, 82), (260.0, 820.0), -2, D_FOURTHS, 100, 2),
        track_colour=(255, 150, 60), ambient_colour=(1.0, 0.7, 0.4),
        textures={'sand.bmp': textures.rock(256, sand, 41, banding=0.0),
                  'stone.bmp': textures.rock(128, stone, 43, banding=3.0)})
    write_scene_level(tree, level)


def twin_orbit(tree):
    """Two loops stacked on a spine that crosses both, floating over a starfield: two
    crossings, two T-junctions, eight corners. Ships are scene models, bullets MS3D."""
    grid = PathGrid([((0, 0), (6, 0)), ((6, 0), (6, 2)), ((6, 2), (0, 2)), ((0, 2), (0, 0)),
                     ((3, 0), (3, 5)), ((1, 3), (5, 3)), ((5, 3), (5, 5)), ((5, 5), (1, 5)),
                     ((1, 5), (1, 3))], spacing=3, origin=(-9, -8))
    props = [Prop(scenery.floor('Void', 14, -0.6, 'stars.bmp', repeat=1.0), (0.0, 0.0, 0.0), 'cob'),
             Prop(scenery.track(grid, 'Orbit', (1.0, 0.4, 0.9), -0.45), (0.0, 0.0, 0.0), 'cob')]
    crystals = scenery.crystal_cluster('Crystals', (0.5, 0.9, 1.0),
                                       [(0.0, 0.0, 0.45, 2.6), (0.9, 0.4, 0.3, 1.6), (-0.8, -0.3, 0.28, 1.3)])
    for x, y in ((-4.5, -5.0), (4.5, -5.0), (-3.0, 4.0), (3.0, 4.0)):
        props.append(Prop(crystals, (x, y, 0.0)))
    mast = scenery.tower('Mast', (0.3, 0.3, 0.4), (0.9, 0.4, 1.0), 4.0)
    for x, y in ((-12.0, 5.0), (12.0, 5.0), (-12.0, -9.0), (12.0, -9.0)):
        props.append(Prop(mast, (x, y, 0.0)))
    level = LevelSpec(
        directory='twin_orbit', title='Twin Orbit', grid=grid, background=(0.07, 0.02, 0.12),
        ships=[ShipSpec('manta', PURPLE, (0, 0), UP, 'cob'), ShipSpec('arrow', YELLOW, (5, 5), LEFT, 'cob')],
        props=props,
        cameras=[CameraSpec('Orbit', (0.0, -18.0, 18.0), (0.0, -0.5, 0.0)),
                 CameraSpec('Spine', (16.0, -5.0, 8.0), (0.0, -0.5, -0.5)),
                 CameraSpec('Upper loop', (-11.0, 15.0, 10.0), (0.0, 2.5, 0.0)),
                 CameraSpec('Launch', (-4.0, -13.0, 3.0), (-9.0, -5.0, -0.5))],
        lights=[LightSpec(1, (0.2, -0.4, 1.0), (0.7, 0.7, 0.75), 0.3),
                LightSpec(2, (0.0, -5.0, 5.0), (0.8, 0.3, 0.7), 0.1),
                LightSpec(2, (0.0, 5.0, 5.0), (0.3, 0.7, 0.9), 0.1)],
        voice=assets.Voice((62, 46), (340.0, 1100.0), 7, E_MINOR, 132, 3),
        track_colour=(255, 90, 230), ambient_colour=(0.8, 0.5, 1.0),
        textures={'stars.bmp': textures.starfield(256, 51)})
    write_file_level(tree, level)


def foundry(tree):
    """A big loop with a hooked shortcut inside: one crossing, four T-junctions, six
    corners, among tanks, crates and chimneys on a rusty deck. Described by a scene."""
    grid = PathGrid([((0, 0), (6, 0)), ((6, 0), (6, 5)), ((6, 5), (0, 5)), ((0, 5), (0, 0)),
                     ((0, 2), (4, 2)), ((4, 2), (4, 5)), ((2, 0), (2, 3)), ((2, 3), (4, 3))],
                    spacing=3, origin=(-9, -7))
    rust = [(0.0, (30, 22, 18)), (0.4, (90, 60, 40)), (0.7, (140, 100, 70)), (1.0, (210, 190, 160))]
    props = [Prop(scenery.floor('LevelDeck', 14, -0.6, 'rust.bmp', repeat=1.0), (0.0, 0.0, 0.0)),
             Prop(scenery.track(grid, 'LevelLanes', (0.7, 1.0, 0.2), -0.45), (0.0, 0.0, 0.0))]
    chimney = scenery.pillar('LevelChimney', (0.45, 0.3, 0.25), (1.0, 0.35, 0.1), 4.5, radius=0.6)
    tank = scenery.pillar('LevelTank', (0.6, 0.62, 0.6), (0.2, 1.0, 0.4), 1.2, radius=1.1)
    crates = scenery.crates('LevelCrates', (0.55, 0.4, 0.2),
                            [(-0.7, -0.5, 0), (0.6, -0.6, 0), (0.0, 0.6, 0), (-0.1, -0.4, 1)])
    for x, y in ((6.0, 2.5), (6.0, 4.8)):
        props.append(Prop(chimney, (x, y, 0.0)))
    props += [Prop(tank, (-6.0, 5.0, 0.0)), Prop(tank, (0.0, -4.0, 0.0)), Prop(crates, (-6.0, -4.0, 0.0)),
              Prop(crates, (6.0, -4.0, 0.0))]
    level = LevelSpec(
        directory='foundry', title='Foundry', grid=grid, background=(0.1, 0.13, 0.12),
        ships=[ShipSpec('arrow', TEAL, (0, 5), DOWN), ShipSpec('manta', WHITE, (6, 5), DOWN)],
        props=props,
        cameras=[CameraSpec('Floor', (0.0, -15.0, 17.0), (0.0, 0.5, 0.0)),
                 CameraSpec('Gantry', (-14.0, 13.0, 9.0), (0.0, 0.5, -0.5)),
                 CameraSpec('Furnace', (14.0, -12.0, 6.0), (0.0, 1.0, -0.5)),
                 CameraSpec('Bay', (-2.0, 12.0, 3.0), (-9.0, 8.0, -0.3))],
        lights=[LightSpec(1, (0.4, -0.3, 1.0), (0.55, 0.6, 0.55)),
                LightSpec(4, (-6.0, -4.0, 12.0), (0.8, 0.6, 0.3), target=(-6.0, -4.0, 0.0), cone=50.0),
                LightSpec(4, (6.0, 3.5, 12.0), (0.8, 0.5, 0.3), target=(6.0, 3.5, 0.0), cone=50.0),
                LightSpec(2, (0.0, 0.5, 5.0), (0.25, 0.35, 0.2))],
        voice=assets.Voice((41, 66), (220.0, 700.0), -4, F_MINOR, 112, 5),
        track_colour=(190, 255, 60), ambient_colour=(1.0, 0.6, 0.3),
        textures={'rust.bmp': textures.panel_floor(256, rust, 81, tiles=2)})
    write_scene_level(tree, level)


LEVELS = (crossroads, canyon, twin_orbit, foundry)
