"""Game pads as a player uses them, through SDL's real controller path: the game plugs
in SDL virtual controllers (KAV_VIRTUAL_PAD names a file of pad actions the test
appends to) and the presses travel as a real pad's would. The pad works the menus,
plays a race, opens the in-race menu, is unplugged and plugged in again, and leaves."""

import os
import unittest

from kav_driver import CHECK_OUTCOMES, Game, has_display, log_messages, new_workdir
from lifecycle_test import DEFAULT_INI
from race_test import CHAT_LINE, CHOOSE_LEVEL_PANEL, GAME_MENU_PANEL, MAIN_MENU_PANEL, chat_line_open, menu_gone
from race_test import panel_colour


class VirtualPad:
    """The script file the game reads one line a frame from."""

    def __init__(self, path):
        self.path = path
        with open(path, "w"):
            pass

    def do(self, *lines):
        with open(self.path, "a") as script:
            script.write("".join(line + "\n" for line in lines))

    def tap(self, button):
        self.do(f"press 1 {button}", f"release 1 {button}")


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class PadPlay(unittest.TestCase):
    def test_a_pad_works_the_menus_plays_a_race_and_survives_being_unplugged(self):
        workdir = new_workdir()
        with open(os.path.join(workdir, "kav.ini"), "w") as ini:
            ini.write(DEFAULT_INI.replace("Victories=10", "Victories=1"))
        pad = VirtualPad(os.path.join(workdir, "pad.txt"))
        pad.do("attach")
        game = Game(workdir=workdir, levels=("canyon", "crossroads"), env={"KAV_VIRTUAL_PAD": pad.path})
        self.addCleanup(game.cleanup)
        game.wait_for_window()
        game.wait_for_screen("pad-1-main-menu", MAIN_MENU_PANEL, panel_colour, "the main menu")

        # Down reaches the first button, Start Game; A clicks it.
        pad.tap("dpdown")
        pad.tap("a")
        game.wait_for_screen("pad-2-level-choice", CHOOSE_LEVEL_PANEL, panel_colour, "A to open the level choice")
        # Down reaches the level list and chooses the second level, crossroads; right
        # walks on to Cancel and Play.
        pad.tap("dpdown")
        pad.tap("dpdown")
        pad.tap("dpright")
        pad.tap("dpright")
        pad.tap("a")
        game.wait_for_screen("pad-3-race", MAIN_MENU_PANEL, menu_gone, "Play to start the race")

        # As the keyboard race does: player 1 speeds up (on the stick) and fires down
        # the bottom lane, and the bullet runs round to player 2's corner.
        pad.do("axis 1 lefty -32000")
        game.settle()
        pad.do("axis 1 lefty 0")
        pad.tap("a")
        game.wait_for_screen("pad-4-won", CHAT_LINE, chat_line_open, "the won race to open the chat line")

        pad.tap("start")
        game.wait_for_screen("pad-5-in-race-menu", GAME_MENU_PANEL, panel_colour, "Start to open the in-race menu")
        pad.tap("b")
        game.wait_for_screen("pad-6-menu-closed", GAME_MENU_PANEL, menu_gone, "B to close the in-race menu")

        # Unplugged while speeding up, and plugged in again: the pad is the first again.
        pad.do("axis 1 lefty -32000", "detach 1", "attach")
        pad.tap("start")
        game.wait_for_screen("pad-7-in-race-menu", GAME_MENU_PANEL, panel_colour, "the replugged pad's Start")
        # Back to game, End game.
        pad.tap("dpdown")
        pad.tap("dpdown")
        pad.tap("a")
        game.wait_for_screen("pad-8-main-menu", MAIN_MENU_PANEL, panel_colour, "End game to return to the main menu")
        # Up from no button: Exit, the last one.
        pad.tap("dpup")
        pad.tap("a")
        self.assertEqual(game.wait_exit(), 0)

        messages = log_messages(game.log())
        self.assertIn("gme   Game Level:Crossroads", messages)
        self.assertEqual(messages.count("kav   Game pad 1 connected: KAV virtual pad"), 2)
        self.assertEqual(messages.count("kav   Game pad 1 disconnected"), 1)
        if CHECK_OUTCOMES:
            self.assertIn("gme   Player1 hit Player2", messages)
            self.assertEqual(messages.count("gme   Player1 wins the game"), 1)
        settings = game.read("kav.ini")
        self.assertIn("[Pads]\nINCREASE_SPEED=UP\n", settings, "the first pad writes the shipped bindings")
        self.assertIn("Victories=1\n", settings)


if __name__ == "__main__":
    unittest.main()
