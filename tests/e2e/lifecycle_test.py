"""Start-up, the first kav.ini, the window, and every way the game ends."""

import os
import signal
import time
import unittest

from kav_driver import SANITIZED, TIME_FACTOR, Game, has_display, log_messages, mean_brightness, new_workdir, wait_until

DEFAULT_INI = (
    "[General]\nPlayer1Name=Player1\nPlayer2Name=Player2\nVictories=10\n\n"
    "[NetSetup]\nRefHost=localhost\nRefFile=http://localhost/kav.txt\nScrHost=localhost\n"
    "ScrFile=http://localhost/cgi-bin/kav.pl\nServerUserName=PLAYER\nServerAddr=localhost:4077\n\n"
    "[sounds]\nmouseover=data/sounds/over.wav\nmouseclick=data/sounds/click.wav\nsound_volume=100\nmusic_volume=80\n\n"
    "[opengl]\nshademodel=smooth\nperspective_hint=best\n\n"
    "[Keys]\nPLAYER_0_INCREASE_SPEED=351\nPLAYER_0_DECREASE_SPEED=353\nPLAYER_0_TURN_LEFT=350\n"
    "PLAYER_0_TURN_RIGHT=352\nPLAYER_0_FIRE=13\nPLAYER_1_INCREASE_SPEED=101\nPLAYER_1_DECREASE_SPEED=100\n"
    "PLAYER_1_TURN_LEFT=115\nPLAYER_1_TURN_RIGHT=102\nPLAYER_1_FIRE=113\nNEXT_CAMERA=301\nPREVIOUS_CAMERA=302\n"
    "RELOAD_LEVEL=305\nMUTE_SOUND=303\nSHOW_MENU=27\nRESET_CAMERA=306\nSHOW_SCORE=9\nCHAT_MSG=96\n\n"
    "[log]\nPrintSoundManagerInfo=0\nPrintDrawManagerInfo=1\nPrintGameManagerInfo=1\nPrintModelManagerInfo=0\n"
    "PrintPlayerManagerInfo=0\nPrintKAVManagerInfo=1\nPrintNetManagerInfo=1\nPrintTextureManagerInfo=1\n"
    "PrintGuiManagerInfo=1\nPrintScriptManagerInfo=1\nPrintParticleSystemManagerInfo=1\nPrintDebugManagerInfo=1\n"
    "PrintServerManagerInfo=1\n"
)

# The managers' lifecycle lines: built in member order at start-up (the game's
# managers, then the main menu's own scene and scripts), then sound and particles,
# which the application owns and starts once everyone who borrows them is built...
LIFECYCLE_START = [
    "kav   Report manager is initialized",
    "drw   Draw manager is initialized",
    "plr   Player manager is initialized",
    "scr   Script manager is initialized",
    "gme   Game manager is initialized",
    "drw   Draw manager is initialized",
    "scr   Script manager is initialized",
    "snd   Sound manager is initialized",
    "pts   Particle system manager is initialized",
]
# ...destroyed in reverse when the window closes (sound and particles last, after
# every script manager that borrowed them)...
LIFECYCLE_CLOSE = [
    "scr   Script manager is destroyed",
    "drw   Draw manager is destroyed",
    "gme   Game manager is destroyed",
    "scr   Script manager is destroyed",
    "plr   Player manager is destroyed",
    "drw   Draw manager is destroyed",
    "pts   Particle system manager is destroyed",
    "snd   Sound manager is destroyed",
    "kav   Report manager is destroyed",
]
# ...while the exit command ends the process at once and only the exit handler runs.
LIFECYCLE_EXIT = ["snd   Sound manager is destroyed", "kav   Report manager is destroyed"]


