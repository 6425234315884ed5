"""The player's files under faults: a kav.ini the player made read-only, and a working
directory on a full disk."""

import errno
import os
import signal
import subprocess
import tempfile
import unittest

from kav_driver import Game, has_display, link_data, log_messages, new_workdir

KAV_INI = "[General]\nPlayer1Name=Ann\nPlayer2Name=\nVictories=3\n\n[sounds]\nsound_volume=40\nmusic_volume=20\n"

# Window pixels: "Options" in the main menu, its "OK", and the OK of a message box
# over the options screen.
OPTIONS = (320, 285)
OPTIONS_OK = (462, 434)
NOTICE_OK = (422, 300)


def save_options(game):
    """Opens the options screen and saves it unchanged."""
    game.click(*OPTIONS)
    game.click(*OPTIONS_OK)


def leftovers(directory):
    """Temporary files of a save that stayed behind."""
    return [name for name in os.listdir(directory) if ".tmp" in name]


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class ReadOnlyIni(unittest.TestCase):
    def test_a_read_only_kav_ini_stays_as_it_is_and_the_game_says_so_once(self):
        workdir = new_workdir()
        ini = os.path.join(workdir, "kav.ini")
        with open(ini, "w") as file:
            file.write(KAV_INI)
        os.chmod(ini, 0o444)
        game = Game(workdir=workdir, levels=())
        self.addCleanup(game.cleanup)
        game.wait_for_window()
        game.settle()

        save_options(game)
        game.screenshot("files-read-only-notice")
        game.click(*NOTICE_OK)
        # The options screen opens again only once the notice has been read.
        save_options(game)
        game.signal(signal.SIGTERM)
        self.assertEqual(game.wait_exit(), 0)

        console = game.output()
        self.assertEqual(console.count("Settings cannot be saved: kav.ini is read-only\n"), 1, console)
        self.assertEqual(log_messages(game.log()).count("gui   Settings not saved: kav.ini is read-only"), 1,
                         "the second save is refused without a word to the player")
        self.assertEqual(game.read("kav.ini"), KAV_INI)
        self.assertEqual(os.stat(ini).st_mode & 0o777, 0o444)
        self.assertEqual(leftovers(workdir), [])


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class FullDisk(unittest.TestCase):
    def full_disk(self):
        """A directory on a small tmpfs, filled up; the game's console stays elsewhere."""
        if os.geteuid() != 0:
            self.skipTest("a full disk is made by mounting a small tmpfs, which needs root")
        mountpoint = tempfile.mkdtemp(prefix="kav-e2e-full-")
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k", "kav-full-disk", mountpoint],
                                 capture_output=True, text=True)
        if mounted.returncode != 0:
            os.rmdir(mountpoint)
            self.skipTest("cannot mount a small tmpfs for a full disk: " + mounted.stderr.strip())
        self.addCleanup(os.rmdir, mountpoint)
        self.addCleanup(subprocess.run, ["umount", mountpoint], check=True)
        return mountpoint

    def fill(self, directory):
        with open(os.path.join(directory, "filler"), "wb", buffering=0) as filler:
            try:
                while True:
                    filler.write(bytes(4096))
            except OSError as error:
                self.assertEqual(error.errno, errno.ENOSPC)

    def test_on_a_full_disk_the_old_kav_ini_stays_and_the_player_hears_what_was_not_saved(self):
        full = self.full_disk()
        with open(os.path.join(full, "kav.ini"), "w") as file:
            file.write(KAV_INI)
        link_data(full, ())
        self.fill(full)
        game = Game(rundir=full)
        self.addCleanup(game.cleanup)
        game.wait_for_window()
        game.settle()

        save_options(game)
        game.screenshot("files-disk-full-notice")
        game.click(*NOTICE_OK)
        game.signal(signal.SIGTERM)
        self.assertEqual(game.wait_exit(), 0)

        console = game.output()
        self.assertEqual(console.count("could not write log file\n"), 1, console)
        self.assertIn("gui E Could not save settings to kav.ini: No space left on device\n", console)
        self.assertEqual(game.read("kav.ini"), KAV_INI)
        self.assertEqual(leftovers(full), [])


if __name__ == "__main__":
    unittest.main()
