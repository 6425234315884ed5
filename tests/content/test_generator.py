"""The shipped content: regenerated from the generator it must match data/ byte for
byte, and data/ must load by the game's rules (checked by the independent readers of
formats.py, content_check.py and level_check.py)."""

import os
import shutil
import struct
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(ROOT, 'tools', 'content'))

import content_check  # noqa: E402
import level_check  # noqa: E402
from formats import FormatError, read_cob, read_script  # noqa: E402
from kavgen import cob, mesh, path  # noqa: E402
import generate  # noqa: E402

# Files the game itself writes into level directories.
GAME_WRITTEN = set(content_check.GAME_WRITTEN)


def tree_files(root):
    found = {}
    for directory, _, names in os.walk(os.path.join(root, 'data')):
        for name in names:
            if name not in GAME_WRITTEN:
                full = os.path.join(directory, name)
                with open(full, 'rb') as handle:
                    found[os.path.relpath(full, root)] = handle.read()
    return found


class RegenerationTest(unittest.TestCase):
    @unittest.skipUnless(shutil.which('oggenc'), 'oggenc (vorbis-tools) is needed for the music')
    def test_generator_reproduces_committed_data_byte_for_byte(self):
        with tempfile.TemporaryDirectory() as out:
            self.assertEqual(generate.main(['generate.py', out]), 0)
            fresh = tree_files(out)
        committed = tree_files(ROOT)
        self.assertEqual(sorted(fresh), sorted(committed),
                         'data/ and the generator disagree on the file list; run '
                         'python3 tools/content/generate.py .')
        changed = [name for name in fresh if fresh[name] != committed[name]]
        self.assertEqual(changed, [], 'regenerated files differ from data/')


class ShippedContentTest(unittest.TestCase):
    def assertNoProblems(self, problems):
        self.assertEqual(problems, [], '\n'.join(problems))

    def test_catalogue_finds_three_levels_each_with_one_description(self):
        self.assertNoProblems(content_check.check_catalogue(ROOT))

    def test_pictures_sounds_and_music_are_well_formed_and_small(self):
        self.assertNoProblems(content_check.check_media(ROOT))

    def test_every_level_loads_its_path_ships_models_scripts_cameras_and_lights(self):
        self.assertNoProblems(level_check.check_levels(ROOT))

    def test_menu_scene_has_models_cameras_lights_and_a_starting_script(self):
        self.assertNoProblems(level_check.check_menu(ROOT))


def _box_mesh():
    box = mesh.Mesh('Box')
    mesh.add_box(box, (0, 0, 0), (1, 1, 1), mesh.Material('m', (1, 0, 0)))
    return box


class CheckerCatchesMistakesTest(unittest.TestCase):
    """The checks above can fail: each known kind of slip is caught."""

    def test_chunk_size_that_disagrees_with_its_fields_is_reported(self):
        scene = cob.CobScene()
        scene.polyhedron(_box_mesh())
        data = bytearray(scene.bytes())
        size_at = 32 + 16  # first chunk header's size field
        size = struct.unpack_from('<i', data, size_at)[0]
        struct.pack_into('<i', data, size_at, size + 4)
        data[32 + 20 + size:32 + 20 + size] = b'\0\0\0\0'
        with self.assertRaisesRegex(FormatError, 'leaves unread'):
            read_cob(bytes(data))

    def test_faces_written_inside_out_are_reported(self):
        box = _box_mesh()
        for face in box.faces:
            face.vertices.reverse()
            face.uvs.reverse()
        records = read_cob(cob.single_model(box))
        problems = content_check.check_cob_polyhedra(records, HERE, 'box')
        self.assertTrue(any('inwards' in p for p in problems), problems)

    def test_diagonal_curve_piece_is_reported(self):
        scene = cob.CobScene()
        scene.path_curve('Path', [(0, 0, 0), (3, 0, 0), (6, 3, 0)])
        curve = read_cob(scene.bytes())['NCur'][0]
        with self.assertRaisesRegex(FormatError, 'disruption'):
            content_check.scene_points(curve['controls'], curve['axes'][0])

    def test_one_sided_neighbour_is_reported(self):
        grid = path.PathGrid([((0, 0), (2, 0)), ((2, 0), (2, 2)), ((2, 2), (0, 2)), ((0, 2), (0, 0)),
                              ((1, 0), (1, 2)), ((0, 1), (2, 1))], 3)
        points = [{'pos': tuple(map(float, grid.world(n))), 'index': i,
                   'nb': [grid.index[o] if o else -1 for o in
                          (grid.neighbour(n, d) for d in range(4))]}
                  for i, n in enumerate(grid.nodes)]
        self.assertEqual(content_check.check_path(points, 'grid'), [])
        points[0]['nb'][path.UP] = -1
        self.assertTrue(any('one-sided' in p for p in content_check.check_path(points, 'grid')))

    def test_ship_off_the_path_or_facing_no_edge_is_reported(self):
        points = [{'pos': (0.0, 0.0, 0.0), 'nb': [1, -1, -1, -1], 'index': 0},
                  {'pos': (0.0, 3.0, 0.0), 'nb': [-1, -1, 0, -1], 'index': 1}]
        self.assertEqual(content_check.start_edge(points, (0.0, 0.0, 0.0), 180), (0, path.UP, True))
        self.assertEqual(content_check.start_edge(points, (0.04, 0.0, 0.0), 180), (0, path.UP, True))
        self.assertIsNone(content_check.start_edge(points, (1.5, 0.0, 0.0), 180))
        facing_nothing = content_check.start_edge(points, (0.0, 0.0, 0.0), 90)
        problems = level_check._ship_problems([('ship0', facing_nothing), ('ship1', None)], 'level')
        self.assertEqual(len(problems), 2, problems)

    def test_statement_without_semicolon_is_reported(self):
        with self.assertRaisesRegex(FormatError, 'Missing ; after'):
            read_script('sound = shot { file = a.wav }')

    def test_ship_script_missing_an_event_is_reported(self):
        text = 'sound = s { file = generate.py; } action = fire { PlaySound = s; }'
        problems = content_check.check_script(text, os.path.join(ROOT, 'tools', 'content'),
                                              content_check.SHIP_EVENTS, 'ship')
        self.assertTrue(any('loaded is not bound' in p for p in problems), problems)


if __name__ == '__main__':
    unittest.main()
