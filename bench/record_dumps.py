#!/usr/bin/env python3
"""Records the dumps `kav --benchmark` replays: one race on every bundled level and a
stay on the main menu. The game labels the level it loads in the dump; the benchmark
starts that level itself and shows each camera for an equal share of the recording.

From the repository root with build/kav built:

    xvfb-run -a -s "-screen 0 1024x768x24 -noreset" python3 bench/record_dumps.py
"""

import os
import shutil
import signal
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
os.environ.setdefault("KAV_BINARY", os.path.join(ROOT, "build", "kav"))
os.environ.setdefault("KAV_SOURCE_DIR", ROOT)

from kav_driver import Game, new_workdir  # noqa: E402
from lifecycle_test import DEFAULT_INI  # noqa: E402

DUMPS = os.path.join(ROOT, "bench", "dumps")
LEVELS = ("canyon", "crossroads", "foundry", "twin_orbit")
START_GAME = (320, 173)
LEVEL_LINE = (180, 177)
PLAY = (472, 383)
LEVEL_LOAD_SECONDS = 3.0
RACE_SECONDS = 12.0
MENU_SECONDS = 8.0


def recording_game(name, levels=None):
    workdir = new_workdir()
    with open(os.path.join(workdir, "kav.ini"), "w") as ini:
        ini.write(DEFAULT_INI)
    game = Game(args=[name + ".dump"], workdir=workdir, levels=levels)
    game.wait_for_window()
    game.settle()
    return game


def race(game):
    """Both ships set off and fire now and then, so that shots and their effects are drawn."""
    game.click(*START_GAME)
    game.click(*LEVEL_LINE)
    game.click(*PLAY)
    time.sleep(LEVEL_LOAD_SECONDS)
    game.hold("Up", 0.4)
    game.hold("e", 0.4)
    ends = time.monotonic() + RACE_SECONDS
    while time.monotonic() < ends:
        game.keys("Return")
        game.keys("q")
        time.sleep(1.5)
    # The last action marks the end of the recording.
    game.keys("shift")


def stay_on_menu(game):
    time.sleep(MENU_SECONDS)
    game.keys("shift")


def record(name, play, levels=None):
    game = recording_game(name, levels)
    try:
        play(game)
        game.signal(signal.SIGTERM)  # the exit command saves the recording
        if game.wait_exit() != 0:
            raise AssertionError(f"{name}: the recording run did not end with status 0")
        os.makedirs(DUMPS, exist_ok=True)
        shutil.copy(os.path.join(game.workdir, name + ".dump"), os.path.join(DUMPS, name + ".dump"))
        print(f"{name}: recorded")
    finally:
        game.cleanup()


def main():
    record("menu", stay_on_menu)
    for level in LEVELS:
        record(level, race, levels=(level,))
    return 0


if __name__ == "__main__":
    sys.exit(main())
