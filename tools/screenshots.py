#!/usr/bin/env python3
"""Takes the screenshots in docs/screenshots: the main menu, and every bundled level
from each of its cameras, from the real game under a virtual display.

Usage (from the repository root, after `make build`):
    xvfb-run -a -s "-screen 0 1024x768x24 -noreset" python3 tools/screenshots.py [OUTDIR]
"""

import configparser
import os
import shutil
import signal
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
os.environ.setdefault("KAV_BINARY", os.path.join(ROOT, "build", "kav"))
os.environ.setdefault("KAV_SOURCE_DIR", ROOT)

from kav_driver import START_TIMEOUT, Game, wait_until  # noqa: E402

START_GAME = (320, 173)
FIRST_LEVEL_LINE = (180, 177)
PLAY = (472, 383)


def level_directories():
    data = os.path.join(ROOT, "data")
    return sorted(name for name in os.listdir(data)
                  if not name.startswith(".") and os.path.isdir(os.path.join(data, name)) and name != "sounds")


def camera_count(game, level):
    saved = configparser.ConfigParser(strict=False, interpolation=None)
    saved.read(os.path.join(game.workdir, "data", level, "saved.ini.all"))
    return sum(1 for section in saved.sections() if section.startswith("camera"))


def shoot_level(level, outdir):
    game = Game(levels=(level,))
    try:
        game.wait_for_window()
        game.settle()
        game.click(*START_GAME)
        game.click(*FIRST_LEVEL_LINE)
        # The game writes the level's saved description once the level is built; a
        # large level takes longer than a click settles.
        saved = os.path.join(game.workdir, "data", level, "saved.ini.all")
        if os.path.exists(saved):
            os.remove(saved)
        game.click(*PLAY)
        wait_until(lambda: os.path.exists(saved), START_TIMEOUT, f"{level} to load")
        game.settle()
        count = camera_count(game, level)
        for camera in range(count):
            shutil.copy(game.screenshot(f"{level}-camera{camera}"), os.path.join(outdir, f"{level}-camera{camera}.png"))
            game.keys("F1")
        game.signal(signal.SIGTERM)
        game.wait_exit()
        return count
    finally:
        game.cleanup()


def shoot_menu(outdir):
    game = Game()
    try:
        game.wait_for_window()
        game.settle()
        game.settle()
        shutil.copy(game.screenshot("main-menu"), os.path.join(outdir, "main-menu.png"))
        game.signal(signal.SIGTERM)
        game.wait_exit()
    finally:
        game.cleanup()


def main(argv):
    outdir = argv[1] if len(argv) > 1 else os.path.join(ROOT, "docs", "screenshots")
    os.makedirs(outdir, exist_ok=True)
    shoot_menu(outdir)
    for level in level_directories():
        print(f"{level}: {shoot_level(level, outdir)} cameras")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
