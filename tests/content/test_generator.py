"""The shipped content: regenerated from the generator it must match data/ byte for byte,
and data/ must load as the game loads it (kav-inspect) by the rules of level_check.py."""

import glob
import os
import shutil
import sys
import tempfile
import unittest
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(ROOT, 'tools', 'content'))

import level_check  # noqa: E402
import generate  # noqa: E402

# Files the game itself writes into level directories.
GAME_WRITTEN = ('saved.ini.all',)


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


class InspectedContentTest(unittest.TestCase):
    """Runs kav-inspect over a copy of data/ (a load writes saved.ini.all, as the game does)."""

    @classmethod
    def setUpClass(cls):
        cls.inspector = level_check.find_inspector(ROOT)
        if cls.inspector is None:
            raise unittest.SkipTest('kav-inspect is not built: build the kav_inspect target '
                                    'or set KAV_INSPECT to the binary')
        cls.scratch = tempfile.TemporaryDirectory()
        shutil.copytree(os.path.join(ROOT, 'data'), os.path.join(cls.scratch.name, 'data'))
        cls.levels = sorted(os.path.join('data', name) for name in os.listdir(os.path.join(ROOT, 'data'))
                            if glob.glob(os.path.join(ROOT, 'data', name, '*.ini')) and not name.startswith('.'))
        reports = level_check.inspect(cls.inspector, cls.levels + ['data/.default'], cls.scratch.name)
        cls.reports = {report['level']: report for report in reports}

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def assertNoProblems(self, problems):
        self.assertEqual(problems, [], '\n'.join(problems))

    def test_every_level_loads_with_its_files_path_ships_and_events(self):
        self.assertGreaterEqual(len(self.levels), 3, 'the shipped levels')
        for level in self.levels:
            with self.subTest(level=level):
                self.assertIn(level, self.reports, 'kav-inspect gave no report')
                self.assertNoProblems(level_check.check_level(self.reports[level]))

    def test_menu_scene_loads_and_the_interface_sounds_exist(self):
        self.assertNoProblems(level_check.check_menu(self.reports['data/.default']))
        for sound in ('over.wav', 'click.wav'):  # named by the default configuration
            self.assertTrue(os.path.isfile(os.path.join(ROOT, 'data', 'sounds', sound)), sound)

    def test_a_file_missing_from_a_level_is_caught(self):
        level = os.path.join(self.scratch.name, 'broken')
        shutil.copytree(os.path.join(ROOT, self.levels[0]), level)
        sounds = sorted(glob.glob(os.path.join(level, 'sounds', '*.wav')))
        os.remove(sounds[0])
        problems = level_check.check_level(level_check.inspect(self.inspector, ['broken'], self.scratch.name)[0])
        self.assertTrue(any('missing' in p and os.path.basename(sounds[0]) in p for p in problems), problems)


class ShippedSoundsTest(unittest.TestCase):
    def test_effects_are_mono_so_they_sound_from_where_they_happen(self):
        for name in glob.glob(os.path.join(ROOT, 'data', '**', '*.wav'), recursive=True):
            with wave.open(name) as sound:
                self.assertEqual(sound.getnchannels(), 1, name)


if __name__ == '__main__':
    unittest.main()
