#!/usr/bin/env python3
"""Draw the icon of Optmgr.exe (a folder with a gear on it) with the drawing helpers of tools/make_resources.py.

Usage:
  python3 companions/optmgr/make_optmgr_icon.py           write companions/optmgr/optmgr.ico
  python3 companions/optmgr/make_optmgr_icon.py --check   write nothing; exit 1 if the file on disk differs
"""
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent.parent / "tools"))

import make_resources as art  # noqa: E402

ICON = HERE / "optmgr.ico"


def paint_options_icon(size: int) -> "art.Canvas":
    """A yellow folder, and the gear that stands for settings on its lower right."""
    c = art.Canvas(size, size)
    s = size / 32
    edge, back, front = (120, 80, 10), (214, 156, 32), (255, 206, 84)
    c.fill(art.round_rect(2 * s, 6 * s, 12 * s, 6 * s, 1.5 * s), edge, True)
    c.fill(art.round_rect(2 * s, 8 * s, 26 * s, 19 * s, 1.5 * s), edge, True)
    c.fill(art.round_rect(3 * s, 9 * s, 24 * s, 17 * s, 1.0 * s), back, True)
    c.fill(art.round_rect(3 * s, 12 * s, 24 * s, 14 * s, 1.0 * s),
           art.vgradient(int(12 * s), int(14 * s), art.lighten(front, 0.3), front), True)
    gear = (0, 110, 80)
    art.draw_gear(c, 23 * s, 23 * s, 8.6 * s, 6.4 * s, 0, art.darken(gear, 0.45), True)
    art.draw_gear(c, 23 * s, 23 * s, 7.6 * s, 5.5 * s, 0, gear, True)
    c.fill(art.disc(23 * s, 23 * s, 3.4 * s), art.lighten(gear, 0.55), True)
    c.fill(art.disc(23 * s, 23 * s, 1.9 * s), art.darken(gear, 0.45), True)
    return c


if __name__ == "__main__":
    sys.exit(art.write_program_icon(ICON, paint_options_icon, sys.argv[1:]))
