#!/usr/bin/env python3
"""Draw help.ico, the help viewer's icon: a blue book with a white question mark on its cover.

Uses the drawing helpers and the icon encoder of tools/make_resources.py, so it looks like the
other programs' art. The output is identical byte for byte on every run.

Usage: python3 companions/help/make_help_icon.py [--check]
"""
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent.parent / "tools"))
import make_resources as art  # noqa: E402

COVER = (28, 86, 170)
SPINE = (12, 44, 104)
PAGES = (246, 244, 232)


def question_mark(c, s):
    """A question mark drawn from an open ring, a stem and a dot, in units of 1/32 of the icon."""
    cx, cy, r_out, r_in = 17 * s, 11 * s, 6.5 * s, 3.2 * s
    # The ring without its lower-left quarter, so it opens towards the stem.
    lower_left = art.polygon([(cx - r_out, cy), (cx, cy), (cx, cy + r_out), (cx - r_out, cy + r_out)])
    hook = art.minus(art.ring(cx, cy, r_out, r_in), lower_left)

    stem = art.polygon([(14.6 * s, 15 * s), (19.4 * s, 15 * s), (19.4 * s, 21 * s), (14.6 * s, 21 * s)])
    dot = art.disc(17 * s, 25.5 * s, 2.5 * s)
    c.fill(art.union(hook, stem, dot), art.WHITE, True)


def paint_help_icon(size: int):
    c = art.Canvas(size, size)
    s = size / 32
    c.fill(art.round_rect(5 * s, 2 * s, 25 * s, 29 * s, 2 * s), PAGES, True)
    c.fill(art.round_rect(4 * s, 1 * s, 24 * s, 28 * s, 2 * s), SPINE, True)
    c.fill(art.round_rect(6 * s, 1 * s, 22 * s, 28 * s, 2 * s), art.vgradient(0, size, art.lighten(COVER, 0.3), COVER),
           True)
    question_mark(c, s)
    return c


if __name__ == "__main__":
    sys.exit(art.write_program_icon(HERE / "help.ico", paint_help_icon, sys.argv[1:]))
