"""The window as a desktop player uses it: resized, full screen and back with F11 or
Alt+Enter, the last size and mode kept in kav.ini, and F12 screenshots."""

import os
import signal
import struct
import subprocess
import unittest

from kav_driver import Game, has_display, log_messages, mean_brightness, new_workdir, wait_until

WAIT = 30.0


def png_size(path):
    with open(path, "rb") as file:
        header = file.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", header[16:24])


def window_section(game):
    """[Window] of kav.ini as a dict (empty while the game has not written it)."""
    section, values = None, {}
    for line in game.read("kav.ini").splitlines():
        if line.startswith("["):
            section = line.strip("[]")
        elif section == "Window" and "=" in line:
            key, value = line.split("=", 1)
            values[key] = value
    return values


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class Window(unittest.TestCase):
    def start(self, workdir=None):
        game = Game(workdir=workdir, levels=("crossroads",))
        self.addCleanup(game.cleanup)
        game.wait_for_window()
        game.settle()
        return game

    def test_f12_writes_numbered_pngs_of_the_window_and_says_so(self):
        game = self.start()
        game.keys("F12")
        first = os.path.join(game.workdir, "screenshots", "kav-0001.png")
        wait_until(lambda: os.path.exists(first) and png_size(first), WAIT, "the first screenshot")
        self.assertEqual(png_size(first), (640, 480))
        game.keys("F12")
        wait_until(lambda: os.path.exists(os.path.join(game.workdir, "screenshots", "kav-0002.png")), WAIT,
                   "the second screenshot")
        game.signal(signal.SIGTERM)
        self.assertEqual(game.wait_exit(), 0)
        # Only now is the first file surely complete.
        self.assertGreater(mean_brightness(first, "600x40+20+440"), 0.05, "the menu background is in the picture")
        messages = log_messages(game.log())
        self.assertIn("kav   Screenshot saved to screenshots/kav-0001.png", messages)
        self.assertIn("kav   Screenshot saved to screenshots/kav-0002.png", messages)

    def test_full_screen_and_the_window_size_are_kept_for_the_next_start(self):
        # The test display has no window manager to stretch the window over the screen,
        # so full screen is checked by what the game says and stores.
        workdir = new_workdir()
        game = self.start(workdir)
        game.keys("F11")
        wait_until(lambda: window_section(game).get("FullScreen") == "1", WAIT, "F11 to switch to full screen")
        game.keys("alt+Return")
        windowed = {"Width": "640", "Height": "480", "FullScreen": "0"}
        wait_until(lambda: window_section(game) == windowed, WAIT, "Alt+Enter to bring the window back at its old size")
        self.assertEqual(game.window_geometry(), (640, 480))
        subprocess.run(["xdotool", "windowsize", game.window, "800", "600"], check=True)
        wait_until(lambda: window_section(game).get("Width") == "800", WAIT, "the new size in kav.ini")
        self.assertEqual(window_section(game), {"Width": "800", "Height": "600", "FullScreen": "0"})
        game.signal(signal.SIGTERM)
        self.assertEqual(game.wait_exit(), 0)
        messages = log_messages(game.log())
        self.assertIn("kav   Switched to full screen", messages)
        self.assertIn("kav   Switched to a window", messages)

        again = Game(workdir=workdir)
        self.addCleanup(again.cleanup)
        again.wait_for_window()
        self.assertEqual(again.window_geometry(), (800, 600))
        again.signal(signal.SIGTERM)
        self.assertEqual(again.wait_exit(), 0)
