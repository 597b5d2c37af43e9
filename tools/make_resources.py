#!/usr/bin/env python3
"""Draw the bitmaps, icons and cursors of Tolvane and Rezaravoz and list them in .rc files.

All artwork is drawn here from code (standard library only), so a picture is changed by
editing this file and running it again.  The output is identical byte for byte on every run.

Usage:
  python3 tools/make_resources.py           write resources/art/* and resources/{tolvane,rezaravoz}_art.rc
  python3 tools/make_resources.py --check   write nothing; exit 1 if a file on disk is missing or differs

Layers, top to bottom: the resource table (RESOURCES), the painters of each picture, the
drawing helpers (Canvas, shapes, pixel font, sprites) and the file encoders with their readers.
"""
import argparse
import math
import random
import struct
import sys
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Dict, List, Tuple

ROOT = Path(__file__).resolve().parent.parent
RESOURCE_DIR = ROOT / "resources"
ART_SUBDIR = "art"

Colour = Tuple[int, ...]

# ----------------------------------------------------------------------------------------------
# Colours
# ----------------------------------------------------------------------------------------------

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
MAGENTA = (255, 0, 255)           # the image list's transparent colour
MENU_GREY = (192, 192, 192)       # menu pictures: recoloured to the menu (or highlight) colour when drawn
# LoadImage(LR_LOADMAP3DCOLORS) swaps these three greys for the user's button colours, so the
# hover-button strips must not contain them, or parts of the artwork would change with the theme.
MAPPED_3D_GREYS = ((128, 128, 128), (192, 192, 192), (223, 223, 223))

BANNER_GREEN = (0, 100, 40)
TITLE_GREEN = (0, 255, 2)
INK = (6, 34, 22)                 # caption text on the green buttons


def rgba(c: Colour) -> Colour:
    return c if len(c) == 4 else (c[0], c[1], c[2], 255)


