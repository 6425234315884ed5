#!/usr/bin/env python3
"""Writes the game's whole content (levels, menu scene, sounds) under OUTDIR/data.

    python3 tools/content/generate.py .        # regenerates ./data in the repository

The output depends only on this code (and on oggenc for the music), so running it twice
gives identical bytes."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from kavgen import layouts, menu  # noqa: E402
from kavgen.output import OutputTree  # noqa: E402


def build():
    tree = OutputTree()
    menu.write_menu(tree)
    for level in layouts.LEVELS:
        level(tree)
    return tree


def main(argv):
    if len(argv) != 2:
        print('usage: %s OUTDIR   (writes OUTDIR/data)' % argv[0], file=sys.stderr)
        return 2
    build().write(argv[1])
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
