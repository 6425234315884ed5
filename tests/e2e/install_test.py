"""The installed game: `cmake --install` into a fresh prefix, then the launcher started
as a desktop would start it, with everything it writes going to the player's own
directory under the XDG data home."""

import os
import signal
import subprocess
import tempfile
import unittest

from kav_driver import Game, has_display, wait_until

BUILD_DIR = os.environ.get("KAV_BUILD_DIR", "build")
# The main menu's "Start Game" and the level choice's "Play" in a 640 x 480 window.
START_GAME = (320, 173)
PLAY = (472, 383)


def snapshot(root):
    """Every file under root with its size and modification time."""
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            info = os.lstat(path)
            files[os.path.relpath(path, root)] = (info.st_size, info.st_mtime_ns)
    return files


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class Installed(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.TemporaryDirectory(prefix="kav-install-")
        self.addCleanup(self.root.cleanup)
        self.prefix = os.path.join(self.root.name, "prefix")
        subprocess.run(["cmake", "--install", BUILD_DIR, "--prefix", self.prefix], check=True, capture_output=True)

    def test_the_install_tree_has_the_usual_places(self):
        for path in ("bin/kav", "bin/kav-inspect", "libexec/kav/kav", "libexec/kav/kav-server",
                     "share/applications/kav.desktop",
                     "share/icons/hicolor/scalable/apps/kav.svg", "share/kav/data/crossroads/crossroads.ini",
                     "share/kav/data/.default", "share/kav/data/sounds/click.wav"):
            self.assertTrue(os.path.exists(os.path.join(self.prefix, path)), path)
        self.assertTrue(os.access(os.path.join(self.prefix, "bin/kav"), os.X_OK))
        with open(os.path.join(self.prefix, "share/applications/kav.desktop")) as desktop:
            entry = desktop.read()
        self.assertIn("\nExec=kav\n", entry)
        self.assertIn("\nIcon=kav\n", entry)
        saved = [name for _, _, names in os.walk(self.prefix) for name in names if name == "saved.ini.all"]
        self.assertEqual(saved, [], "the levels' saved files are the player's, not the install's")

    def test_the_launcher_plays_from_the_xdg_data_home_and_never_writes_the_install_tree(self):
        before = snapshot(self.prefix)
        xdg = os.path.join(self.root.name, "xdg")
        elsewhere = os.path.join(self.root.name, "started-here")
        os.mkdir(elsewhere)
        game = Game(binary=os.path.join(self.prefix, "bin/kav"), workdir=elsewhere, with_data=False,
                    env={"XDG_DATA_HOME": xdg})
        self.addCleanup(game.cleanup)
        game.wait_for_window()
        game.settle()
        game.click(*START_GAME)
        game.click(*PLAY)
        home = os.path.join(xdg, "kav")
        wait_until(lambda: any(os.path.exists(os.path.join(home, "data", level, "saved.ini.all"))
                               for level in os.listdir(os.path.join(home, "data"))), 30.0, "a level to load")
        game.signal(signal.SIGTERM)
        self.assertEqual(game.wait_exit(), 0)

        for name in ("kav.ini", "kav.log"):
            self.assertTrue(os.path.isfile(os.path.join(home, name)), name)
        with open(os.path.join(home, "kav.log"), encoding="latin-1") as log:
            self.assertIn("Loading:", log.read())
        self.assertEqual(sorted(os.listdir(elsewhere)), ["stdout.txt"], "nothing lands where it was started")
        self.assertEqual(snapshot(self.prefix), before, "the install tree is left as installed")