def mix(a: Colour, b: Colour, t: float) -> Colour:
    t = min(1.0, max(0.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def lighten(c: Colour, t: float) -> Colour:
    return mix(c, WHITE, t)


def darken(c: Colour, t: float) -> Colour:
    return mix(c, BLACK, t)


def band_colour(y_px: int) -> Colour:
    """Colour of the main window's background at client row y: the band painted last there wins."""
    k = y_px // 10
    return (0, 3 * (k + 1) % 256, (3 * (k + 1) + 120) % 256)


def dlu_to_px_y(dlu: int) -> int:
    """Vertical dialog units of 8-point MS Sans Serif at 96 DPI (13-pixel base height)."""
    return (dlu * 13 + 4) // 8


# ----------------------------------------------------------------------------------------------
# Canvas and shapes
# ----------------------------------------------------------------------------------------------

def paint_at(paint, x: int, y: int) -> Colour:
    """A paint is a colour tuple or a callable (x, y) -> colour, for gradients and patterns."""
    return paint(x, y) if callable(paint) else paint


@dataclass(frozen=True)
class Shape:
    """A region in pixel space; pixel (x, y) covers [x, x+1) x [y, y+1)."""
    box: Tuple[int, int, int, int]  # x0, y0, x1, y1, ends exclusive
    inside: Callable[[float, float], bool]


def _box(x0, y0, x1, y1):
    return (int(math.floor(x0)), int(math.floor(y0)), int(math.ceil(x1)), int(math.ceil(y1)))


def disc(cx, cy, r) -> Shape:
    return Shape(_box(cx - r, cy - r, cx + r, cy + r), lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r)


def ring(cx, cy, r_out, r_in) -> Shape:
    def inside(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        return r_in * r_in <= d <= r_out * r_out
    return Shape(_box(cx - r_out, cy - r_out, cx + r_out, cy + r_out), inside)


def capsule(x0, y0, x1, y1, r) -> Shape:
    """A line with round ends and half-width r."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= r * r
    return Shape(_box(min(x0, x1) - r, min(y0, y1) - r, max(x0, x1) + r, max(y0, y1) + r), inside)


def polygon(points) -> Shape:
    xs, ys = [p[0] for p in points], [p[1] for p in points]

    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return Shape(_box(min(xs), min(ys), max(xs), max(ys)), inside)


def regular_polygon(cx, cy, r, sides, turn=0.0) -> Shape:
    return polygon([(cx + r * math.cos(turn + 2 * math.pi * i / sides), cy + r * math.sin(turn + 2 * math.pi * i / sides))
                    for i in range(sides)])


def round_rect(x, y, w, h, r) -> Shape:
    def inside(px, py):
        if not (x <= px <= x + w and y <= py <= y + h):
            return False
        cx = min(max(px, x + r), x + w - r)
        cy = min(max(py, y + r), y + h - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r
    return Shape(_box(x, y, x + w, y + h), inside)


def minus(a: Shape, b: Shape) -> Shape:
    return Shape(a.box, lambda x, y: a.inside(x, y) and not b.inside(x, y))


def union(*shapes: Shape) -> Shape:
    box = (min(s.box[0] for s in shapes), min(s.box[1] for s in shapes),
           max(s.box[2] for s in shapes), max(s.box[3] for s in shapes))
    return Shape(box, lambda x, y: any(s.inside(x, y) for s in shapes))


SUPERSAMPLE = 4


class Canvas:
    """RGBA pixels, top row first."""

    def __init__(self, w: int, h: int, colour: Colour = (0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [rgba(colour)] * (w * h)

    def get(self, x, y) -> Colour:
        return self.px[y * self.w + x]

    def put(self, x, y, c: Colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = rgba(c)

    def blend(self, x, y, c: Colour, cover: float = 1.0):
        """Composite c over the pixel with the given coverage (alpha 'over')."""
        if not (0 <= x < self.w and 0 <= y < self.h) or cover <= 0:
            return
        src = rgba(c)
        a = src[3] / 255 * min(cover, 1.0)
        if a >= 1.0:
            self.px[y * self.w + x] = src
            return
        dst = self.get(x, y)
        da = dst[3] / 255
        out_a = a + da * (1 - a)
        if out_a <= 0:
            return
        rgb = tuple(int(round((src[i] * a + dst[i] * da * (1 - a)) / out_a)) for i in range(3))
        self.px[y * self.w + x] = rgb + (int(round(out_a * 255)),)

    def fill_rect(self, x, y, w, h, paint):
        for py in range(max(0, y), min(self.h, y + h)):
            for px in range(max(0, x), min(self.w, x + w)):
                self.blend(px, py, paint_at(paint, px, py))

    def hline(self, x, y, w, c):
        self.fill_rect(x, y, w, 1, c)

    def vline(self, x, y, h, c):
        self.fill_rect(x, y, 1, h, c)

    def frame(self, x, y, w, h, c):
        self.hline(x, y, w, c)
        self.hline(x, y + h - 1, w, c)
        self.vline(x, y, h, c)
        self.vline(x + w - 1, y, h, c)

    def fill(self, shape: Shape, paint, aa: bool = False):
        """Paint a shape; with aa, edge pixels are blended by their covered fraction."""
        x0, y0, x1, y1 = shape.box
        n = SUPERSAMPLE
        offsets = [(i + 0.5) / n for i in range(n)]
        for py in range(max(0, y0), min(self.h, y1 + 1)):
            for px in range(max(0, x0), min(self.w, x1 + 1)):
                if aa:
                    hits = sum(shape.inside(px + ox, py + oy) for oy in offsets for ox in offsets)
                    if hits:
                        self.blend(px, py, paint_at(paint, px, py), hits / (n * n))
                elif shape.inside(px + 0.5, py + 0.5):
                    self.blend(px, py, paint_at(paint, px, py))

    def sprite(self, x, y, rows: List[str], palette: Dict[str, Colour]):
        """Draw pixel art; '.' leaves the pixel alone."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != ".":
                    self.blend(x + dx, y + dy, palette[ch])

    def paste(self, src: "Canvas", x, y):
        for sy in range(src.h):
            for sx in range(src.w):
                self.blend(x + sx, y + sy, src.get(sx, sy))

    def mapped(self, fn: Callable[[int, int, Colour], Colour]) -> "Canvas":
        out = Canvas(self.w, self.h)
        out.px = [rgba(fn(i % self.w, i // self.w, c)) for i, c in enumerate(self.px)]
        return out

    def shifted(self, dx, dy) -> "Canvas":
        """Move the picture by (dx, dy), repeating the edge rows and columns that uncover."""
        out = Canvas(self.w, self.h)
        for y in range(self.h):
            for x in range(self.w):
                out.px[y * self.w + x] = self.get(min(max(x - dx, 0), self.w - 1), min(max(y - dy, 0), self.h - 1))
        return out

    def crop(self, x, y, w, h) -> "Canvas":
        out = Canvas(w, h)
        for py in range(h):
            out.px[py * w:(py + 1) * w] = self.px[(y + py) * self.w + x:(y + py) * self.w + x + w]
        return out


def strip(frames: List[Canvas]) -> Canvas:
    """Frames of equal size side by side, the layout the hover buttons cut their faces from."""
    w, h = frames[0].w, frames[0].h
    out = Canvas(w * len(frames), h)
    for i, f in enumerate(frames):
        assert (f.w, f.h) == (w, h)
        out.paste(f, i * w, 0)
    return out


def vgradient(y0, h, top: Colour, bottom: Colour):
    return lambda x, y: mix(top, bottom, (y - y0) / max(1, h - 1))


# ----------------------------------------------------------------------------------------------
# Pixel font: 7-pixel capitals, 5-pixel x-height, 2-pixel descenders; one column between letters
# ----------------------------------------------------------------------------------------------

_GLYPH_ROWS = {
    "A": ".###. #...# #...# ##### #...# #...# #...#", "B": "####. #...# #...# ####. #...# #...# ####.",
    "C": ".###. #...# #.... #.... #.... #...# .###.", "D": "####. #...# #...# #...# #...# #...# ####.",
    "E": "#### #... #... ###. #... #... ####", "F": "#### #... #... ###. #... #... #...",
    "G": ".###. #...# #.... #.### #...# #...# .###.", "H": "#...# #...# #...# ##### #...# #...# #...#",
    "I": "### .#. .#. .#. .#. .#. ###", "J": "..## ...# ...# ...# ...# #..# .##.",
    "K": "#...# #..#. #.#.. ##... #.#.. #..#. #...#", "L": "#... #... #... #... #... #... ####",
    "M": "#...# ##.## #.#.# #.#.# #...# #...# #...#", "N": "#...# #...# ##..# #.#.# #..## #...# #...#",
    "O": ".###. #...# #...# #...# #...# #...# .###.", "P": "####. #...# #...# ####. #.... #.... #....",
    "Q": ".###. #...# #...# #...# #.#.# #..#. .##.#", "R": "####. #...# #...# ####. #.#.. #..#. #...#",
    "S": ".#### #.... #.... .###. ....# ....# ####.", "T": "##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..",
    "U": "#...# #...# #...# #...# #...# #...# .###.", "V": "#...# #...# #...# #...# #...# .#.#. ..#..",
    "W": "#...# #...# #...# #.#.# #.#.# ##.## #...#", "X": "#...# #...# .#.#. ..#.. .#.#. #...# #...#",
    "Y": "#...# #...# .#.#. ..#.. ..#.. ..#.. ..#..", "Z": "##### ....# ...#. ..#.. .#... #.... #####",
    "a": ".... .... .##. ...# .### #..# .###", "b": "#... #... ###. #..# #..# #..# ###.",
    "c": "... ... .## #.. #.. #.. .##", "d": "...# ...# .### #..# #..# #..# .###",
    "e": ".... .... .##. #..# #### #... .###", "f": ".## #.. ### #.. #.. #.. #..",
    "g": ".... .... .### #..# #..# #..# .### ...# .##.", "h": "#... #... ###. #..# #..# #..# #..#",
    "i": "# . # # # # #", "j": ".# .. .# .# .# .# .# .# #.",
    "k": "#... #... #..# #.#. ##.. #.#. #..#", "l": "# # # # # # #",
    "m": "..... ..... ####. #.#.# #.#.# #.#.# #.#.#", "n": ".... .... ###. #..# #..# #..# #..#",
    "o": ".... .... .##. #..# #..# #..# .##.", "p": ".... .... ###. #..# #..# #..# ###. #... #...",
    "q": ".... .... .### #..# #..# #..# .### ...# ...#", "r": "... ... #.# ##. #.. #.. #..",
    "s": ".... .... .### #... .##. ...# ###.", "t": ".#. .#. ### .#. .#. .#. ..#",
    "u": ".... .... #..# #..# #..# #..# .###", "v": "..... ..... #...# #...# .#.#. .#.#. ..#..",
    "w": "..... ..... #...# #...# #.#.# #.#.# .#.#.", "x": ".... .... #..# #..# .##. #..# #..#",
    "y": ".... .... #..# #..# #..# #..# .### ...# .##.", "z": ".... .... #### ...# .##. #... ####",
    "0": ".##. #..# #..# #..# #..# #..# .##.", "1": ".#. ##. .#. .#. .#. .#. ###",
    "2": ".##. #..# ...# ..#. .#.. #... ####", "3": "###. ...# ...# .##. ...# ...# ###.",
    "4": "#..# #..# #..# #### ...# ...# ...#", "5": "#### #... #... ###. ...# ...# ###.",
    "6": ".##. #... #... ###. #..# #..# .##.", "7": "#### ...# ...# ..#. .#.. .#.. .#..",
    "8": ".##. #..# #..# .##. #..# #..# .##.", "9": ".##. #..# #..# .### ...# ...# .##.",
    ".": ". . . . . . #", " ": ".. .. .. .. .. .. ..",
}
GLYPHS = {ch: rows.split() for ch, rows in _GLYPH_ROWS.items()}
CAP_HEIGHT = 7
LETTER_GAP = 1


def text_width(text: str) -> int:
    return sum(len(GLYPHS[ch][0]) for ch in text) + LETTER_GAP * (len(text) - 1)


def draw_text(c: Canvas, x: int, cap_top: int, text: str, colour: Colour):
    for ch in text:
        rows = GLYPHS[ch]
        c.sprite(x, cap_top, [r.replace("#", "t") for r in rows], {"t": colour})
        x += len(rows[0]) + LETTER_GAP


# ----------------------------------------------------------------------------------------------
# Shared motifs
# ----------------------------------------------------------------------------------------------

def draw_page(c: Canvas, x, y, w, h, fold, outline, paper, fold_fill, line_colour=None):
    """A sheet with a turned-down top-right corner and optional text lines."""
    corner = w - 1 - fold
    for r in range(h):
        for col in range(w):
            over_edge = col - corner
            if over_edge > r:
                continue
            on_border = r in (0, h - 1) or col in (0, w - 1) or over_edge == r
            in_flap = col >= corner and r <= fold
            if on_border or (in_flap and (col == corner or r == fold)):
                colour = outline
            elif in_flap:
                colour = fold_fill
            else:
                colour = paper
            c.put(x + col, y + r, colour)
    if line_colour:
        for r in range(3, h - 2, 2):
            right = w - 3 if r > fold else corner - 2
            c.hline(x + 2, y + r, right - 1, line_colour)


def draw_landscape(c: Canvas, x, y, w, h, aa=True):
    """A tiny sunny view: the picture motif of the file-list image and the application icon."""
    c.fill_rect(x, y, w, h, vgradient(y, h, (86, 150, 228), (190, 224, 250)))
    c.fill(disc(x + w * 0.74, y + h * 0.3, max(1.0, h * 0.16)), (255, 214, 64), aa)
    c.fill(Shape(_box(x, y, x + w, y + h),
                 lambda px, py: x <= px < x + w and py < y + h and
                 py > y + h * (0.62 - 0.16 * math.sin((px - x) / w * math.pi * 1.1))), (64, 168, 72), aa)
    c.fill(Shape(_box(x, y, x + w, y + h),
                 lambda px, py: x <= px < x + w and py < y + h and
                 py > y + h * (0.8 - 0.14 * math.sin((px - x) / w * math.pi * 1.3 + 2.2))), (30, 120, 58), aa)


def draw_buoy(c: Canvas, cx, cy, r_out, r_in, aa, outline=(110, 20, 20)):
    """A life ring of four red and four white sections, outlined."""
    def section(x, y):
        a = math.atan2(y + 0.5 - cy, x + 0.5 - cx) + math.pi / 8
        return (224, 38, 30) if int(math.floor(a / (math.pi / 4))) % 2 == 0 else (250, 248, 242)
    c.fill(ring(cx, cy, r_out, r_in), outline, aa)
    c.fill(ring(cx, cy, r_out - 1.0, r_in + 1.0), section, aa)


def draw_cross(c: Canvas, x0, y0, x1, y1, half, aa, fill=(226, 40, 32), edge=(128, 12, 12)):
    """A red diagonal cross between two corners."""
    for r, colour in ((half + 0.9, edge), (half, fill)):
        c.fill(union(capsule(x0, y0, x1, y1, r), capsule(x1, y0, x0, y1, r)), colour, aa)


def draw_magnifier(c: Canvas, cx, cy, r, rim, handle_to, aa=True, rim_colour=(0, 96, 70), handle=(40, 44, 48)):
    """A lens of radius r (to the middle of its rim) with a handle running to handle_to."""
    hx, hy = handle_to
    angle = math.atan2(hy - cy, hx - cx)
    sx, sy = cx + r * math.cos(angle), cy + r * math.sin(angle)
    c.fill(capsule(sx, sy, hx, hy, rim * 0.85), handle, aa)
    c.fill(capsule(sx, sy, hx, hy, rim * 0.35), lighten(handle, 0.3), aa)
    c.fill(disc(cx, cy, r), (196, 236, 255, 110), aa)
    c.fill(ring(cx, cy, r + rim / 2, r - rim / 2), rim_colour, aa)
    c.fill(ring(cx, cy, r + rim / 2, r + rim / 2 - max(0.7, rim * 0.25)), lighten(rim_colour, 0.35), aa)
    glint_r = r - rim / 2 - max(1.0, rim * 0.45)
    if glint_r > 1.5:
        gx = lambda a: (cx + glint_r * math.cos(a), cy + glint_r * math.sin(a))
        c.fill(capsule(*gx(math.radians(200)), *gx(math.radians(245)), max(0.6, rim * 0.22)), (255, 255, 255, 200), aa)


def draw_gear(c: Canvas, cx, cy, r_out, r_root, r_hole, colour, aa=True, teeth=8):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        a = (math.atan2(y - cy, x - cx) / (2 * math.pi) * teeth + 0.25) % 1.0
        return r_hole <= d <= (r_out if a < 0.5 else r_root)
    c.fill(Shape(_box(cx - r_out, cy - r_out, cx + r_out, cy + r_out), inside), colour, aa)


def draw_power(c: Canvas, cx, cy, r, colour, aa=True):
    gap = minus(ring(cx, cy, r, r * 0.62), polygon([(cx, cy), (cx - r * 0.8, cy - r * 1.2), (cx + r * 0.8, cy - r * 1.2)]))
    c.fill(gap, colour, aa)
    c.fill(capsule(cx, cy - r * 0.95, cx, cy - r * 0.1, r * 0.17 + 0.2), colour, aa)


FOLDER_PAL = {"k": (96, 62, 8), "Y": (226, 168, 40), "y": (255, 212, 86), "o": (255, 238, 160)}

OPEN_FOLDER = [
    ".kkkk.......",
    "kYYYYk......",
    "kYYYYYkkkkk.",
    "kYYYYYYYYYk.",
    "kYYkkkkkkkkk",
    "kYkoyyyyyyyk",
    "kYkyyyyyyyk.",
    "kkyyyyyyyyk.",
    "kkyyyyyyyk..",
    "kkkkkkkkkk..",
]

CLOSED_FOLDER = [
    ".kkkkkk.........",
    "kyooooyk........",
    "kyyyyyyykkkkkkk.",
    "kooooooooooooook",
    "koyyyyyyyyyyyyYk",
    "koyyyyyyyyyyyyYk",
    "koyyyyyyyyyyyyYk",
    "koyyyyyyyyyyyyYk",
    "koyyyyyyyyyyyyYk",
    "koyyyyyyyyyyyyYk",
    "kYYYYYYYYYYYYYYk",
    ".kkkkkkkkkkkkkk.",
]

QUESTION_MARK = [".###.", "#...#", "....#", "..##.", "..#..", ".....", "..#.."]


# ----------------------------------------------------------------------------------------------
# 130: the file list's small images
# ----------------------------------------------------------------------------------------------

def paint_file_images() -> Canvas:
    c = Canvas(32, 16, MAGENTA)
    # 0: a source document carrying a picture
    draw_page(c, 2, 0, 12, 16, 4, (52, 62, 84), (252, 252, 250), (214, 222, 236))
    c.hline(4, 3, 5, (150, 164, 190))
    c.frame(3, 5, 10, 7, (96, 110, 140))
    draw_landscape(c, 4, 6, 8, 5, aa=False)
    c.hline(4, 13, 8, (150, 164, 190))
    # 1: a folder
    c.sprite(16, 2, CLOSED_FOLDER, FOLDER_PAL)
    return c


# ----------------------------------------------------------------------------------------------
# 175-183: hover buttons (normal, pressed, hover)
# ----------------------------------------------------------------------------------------------

@dataclass(frozen=True)
class FaceStyle:
    top: Colour
    bottom: Colour
    border: Colour
    gloss: float          # how much the upper half is lightened
    shift: int            # the pressed face moves its content down and right
    sunken: bool


FACES = (
    FaceStyle(top=(150, 228, 186), bottom=(30, 150, 106), border=(0, 70, 44), gloss=0.22, shift=0, sunken=False),
    FaceStyle(top=(24, 112, 78), bottom=(76, 180, 134), border=(0, 52, 34), gloss=0.0, shift=1, sunken=True),
    FaceStyle(top=(196, 255, 222), bottom=(54, 196, 138), border=(0, 226, 50), gloss=0.3, shift=0, sunken=False),
)


def pictogram_open(c, x, y):
    c.sprite(x, y, OPEN_FOLDER, FOLDER_PAL)


def pictogram_extract(c, x, y):
    draw_buoy(c, x + 4.5, y + 4.5, 4.6, 1.9, aa=True)


def pictogram_options(c, x, y):
    draw_gear(c, x + 4.5, y + 4.5, 4.6, 3.2, 1.3, (28, 58, 66))


def pictogram_help(c, x, y):
    c.fill(disc(x + 5.5, y + 5.5, 5.5), (18, 70, 160), True)
    c.fill(disc(x + 5.5, y + 5.5, 4.6), (40, 112, 214), True)
    c.sprite(x + 3, y + 2, QUESTION_MARK, {"#": (255, 255, 250)})


def pictogram_exit(c, x, y):
    draw_power(c, x + 5.5, y + 5.5, 5.3, (178, 22, 22))


def pictogram_delete(c, x, y):
    draw_cross(c, x + 1.8, y + 1.8, x + 9.2, y + 9.2, 1.3, True)


def pictogram_empty(c, x, y):
    draw_page(c, x, y, 9, 11, 3, (52, 62, 84), (250, 250, 246), (210, 218, 232), (150, 164, 190))
    c.fill(disc(x + 8, y + 8, 3.4), (150, 16, 16), True)
    c.fill(disc(x + 8, y + 8, 2.6), (226, 44, 36), True)
    c.hline(x + 6, y + 8, 5, (255, 250, 246))


@dataclass(frozen=True)
class HoverButton:
    res_id: int
    subject: str
    caption: str
    size: Tuple[int, int]          # one frame, the size of the button's place in the dialog
    dialog_y_dlu: int              # where the button sits, to match the band colour behind its corners
    pictogram: Callable
    pictogram_size: Tuple[int, int]


HOVER_BUTTONS = (
    HoverButton(175, "open_button", "Open", (51, 23), 199, pictogram_open, (12, 10)),
    HoverButton(177, "extract_button", "Extract", (48, 23), 199, pictogram_extract, (9, 9)),
    HoverButton(178, "options_button", "Options", (42, 24), 199, pictogram_options, (9, 9)),
    HoverButton(179, "help_button", "Help", (48, 23), 199, pictogram_help, (11, 11)),
    HoverButton(181, "exit_button", "Exit", (48, 23), 199, pictogram_exit, (11, 11)),
    HoverButton(182, "delete_button", "Delete", (75, 23), 44, pictogram_delete, (11, 11)),
    HoverButton(183, "empty_list_button", "Empty", (63, 20), 44, pictogram_empty, (11, 11)),
)


def draw_button_face(c: Canvas, style: FaceStyle, top_px: int):
    w, h = c.w, c.h
    c.fill_rect(0, 0, w, h, lambda x, y: band_colour(top_px + y))
    c.fill(round_rect(0, 0, w, h, 4), style.border, aa=True)
    face = vgradient(1, h - 2, style.top, style.bottom)
    c.fill(round_rect(1, 1, w - 2, h - 2, 3), face, aa=True)
    if style.gloss:
        c.fill(round_rect(2, 1, w - 4, (h - 2) // 2, 2.5), (255, 255, 255, int(255 * style.gloss)), aa=True)
        c.hline(4, 1, w - 8, lighten(style.top, 0.6))
        c.hline(4, h - 2, w - 8, darken(style.bottom, 0.25))
    if style.sunken:
        c.hline(3, 1, w - 6, darken(style.top, 0.4))
        c.vline(1, 3, h - 6, darken(style.top, 0.3))


def layout_button(b: HoverButton):
    """Pictogram left of the caption when both fit; otherwise the pictogram above it."""
    fw, fh = b.size
    iw, ih = b.pictogram_size
    tw = text_width(b.caption)
    for gap in (3, 2):
        if iw + gap + tw <= fw - 6:
            x = (fw - (iw + gap + tw)) // 2
            return (x, (fh - ih) // 2), (x + iw + gap, (fh - CAP_HEIGHT) // 2)
    top = (fh - (ih + 2 + CAP_HEIGHT)) // 2
    return ((fw - iw) // 2, top), ((fw - tw) // 2, top + ih + 2)


def paint_hover_button(b: HoverButton) -> Canvas:
    (ix, iy), (tx, ty) = layout_button(b)
    frames = []
    for style in FACES:
        f = Canvas(*b.size)
        draw_button_face(f, style, dlu_to_px_y(b.dialog_y_dlu))
        s = style.shift
        b.pictogram(f, ix + s, iy + s)
        draw_text(f, tx + s, ty + s, b.caption, INK)
        frames.append(f)
    return avoid_3d_greys(strip(frames))


def avoid_3d_greys(c: Canvas) -> Canvas:
    return c.mapped(lambda x, y, p: (p[0], p[1], p[2] + 1, 255) if p[:3] in MAPPED_3D_GREYS else p)


# ----------------------------------------------------------------------------------------------
# 187: the File menu's side strip (tiled, so it repeats seamlessly every 64 rows)
# ----------------------------------------------------------------------------------------------

def paint_menu_strip() -> Canvas:
    w, h = 20, 64
    c = Canvas(w, h)
    c.fill_rect(0, 0, w, h, lambda x, y: mix((150, 192, 236), (214, 232, 250), x / (w - 1)))
    for y0 in range(0, h, 16):
        c.fill(regular_polygon(10, y0 + 8, 3.2, 4, math.pi / 4 * 2), (255, 255, 255, 90), aa=True)
    c.vline(1, 0, h, (196, 222, 248))
    c.vline(w - 1, 0, h, (120, 160, 210))
    return c


# ----------------------------------------------------------------------------------------------
# 196-235: menu item pictures.  Light grey background: the menu recolours it to its own colour.
# ----------------------------------------------------------------------------------------------

ITEM = 16

PUZZLE = [
    "................",
    ".....kkkk.......",
    "....kBBbbk......",
    "....kBbbbk......",
    "..kkkkbbkkkkk...",
    "..kBBbbbbbbbk...",
    "..kBbbbbbbbbkkk.",
    "..kbbbbbbbbbbbbk",
    "..kbbbbbbbbbbbdk",
    "..kbbbbbbbbbkkk.",
    "..kbbbbbbbbdk...",
    "..kbbkkkkkbdk...",
    "..kbbk...kbdk...",
    "..kkkk...kkkk...",
    "................",
    "................",
]

SWAP_ARROWS = [
    "................",
    "..........R.....",
    "..........RR....",
    "..RRRRRRRRrrR...",
    "..RpppppppprrR..",
    "..RRRRRRRRrrR...",
    "..........RR....",
    "..........R.....",
    ".....R..........",
    "....RR..........",
    "...RrrRRRRRRRR..",
    "..RrrppppppppR..",
    "...RrrRRRRRRRR..",
    "....RR..........",
    ".....R..........",
    "................",
]

LIGHT_BULB = [
    "................",
    "......kkkk......",
    "....kkuuuukk....",
    "...kuwwuuuuuk...",
    "...kuwuuuuuuk...",
    "...kuuuuuuuuk...",
    "...kuuuuuuuUk...",
    "....kuuuuuUk....",
    ".....kuuuUk.....",
    ".....kuuuUk.....",
    ".....kSSSSk.....",
    ".....kssssk.....",
    ".....kSSSSk.....",
    "......kssk......",
    ".......kk.......",
    "................",
]

CHECK_MARK = [
    "................",
    "................",
    ".............k..",
    "............kgk.",
    "...........kggk.",
    "..........kgggk.",
    "..k......kgggk..",
    ".kGk....kgggk...",
    ".kGgk..kgggk....",
    ".kgggkkgggk.....",
    "..kgggggggk.....",
    "...kgggggk......",
    "....kgggk.......",
    ".....kgk........",
    "......k.........",
    "................",
]


def menu_item(draw: Callable[[Canvas], None]) -> Callable[[], Canvas]:
    def paint():
        c = Canvas(ITEM, ITEM, MENU_GREY)
        draw(c)
        return c
    return paint


def item_two_pages(c):
    draw_page(c, 1, 0, 9, 12, 3, (52, 62, 84), (226, 232, 242), (200, 208, 224), (160, 172, 196))
    draw_page(c, 5, 3, 10, 13, 3, (40, 50, 72), (254, 254, 250), (214, 222, 236), (120, 140, 180))


def item_red_cross(c):
    draw_cross(c, 4.5, 4.5, 11.5, 11.5, 1.6, False)


def item_life_buoy(c):
    draw_buoy(c, 8, 8, 7.5, 3.4, False)


def item_stop_sign(c):
    turn = math.pi / 8
    c.fill(regular_polygon(8, 8, 8.0, 8, turn), (110, 12, 12))
    c.fill(regular_polygon(8, 8, 7.0, 8, turn), (250, 248, 244))
    c.fill(regular_polygon(8, 8, 6.0, 8, turn), (214, 32, 28))
    c.fill_rect(4, 7, 8, 2, (250, 248, 244))


def item_sprite(rows, palette):
    return lambda c: c.sprite(0, 0, rows, palette)


@dataclass(frozen=True)
class Flag:
    res_id: int
    language: str
    draw: Callable[[Canvas, int, int, int, int], None]


def stripes(colours, vertical):
    def draw(c, x, y, w, h):
        n = len(colours)
        for i, colour in enumerate(colours):
            if vertical:
                c.fill_rect(x + i * w // n, y, (i + 1) * w // n - i * w // n, h, colour)
            else:
                c.fill_rect(x, y + i * h // n, w, (i + 1) * h // n - i * h // n, colour)
    return draw


def cross_flag(c, x, y, w, h):
    c.fill_rect(x, y, w, h, (250, 250, 248))
    c.fill_rect(x + w // 2 - 1, y, 2, h, (206, 24, 40))
    c.fill_rect(x, y + h // 2 - 1, w, 2, (206, 24, 40))


FLAG_RED, FLAG_WHITE = (214, 30, 38), (250, 250, 248)
FLAGS = (
    Flag(226, "english", cross_flag),
    Flag(222, "french", stripes([(20, 60, 170), FLAG_WHITE, FLAG_RED], True)),
    Flag(225, "german", stripes([(24, 24, 24), (214, 16, 16), (252, 204, 0)], False)),
    Flag(228, "italian", stripes([(0, 146, 70), FLAG_WHITE, (206, 43, 55)], True)),
    Flag(230, "spanish", stripes([(190, 20, 30), (252, 196, 0), (252, 196, 0), (190, 20, 30)], False)),
    Flag(232, "romanian", stripes([(0, 43, 127), (252, 209, 22), (206, 17, 38)], True)),
)


def paint_flag(flag: Flag) -> Canvas:
    c = Canvas(ITEM, ITEM, MENU_GREY)
    c.frame(1, 3, 14, 10, (44, 44, 52))
    flag.draw(c, 2, 4, 12, 8)
    return c


# ----------------------------------------------------------------------------------------------
# 239-256: menu-bar pictures, three per language: File, Options, Help
# ----------------------------------------------------------------------------------------------

MENU_BAR_CAPTIONS = (
    ("english", ("File", "Options", "Help")),
    ("french", ("Fichiers", "Config.", "Aide")),
    ("german", ("Dateien", "Einstell.", "Hilfe")),
    ("italian", ("File", "Opzioni", "Aiuto")),
    ("spanish", ("Archivo", "Opciones", "Ayuda")),
    ("romanian", ("Fisier", "Optiuni", "Ajutor")),
)
MENU_BAR_SIZE = (47, 16)
MENU_BAR_FIRST_ID = 239


def paint_menu_bar(caption: str) -> Callable[[], Canvas]:
    def paint():
        w, h = MENU_BAR_SIZE
        assert text_width(caption) <= w - 4, caption
        c = Canvas(w, h)
        c.fill_rect(0, 0, w, h, vgradient(0, h, (150, 232, 140), (42, 164, 62)))
        c.fill_rect(1, 1, w - 2, h // 2 - 1, (255, 255, 255, 50))
        c.hline(0, 0, w, (214, 255, 206))
        c.vline(0, 0, h, (214, 255, 206))
        c.hline(0, h - 1, w, (16, 96, 32))
        c.vline(w - 1, 0, h, (16, 96, 32))
        draw_text(c, (w - text_width(caption) + 1) // 2, (h - CAP_HEIGHT) // 2, caption, BLACK)
        return c
    return paint


# ----------------------------------------------------------------------------------------------
# Photographs for the side picture and the about background
# ----------------------------------------------------------------------------------------------

def scene_meadow(w, h, rng):
    c = Canvas(w, h)
    draw_landscape(c, 0, 0, w, h)
    return c


def scene_sunset(w, h, rng):
    c = Canvas(w, h)
    horizon = int(h * 0.6)
    c.fill_rect(0, 0, w, horizon, vgradient(0, horizon, (112, 60, 140), (252, 170, 76)))
    c.fill(disc(w * 0.45, horizon, h * 0.2), (255, 226, 120), True)
    c.fill_rect(0, horizon, w, h - horizon, vgradient(horizon, h - horizon, (34, 58, 120), (12, 26, 64)))
    for y in range(horizon + 1, h, 2):
        half = max(1, int(w * 0.16 * (1 - (y - horizon) / (h - horizon))))
        c.hline(int(w * 0.45) - half, y, 2 * half, (250, 190, 100))
    return c


def scene_peaks(w, h, rng):
    c = Canvas(w, h)
    c.fill_rect(0, 0, w, h, vgradient(0, h, (96, 156, 230), (206, 228, 248)))
    ridge = [(0, h), (0, h * 0.7), (w * 0.3, h * 0.22), (w * 0.55, h * 0.55), (w * 0.75, h * 0.32), (w, h * 0.6), (w, h)]
    c.fill(polygon(ridge), (96, 108, 134), True)
    c.fill(minus(polygon(ridge), Shape(_box(0, 0, w, h), lambda x, y: y > h * 0.42 + 0.1 * abs(x - w * 0.3))),
           (246, 248, 252), True)
    c.fill_rect(0, int(h * 0.82), w, h, (50, 130, 70))
    return c


def scene_portrait(w, h, rng):
    c = Canvas(w, h)
    c.fill_rect(0, 0, w, h, vgradient(0, h, (244, 226, 190), (214, 180, 140)))
    c.fill(round_rect(w * 0.18, h * 0.68, w * 0.64, h * 0.5, w * 0.2), (34, 92, 112), True)
    c.fill(disc(w * 0.5, h * 0.42, h * 0.2), (34, 92, 112), True)
    return c


def scene_flower(w, h, rng):
    c = Canvas(w, h)
    c.fill_rect(0, 0, w, h, vgradient(0, h, (120, 190, 96), (44, 120, 56)))
    cx, cy, r = w * 0.5, h * 0.45, min(w, h) * 0.17
    c.fill(capsule(cx, cy, cx - w * 0.06, h, max(1.0, w * 0.03)), (30, 96, 40), True)
    for i in range(6):
        a = i * math.pi / 3
        c.fill(disc(cx + r * math.cos(a), cy + r * math.sin(a), r * 0.75), (240, 118, 164), True)
    c.fill(disc(cx, cy, r * 0.6), (255, 212, 60), True)
    return c


def scene_city(w, h, rng):
    c = Canvas(w, h)
    c.fill_rect(0, 0, w, h, vgradient(0, h, (14, 22, 64), (70, 60, 126)))
    for _ in range(w * h // 60):
        c.put(rng.randrange(w), rng.randrange(h // 2), (230, 230, 200))
    x = 0
    while x < w:
        bw, bh = rng.randint(4, 8), rng.randint(h // 3, h * 3 // 4)
        c.fill_rect(x, h - bh, bw, bh, (24, 24, 40))
        for wy in range(h - bh + 2, h - 1, 3):
            for wx in range(x + 1, x + bw - 1, 2):
                if rng.random() < 0.5:
                    c.put(wx, wy, (255, 214, 100))
        x += bw + 1
    return c


def scene_damaged(w, h, rng):
    """A photograph half read back and half still scrambled: what the program repairs."""
    c = scene_meadow(w, h, rng)
    top = h // 2
    for by in range(top, h, 3):
        for bx in range(0, w, 4):
            src_x, src_y = rng.randrange(w), rng.randrange(h)
            colour = c.get(src_x, src_y)
            if rng.random() < 0.25:
                colour = (rng.randrange(256), rng.randrange(256), rng.randrange(256))
            c.fill_rect(bx, by, 4, 3, colour[:3])
    c.hline(0, top, w, (255, 255, 255))
    return c


SCENES = (scene_meadow, scene_portrait, scene_sunset, scene_damaged, scene_peaks, scene_flower, scene_city)


# ----------------------------------------------------------------------------------------------
# 269: the side picture, three frames of 75 x 324: a strip of film against the window's bands
# ----------------------------------------------------------------------------------------------

SIDE_FRAME = (75, 324)
SIDE_TOP_PX = dlu_to_px_y(34)


def paint_side_frame() -> Canvas:
    w, h = SIDE_FRAME
    rng = random.Random(269)
    c = Canvas(w, h)
    c.fill_rect(0, 0, w, h, lambda x, y: band_colour(SIDE_TOP_PX + y))
    film_x, film_w = 9, 55
    c.fill_rect(film_x + 3, 0, film_w, h, (0, 0, 0, 90))  # shadow on the bands
    c.fill_rect(film_x, 0, film_w, h, lambda x, y: mix((30, 34, 40), (14, 16, 20), (x - film_x) / film_w))
    for y in range(2, h, 9):
        for hole_x in (film_x + 3, film_x + film_w - 8):
            c.fill(round_rect(hole_x, y, 5, 5, 1.2), lambda x, yy: lighten(band_colour(SIDE_TOP_PX + yy), 0.15), True)
    cell_x, cell_w, cell_h, pitch = film_x + 11, film_w - 22, 34, 40
    for i, y in enumerate(range(-14, h, pitch)):
        photo = SCENES[i % len(SCENES)](cell_w, cell_h, rng)
        c.fill_rect(cell_x - 1, y - 1, cell_w + 2, cell_h + 2, (58, 64, 70))
        c.paste(photo, cell_x, y)
    # a soft sheen across the film and a thin green edge, the banner's line colour
    c.fill(polygon([(film_x, 90), (film_x + film_w, 40), (film_x + film_w, 70), (film_x, 120)]), (255, 255, 255, 28), True)
    c.vline(w - 2, 0, h, (0, 255, 25))
    c.vline(w - 1, 0, h, (0, 70, 30))
    return c


def paint_side_picture() -> Canvas:
    normal = paint_side_frame()
    pressed = normal.shifted(1, 1).mapped(lambda x, y, p: darken(p, 0.18))
    hover = normal.mapped(lambda x, y, p: lighten(p, 0.12))
    hover.frame(0, 0, hover.w, hover.h, TITLE_GREEN)
    return avoid_3d_greys(strip([normal, pressed, hover]))


# ----------------------------------------------------------------------------------------------
# 272: splash and about background, tiled as a pattern brush; it repeats seamlessly downwards, and both
# windows are narrower than it, so it never repeats sideways
# ----------------------------------------------------------------------------------------------

ABOUT_SIZE = (469, 228)


def about_base(x, y):
    w, h = ABOUT_SIZE
    # darker around the pictures near the top, palest where the splash writes its line (y about 160)
    depth = 0.5 + 0.5 * math.cos(2 * math.pi * (y - 60) / h)
    base = mix((238, 247, 243), (150, 206, 190), 0.75 * depth)
    wave = (y + 16 * math.sin(4 * math.pi * x / w) + 0.25 * x) % (h / 4)
    glow = max(0.0, 1 - abs(wave - h / 8) / 7)
    return lighten(base, 0.22 * glow)


def draw_photo_card(c: Canvas, x, y, w, h, scene, rng):
    c.fill(round_rect(x + 3, y + 4, w, h, 3), (0, 40, 30, 60), True)
    c.fill(round_rect(x, y, w, h, 2), (252, 252, 248), True)
    c.frame(x, y, w, h, (190, 196, 200))
    c.paste(scene(w - 10, h - 10, rng), x + 5, y + 5)


def paint_about_background() -> Canvas:
    w, h = ABOUT_SIZE
    rng = random.Random(272)
    c = Canvas(w, h)
    c.fill_rect(0, 0, w, h, about_base)
    # kept left of x 435, the width of the splash window
    draw_photo_card(c, 282, 18, 96, 72, scene_sunset, rng)
    draw_photo_card(c, 298, 30, 96, 72, scene_peaks, rng)
    draw_photo_card(c, 314, 44, 96, 72, scene_meadow, rng)
    draw_magnifier(c, 384, 96, 22, 6, (422, 134), rim_colour=(0, 110, 64))
    return c


# ----------------------------------------------------------------------------------------------
# Icons and cursor
# ----------------------------------------------------------------------------------------------

@dataclass(frozen=True)
class AppIconLayout:
    photo: Tuple[float, float, float, float]   # x, y, w, h of the card
    mat: int                                    # white border around the picture
    lens: Tuple[float, float, float, float]    # centre x, y, radius, rim width
    handle_to: Tuple[float, float]


APP_ICON_LAYOUTS = {
    32: AppIconLayout((2, 4, 21, 18), 3, (21, 20, 6.2, 2.6), (30, 30)),
    16: AppIconLayout((0.5, 1.5, 13, 10), 2, (10.5, 10, 3.5, 1.6), (15.3, 15.3)),
}


def paint_app_icon(size: int) -> Canvas:
    """A photograph under a magnifying glass."""
    lay = APP_ICON_LAYOUTS[size]
    c = Canvas(size, size)
    x, y, w, h = lay.photo
    c.fill(round_rect(x + 1, y + 1, w, h, 1.5), (0, 0, 0, 70), True)
    c.fill(round_rect(x, y, w, h, 1.5), (64, 72, 84), True)
    c.fill(round_rect(x + 1, y + 1, w - 2, h - 2, 1.0), (252, 252, 246), True)
    px, py = int(round(x)) + lay.mat, int(round(y)) + lay.mat
    draw_landscape(c, px, py, int(round(x + w)) - lay.mat - px, int(round(y + h)) - lay.mat - py)
    lx, ly, lr, rim = lay.lens
    draw_magnifier(c, lx, ly, lr, rim, lay.handle_to, rim_colour=(0, 120, 70))
    return c


def paint_installer_icon(size: int) -> Canvas:
    """A parcel with an arrow going into it."""
    c = Canvas(size, size)
    s = size / 32
    body = (0, 128, 104)
    c.fill(polygon([(4 * s, 15 * s), (28 * s, 15 * s), (28 * s, 29 * s), (4 * s, 29 * s)]), (0, 62, 52), True)
    c.fill(polygon([(4 * s + 1, 15 * s + 1), (28 * s - 1, 15 * s + 1), (28 * s - 1, 29 * s - 1), (4 * s + 1, 29 * s - 1)]),
           vgradient(int(15 * s), int(14 * s), lighten(body, 0.35), body), True)
    c.fill(polygon([(4 * s, 15 * s), (1 * s, 10 * s), (11 * s, 10 * s), (13 * s, 15 * s)]), (64, 186, 156), True)
    c.fill(polygon([(28 * s, 15 * s), (31 * s, 10 * s), (21 * s, 10 * s), (19 * s, 15 * s)]), (64, 186, 156), True)
    c.fill_rect(int(round(8 * s)), int(round(21 * s)), int(round(9 * s)), max(2, int(round(5 * s))), (236, 248, 240))
    c.hline(int(round(9 * s)), int(round(22 * s)), int(round(6 * s)), (120, 150, 140))
    arrow = polygon([(13 * s, 1 * s), (19 * s, 1 * s), (19 * s, 9 * s), (23 * s, 9 * s), (16 * s, 17 * s),
                     (9 * s, 9 * s), (13 * s, 9 * s)])
    c.fill(arrow, (0, 80, 20), True)
    inner = polygon([(14 * s, 2 * s), (18 * s, 2 * s), (18 * s, 10 * s), (20.5 * s, 10 * s), (16 * s, 15.3 * s),
                     (11.5 * s, 10 * s), (14 * s, 10 * s)])
    c.fill(inner, vgradient(int(2 * s), int(13 * s), (140, 255, 120), (0, 190, 40)), True)
    return c


HAND = [
    ".....kk..........",
    "....kwwk.........",
    "....kwwk.........",
    "....kwwk.........",
    "....kwwk.........",
    "....kwwkkkk......",
    "....kwwkwwkkkk...",
    "....kwwkwwkwwkkk.",
    ".kk.kwwkwwkwwkwwk",
    "kwwkkwwkwwkwwkwwk",
    "kwwwkwwwwwwwwwwwk",
    ".kwwwwwwwwwwwwwwk",
    ".kwwwwwwwwwwwwwwk",
    "..kwwwwwwwwwwwwwk",
    "..kwwwwwwwwwwwwwk",
    "...kwwwwwwwwwwwk.",
    "...kwwwwwwwwwwwk.",
    "....kwwwwwwwwwk..",
    "....kwwwwwwwwwk..",
    "....kkkkkkkkkkk..",
]
HAND_AT = (4, 1)
HAND_HOTSPOT = (HAND_AT[0] + 5, HAND_AT[1])


def paint_hand_cursor():
    c = Canvas(32, 32)
    c.sprite(HAND_AT[0], HAND_AT[1], HAND, {"k": BLACK, "w": WHITE})
    return c, HAND_HOTSPOT


# ----------------------------------------------------------------------------------------------
# File formats
# ----------------------------------------------------------------------------------------------

def _info_header(w, h, bpp, image_size, colours_used=0):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, image_size, 3780, 3780, colours_used, 0)


def encode_bmp(c: Canvas) -> bytes:
    """24-bit BI_RGB, bottom-up, rows padded to 4 bytes."""
    assert all(p[3] == 255 for p in c.px), "a bitmap must be opaque"
    pad = bytes((4 - c.w * 3 % 4) % 4)
    rows = []
    for y in range(c.h - 1, -1, -1):
        row = bytearray()
        for r, g, b, _ in c.px[y * c.w:(y + 1) * c.w]:
            row += bytes((b, g, r))
        rows.append(bytes(row) + pad)
    pixels = b"".join(rows)
    offset = 14 + 40
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + _info_header(c.w, c.h, 24, len(pixels)) + pixels


def _mask_rows(c: Canvas, transparent: Callable[[Colour], bool]) -> bytes:
    stride = (c.w + 31) // 32 * 4
    out = bytearray()
    for y in range(c.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(c.w):
            if transparent(c.get(x, y)):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def _icon_image(c: Canvas) -> bytes:
    """32-bit colour with alpha, plus the AND mask that systems without alpha use."""
    xor = bytearray()
    for y in range(c.h - 1, -1, -1):
        for r, g, b, a in c.px[y * c.w:(y + 1) * c.w]:
            xor += bytes((b, g, r, a)) if a else bytes(4)
    mask = _mask_rows(c, lambda p: p[3] < 128)
    return _info_header(c.w, c.h * 2, 32, len(xor) + len(mask)) + bytes(xor) + mask


def _directory(kind: int, entries: List[Tuple[int, int, int, int, int]], images: List[bytes]) -> bytes:
    """ICONDIR/CURSORDIR; each entry is (width, height, colours, field4, field6)."""
    head = struct.pack("<HHH", 0, kind, len(images))
    offset = len(head) + 16 * len(images)
    table = b""
    for (w, h, colours, f4, f6), image in zip(entries, images):
        table += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, f4, f6, len(image), offset)
        offset += len(image)
    return head + table + b"".join(images)


def encode_ico(images: List[Canvas]) -> bytes:
    blobs = [_icon_image(c) for c in images]
    return _directory(1, [(c.w, c.h, 0, 1, 32) for c in images], blobs)


def encode_cur(c: Canvas, hotspot: Tuple[int, int]) -> bytes:
    """A monochrome cursor: it looks the same on every system and colour depth."""
    for p in c.px:
        assert p[3] == 0 or p[:3] in (BLACK, WHITE), "a monochrome cursor is black, white or clear"
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    xor = _mask_rows(c, lambda p: p[3] != 0 and p[:3] == WHITE)
    mask = _mask_rows(c, lambda p: p[3] == 0)
    image = _info_header(c.w, c.h * 2, 1, len(xor) + len(mask), 2) + palette + xor + mask
    return _directory(2, [(c.w, c.h, 2, hotspot[0], hotspot[1])], [image])


def read_bmp_size(data: bytes) -> Tuple[int, int, int]:
    magic, file_size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    header, w, h, planes, bpp, compression, image_size = struct.unpack_from("<IiiHHII", data, 14)
    stride = (w * bpp + 31) // 32 * 4
    assert magic == b"BM" and file_size == len(data) and header == 40 and planes == 1 and compression == 0
    assert h > 0 and offset + stride * h == len(data) == offset + image_size
    return w, h, bpp


def read_bmp_pixel(data: bytes, x: int, y: int) -> Colour:
    w, h, _ = read_bmp_size(data)
    stride = (w * 3 + 3) // 4 * 4
    at = struct.unpack_from("<I", data, 10)[0] + (h - 1 - y) * stride + x * 3
    return data[at + 2], data[at + 1], data[at]


def read_directory(data: bytes, kind: int) -> List[Tuple[int, int, int, int]]:
    """(width, height, field4, field6) of each image, after checking the image headers."""
    reserved, found_kind, count = struct.unpack_from("<HHH", data, 0)
    assert reserved == 0 and found_kind == kind and count > 0
    out = []
    for i in range(count):
        w, h, _, _, f4, f6, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        header, iw, ih = struct.unpack_from("<Iii", data, offset)
        assert header == 40 and iw == (w or 256) and ih == 2 * (h or 256) and offset + size <= len(data)
        out.append((iw, ih // 2, f4, f6))
    return out


# ----------------------------------------------------------------------------------------------
# The resource table
# ----------------------------------------------------------------------------------------------

@dataclass(frozen=True)
class Resource:
    res_id: int
    subject: str
    kind: str                   # BITMAP, ICON or CURSOR: the .rc statement
    program: str                # tolvane or rezaravoz
    paint: Callable
    size: Tuple[int, int]       # one frame of a bitmap; the largest image of an icon or cursor
    frames: int = 1

    @property
    def file_name(self) -> str:
        ext = {"BITMAP": "bmp", "ICON": "ico", "CURSOR": "cur"}[self.kind]
        return f"{self.res_id}_{self.subject}.{ext}"


def _menu_bar_resources():
    out = []
    for lang_index, (language, captions) in enumerate(MENU_BAR_CAPTIONS):
        for slot, (menu, caption) in enumerate(zip(("file", "options", "help"), captions)):
            res_id = MENU_BAR_FIRST_ID + 3 * lang_index + slot
            out.append(Resource(res_id, f"menubar_{language}_{menu}", "BITMAP", "tolvane",
                                paint_menu_bar(caption), MENU_BAR_SIZE))
    return out


RESOURCES = sorted([
    Resource(130, "file_images", "BITMAP", "tolvane", paint_file_images, (16, 16), 2),
    *[Resource(b.res_id, b.subject, "BITMAP", "tolvane", (lambda b=b: paint_hover_button(b)), b.size, 3)
      for b in HOVER_BUTTONS],
    Resource(187, "menu_strip", "BITMAP", "tolvane", paint_menu_strip, (20, 64)),
    Resource(196, "item_options", "BITMAP", "tolvane", menu_item(item_sprite(PUZZLE, {
        "k": (0, 72, 70), "b": (0, 168, 156), "B": (130, 232, 216), "d": (0, 122, 112)})), (ITEM, ITEM)),
    Resource(198, "item_add_file", "BITMAP", "tolvane", menu_item(item_two_pages), (ITEM, ITEM)),
    Resource(199, "item_delete", "BITMAP", "tolvane", menu_item(item_red_cross), (ITEM, ITEM)),
    Resource(200, "item_clear_list", "BITMAP", "tolvane", menu_item(item_sprite(SWAP_ARROWS, {
        "R": (140, 14, 14), "r": (222, 40, 32), "p": (250, 110, 96)})), (ITEM, ITEM)),
    Resource(204, "item_recover", "BITMAP", "tolvane", menu_item(item_life_buoy), (ITEM, ITEM)),
    Resource(207, "item_exit", "BITMAP", "tolvane", menu_item(item_stop_sign), (ITEM, ITEM)),
    Resource(210, "item_help", "BITMAP", "tolvane", menu_item(item_sprite(LIGHT_BULB, {
        "k": (90, 70, 10), "u": (255, 226, 80), "U": (236, 180, 30), "w": (255, 252, 214),
        "S": (92, 100, 108), "s": (170, 178, 186)})), (ITEM, ITEM)),
    *[Resource(f.res_id, f"flag_{f.language}", "BITMAP", "tolvane", (lambda f=f: paint_flag(f)), (ITEM, ITEM))
      for f in FLAGS],
    Resource(235, "item_current_language", "BITMAP", "tolvane", menu_item(item_sprite(CHECK_MARK, {
        "k": (0, 80, 24), "g": (40, 178, 60), "G": (150, 236, 150)})), (ITEM, ITEM)),
    *_menu_bar_resources(),
    Resource(258, "app", "ICON", "tolvane", lambda: [paint_app_icon(32), paint_app_icon(16)], (32, 32)),
    Resource(269, "side_picture", "BITMAP", "tolvane", paint_side_picture, SIDE_FRAME, 3),
    Resource(272, "about_background", "BITMAP", "tolvane", paint_about_background, ABOUT_SIZE),
    Resource(168, "hand", "CURSOR", "tolvane", paint_hand_cursor, (32, 32)),
    Resource(128, "installer", "ICON", "rezaravoz", lambda: [paint_installer_icon(32), paint_installer_icon(16)],
             (32, 32)),
], key=lambda r: (r.program, r.kind != "BITMAP", r.kind, r.res_id))


def encode(res: Resource) -> bytes:
    if res.kind == "BITMAP":
        return encode_bmp(res.paint())
    if res.kind == "ICON":
        return encode_ico(res.paint())
    return encode_cur(*res.paint())


def check_output(res: Resource, data: bytes):
    """Read the encoded file back and check what the program relies on when it loads it."""
    fw, fh = res.size
    if res.kind == "BITMAP":
        w, h, bpp = read_bmp_size(data)
        assert (w, h, bpp) == (fw * res.frames, fh, 24), (res.res_id, w, h, bpp)
        pixels = {read_bmp_pixel(data, x, y) for x in range(w) for y in range(h)}
        if res.frames == 3:
            assert not pixels & set(MAPPED_3D_GREYS), f"{res.res_id} would be recoloured by the theme"
        if res.res_id == 130:
            assert read_bmp_pixel(data, 0, 0) == MAGENTA and read_bmp_pixel(data, 16, 15) == MAGENTA
        if (w, h) == (ITEM, ITEM):
            assert read_bmp_pixel(data, 0, 15) == MENU_GREY and read_bmp_pixel(data, 15, 15) == MENU_GREY
    elif res.kind == "ICON":
        assert [(w, h) for w, h, _, _ in read_directory(data, 1)] == [(32, 32), (16, 16)]
    else:
        [(w, h, hx, hy)] = read_directory(data, 2)
        assert (w, h) == (fw, fh) and 0 <= hx < w and 0 <= hy < h


def rc_text(program: str) -> str:
    lines = ["// Generated by tools/make_resources.py; edit and rerun that script instead of this file."]
    for res in RESOURCES:
        if res.program == program:
            lines.append(f'{res.res_id} {res.kind} "{ART_SUBDIR}/{res.file_name}"')
    return "\n".join(lines) + "\n"


def build() -> Dict[Path, bytes]:
    ids = [(r.program, r.res_id) for r in RESOURCES]
    assert len(ids) == len(set(ids)), "duplicate resource id"
    files = {}
    for res in RESOURCES:
        data = encode(res)
        check_output(res, data)
        files[RESOURCE_DIR / ART_SUBDIR / res.file_name] = data
    for program in ("tolvane", "rezaravoz"):
        files[RESOURCE_DIR / f"{program}_art.rc"] = rc_text(program).encode("ascii")
    return files


def write_program_icon(path: Path, paint, argv) -> int:
    """Encode a companion program's icon from `paint(size)` at 32 and 16 pixels and write it to `path`; with --check
    in `argv`, write nothing and return 1 when the file on disk is missing or differs."""
    data = encode_ico([paint(32), paint(16)])
    assert [(w, h) for w, h, _, _ in read_directory(data, 1)] == [(32, 32), (16, 16)]
    if "--check" in argv:
        stale = not path.exists() or path.read_bytes() != data
        if stale:
            print(f"out of date: {path}")
        return 1 if stale else 0
    path.write_bytes(data)
    print(f"wrote {path} ({len(data)} bytes)")
    return 0


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="compare with the files on disk instead of writing")
    args = parser.parse_args()
    files = build()
    if args.check:
        stale = [p for p, data in files.items() if not p.exists() or p.read_bytes() != data]
        for p in stale:
            print(f"out of date: {p.relative_to(ROOT)}")
        return 1 if stale else 0
    art_dir = RESOURCE_DIR / ART_SUBDIR
    art_dir.mkdir(parents=True, exist_ok=True)
    for old in art_dir.iterdir():
        if old.suffix in (".bmp", ".ico", ".cur") and old not in files:
            old.unlink()
    for path, data in files.items():
        path.write_bytes(data)
    total = sum(len(d) for d in files.values())
    print(f"wrote {len(files)} files, {total} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