def assert_in_order(test, lines, expected):
    position = 0
    for wanted in expected:
        try:
            position = lines.index(wanted, position) + 1
        except ValueError:
            test.fail(f"'{wanted}' missing or out of order in kav.log:\n" + "\n".join(lines))


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class StartAndStop(unittest.TestCase):
    def start(self, **options):
        game = Game(**options)
        self.addCleanup(game.cleanup)
        game.wait_for_window()
        return game

    def test_first_start_writes_the_default_ini_and_opens_a_640x480_window(self):
        game = self.start(with_data=False)
        self.assertEqual(game.read("kav.ini"), DEFAULT_INI)
        self.assertEqual(game.window_name(), "KAV")
        self.assertEqual(game.window_geometry(), (640, 480))
        game.screenshot("lifecycle-first-start")
        game.signal(signal.SIGTERM)
        self.assertEqual(game.wait_exit(), 0)
        self.assertIn("Creating default ini file", game.output())

        log = game.log()
        self.assertRegex(log, r"^\n--- \w{3} \w{3} [ \d]\d \d\d:\d\d:\d\d \d{4}\n\n")
        messages = log_messages(log)
        self.assertEqual(messages[0], LIFECYCLE_START[0])
        assert_in_order(self, messages, LIFECYCLE_START + LIFECYCLE_EXIT)
        self.assertNotIn("gme   Game manager is destroyed", messages, "the exit command skips the destructors")

    def test_an_existing_ini_is_left_alone(self):
        workdir = new_workdir()
        with open(os.path.join(workdir, "kav.ini"), "w") as ini:
            ini.write("[General]\nVictories=3\n")
        game = Game(workdir=workdir, with_data=False)
        self.addCleanup(game.cleanup)
        game.wait_for_window()
        game.signal(signal.SIGINT)
        self.assertEqual(game.wait_exit(), 0)
        self.assertEqual(game.read("kav.ini"), "[General]\nVictories=3\n")
        self.assertNotIn("Creating default ini file", game.output())

    def test_sigint_and_sigterm_end_the_game_with_status_0_within_a_second(self):
        for number in (signal.SIGINT, signal.SIGTERM):
            with self.subTest(signal=number.name):
                game = self.start(with_data=False)
                sent = time.monotonic()
                game.signal(number)
                status = game.wait_exit()
                elapsed = time.monotonic() - sent
                self.assertEqual(status, 0)
                if not SANITIZED:
                    self.assertLess(elapsed, 1.0 * TIME_FACTOR, f"{number.name} took {elapsed:.2f}s to end the game")
                assert_in_order(self, log_messages(game.log()), LIFECYCLE_START + LIFECYCLE_EXIT)

    def test_closing_the_window_ends_the_game_with_status_0(self):
        game = self.start(with_data=False)
        game.close_window()
        self.assertEqual(game.wait_exit(), 0)
        messages = log_messages(game.log())
        lifecycle = [line for line in messages if line.endswith(" is initialized") or line.endswith(" is destroyed")]
        self.assertEqual(lifecycle, LIFECYCLE_START + LIFECYCLE_CLOSE)

    def test_the_frame_rate_label_shows_after_a_second(self):
        game = self.start(with_data=False)
        started = time.monotonic()
        wait_until(lambda: time.monotonic() - started > 1.5, 5, "a second and a half of frames")
        path = game.screenshot("lifecycle-fps-label")
        # The label starts as "0", one glyph wide; "FPS:" and a number reach further right.
        beyond_first_glyph = mean_brightness(path, "90x16+24+4")
        self.assertGreater(beyond_first_glyph, 0.05, "the FPS label still shows only its first glyph")
        game.signal(signal.SIGTERM)
        self.assertEqual(game.wait_exit(), 0)


class WithoutDisplay(unittest.TestCase):
    def test_no_display_prints_the_console_line_and_ends_with_status_0(self):
        game = Game(with_data=False, unset=("DISPLAY", "WAYLAND_DISPLAY"))
        self.addCleanup(game.cleanup)
        self.assertEqual(game.wait_exit(timeout=30 * TIME_FACTOR), 0)
        self.assertIn("Could not create glut window\n", game.output())
        messages = log_messages(game.log())
        lifecycle = [line for line in messages if line.endswith(" is initialized") or line.endswith(" is destroyed")]
        self.assertEqual(lifecycle, LIFECYCLE_START + LIFECYCLE_CLOSE)


if __name__ == "__main__":
    unittest.main()
