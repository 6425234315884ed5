"""The pictures the game draws stay what they were: the main menu and every bundled level
from each of its cameras, shot the way tools/screenshots.py shoots them, against the
references in pictures/ within a small tolerance per pixel.

What moves by itself is left out: the frame-rate counter and the race's message list
are covered, and a small share of pixels may differ (particles are random, and the
ships set off while the cameras are shot). The references are compared at half size,
which keeps them small. To take them again (after a change that is meant to change the
pictures), from the repository root with build/kav built:

    xvfb-run -a -s "-screen 0 1024x768x24 -noreset" python3 tests/e2e/picture_test.py --record
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

from kav_driver import ARTIFACTS, has_display

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools"))

import screenshots  # noqa: E402

PICTURES = os.path.join(HERE, "pictures")
# What changes with time is left out, in window pixels: the frame-rate counter on the
# menu; in a race the message list, which scrolls by itself.
MENU_HIDDEN = "rectangle 0,0 130,24"
RACE_HIDDEN = "rectangle 0,0 639,100"
# A channel may be off by this much (of full scale) before a pixel counts as changed...
CHANNEL_TOLERANCE = "8%"
# ...and this share of the pixels may change: particles on the menu; in a race also the
# ships, which set off while the cameras are shot.
CHANGED_SHARE = {"menu": 0.01, "race": 0.02}


def kind(name):
    return "menu" if name.startswith("main-menu") else "race"


def reduced(shot, out):
    """The shot at half size without what changes with time, as the references keep it."""
    hidden = MENU_HIDDEN if kind(os.path.basename(shot)) == "menu" else RACE_HIDDEN
    subprocess.run(["convert", shot, "-fill", "black", "-draw", hidden, "-filter", "box",
                    "-resize", "50%", "-strip", out], check=True)


def changed_pixels(reference, picture):
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", CHANNEL_TOLERANCE, reference, picture, "null:"],
                            capture_output=True, text=True)
    return int(float(result.stderr.split()[0]))


def shoot_all(outdir):
    """Every picture at half size in outdir, by the names of the references."""
    raw = os.path.join(outdir, "raw")
    os.makedirs(raw)
    screenshots.main(["screenshots", raw])
    for name in sorted(os.listdir(raw)):
        reduced(os.path.join(raw, name), os.path.join(outdir, name))
    return sorted(name for name in os.listdir(outdir) if name.endswith(".png"))


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class Pictures(unittest.TestCase):
    def test_menu_and_every_level_camera_look_as_they_did(self):
        references = sorted(name for name in os.listdir(PICTURES) if name.endswith(".png"))
        self.assertIn("main-menu.png", references)
        outdir = os.path.join(ARTIFACTS, "pictures")
        shutil.rmtree(outdir, ignore_errors=True)
        os.makedirs(outdir)
        shot = shoot_all(outdir)
        self.assertEqual(shot, references, "a level or camera came or went")
        for name in references:
            with self.subTest(picture=name):
                picture = os.path.join(outdir, name)
                width, height = (int(v) for v in subprocess.run(
                    ["identify", "-format", "%w %h", picture], capture_output=True, text=True,
                    check=True).stdout.split())
                changed = changed_pixels(os.path.join(PICTURES, name), picture)
                self.assertLessEqual(changed, CHANGED_SHARE[kind(name)] * width * height,
                                     f"{changed} pixels of {name} differ; the picture is in {picture}")


def record():
    os.makedirs(PICTURES, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="kav-pictures-") as outdir:
        for name in shoot_all(outdir):
            os.replace(os.path.join(outdir, name), os.path.join(PICTURES, name))
            print(name)


if __name__ == "__main__":
    if sys.argv[1:] == ["--record"]:
        record()
    else:
        unittest.main()
