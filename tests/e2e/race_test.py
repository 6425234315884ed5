"""A local race played as a person would: from the main menu through the level choice
to a win, the score panel, the in-race menu, back to the main menu and out."""

import os
import unittest

from kav_driver import CHECK_OUTCOMES, Game, has_display, log_messages, mean_brightness, mean_colour, new_workdir

# Window pixels of what the player clicks (the window is 640 x 480; the main menu and
# the level choice are centred in it).
START_GAME = (320, 173)
VICTORIES_FIELD = (300, 143)
CROSSROADS_LINE = (180, 177)  # the only level the test shows
PLAY = (472, 383)
END_GAME = (320, 216)
EXIT_MAIN_MENU = (320, 322)

# Where the widgets are drawn, as ImageMagick crops of a window screenshot.
MAIN_MENU_PANEL = "280x40+180+240"
CHOOSE_LEVEL_PANEL = "200x60+200+300"
SCORE_PANEL = "500x200+60+200"
GAME_MENU_PANEL = "180x20+230+240"


# The chat line along the bottom, drawn in the highlight colour when it opens.
CHAT_LINE = "600x8+20+458"


def panel_colour(red, green, blue):
    """Menus, buttons and panels have one face colour, (0.3, 0.5, 0.7)."""
    return abs(red - 0.3) < 0.06 and abs(green - 0.5) < 0.05 and abs(blue - 0.7) < 0.05


def shows_panel(path, crop):
    return panel_colour(*mean_colour(path, crop))


def menu_gone(red, green, blue):
    return not panel_colour(red, green, blue)


def chat_line_open(red, green, blue):
    return red > 0.55 and green < 0.55 and blue > 0.6


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class LocalRace(unittest.TestCase):
    def test_a_race_from_the_main_menu_to_the_winner_and_out(self):
        workdir = new_workdir()
        game = Game(workdir=workdir, levels=("crossroads",))
        self.addCleanup(game.cleanup)
        game.wait_for_window()

        # A slow build (the sanitizers) takes a while over the menu's scene.
        shot = game.wait_for_screen("race-1-main-menu", MAIN_MENU_PANEL, panel_colour, "the main menu")
        self.assertGreater(mean_brightness(shot, "600x40+20+440"), 0.05, "the menu background scene is not drawn")

        game.click(*START_GAME)
        game.click(*VICTORIES_FIELD)
        game.keys("End", "BackSpace", "BackSpace", "1")
        game.click(*CROSSROADS_LINE)
        shot = game.screenshot("race-2-level-choice")
        self.assertTrue(shows_panel(shot, CHOOSE_LEVEL_PANEL), "the level choice is not drawn")
        game.click(*PLAY)
        shot = game.wait_for_screen("race-3-race", MAIN_MENU_PANEL, menu_gone, "the race to replace the menus")
        self.assertGreater(mean_brightness(shot, "400x200+120+200"), 0.1, "the level is not drawn")
        self.assertFalse(chat_line_open(*mean_colour(shot, CHAT_LINE)), "the chat line is open in a fresh race")

        # Player 2 fires, nudges forward and works the turn and brake keys; player 1
        # speeds up and fires down the bottom lane, and that bullet runs round to
        # player 2's corner.
        game.keys("q")
        game.hold("e", 0.2)
        game.keys("s", "f", "d")
        game.hold("Up", 0.2)
        game.keys("Return")
        game.wait_for_screen("race-4-won", CHAT_LINE, chat_line_open, "the won race to open the chat line")

        game.hold_while("Tab", lambda: game.wait_for_screen("race-5-score", SCORE_PANEL, panel_colour,
                                                            "Tab to show the score panel"))

        game.keys("Escape")
        game.wait_for_screen("race-6-in-race-menu", GAME_MENU_PANEL, panel_colour, "Escape to open the in-race menu")
        game.click(*END_GAME)
        game.wait_for_screen("race-7-back-in-main-menu", MAIN_MENU_PANEL, panel_colour,
                             "End game to return to the main menu")

        game.click(*EXIT_MAIN_MENU)
        self.assertEqual(game.wait_exit(), 0)
        messages = log_messages(game.log())
        self.assertIn("gme   Loading: Crossroads", messages)
        self.assertIn("gme   Max hits:1", messages)
        if CHECK_OUTCOMES:
            self.assertIn("gme   Player1 hit Player2", messages)
            self.assertEqual(messages.count("gme   Player1 wins the game"), 1)
        with open(os.path.join(workdir, "kav.ini")) as ini:
            settings = ini.read()
        self.assertIn("Victories=1\n", settings)
        self.assertIn("Player1Name=Player1\n", settings)


if __name__ == "__main__":
    unittest.main()
