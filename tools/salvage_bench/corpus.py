"""The corpus: seeded pictures written as PSD and PSB files by ImageMagick and psd-tools.

Each picture is ImageMagick's seeded plasma with flat shapes (so that RLE has runs to find) and a line of text,
dumped as raw big-endian samples; the writers take those samples, so the file's composite can be checked against
them sample for sample.
"""
import os
import subprocess
from dataclasses import dataclass

import numpy as np

from .layout import Layout, to_16_bits

CONVERT = "/usr/bin/convert"
FONT = "DejaVu-Sans"


@dataclass(frozen=True)
class Entry:
    name: str  # file name in the corpus folder
    writer: str  # "magick", "magick-layered" or "psd-tools"
    width: int
    height: int
    gray: bool
    depth: int
    compression: str  # magick: "RLE" or "None"; psd-tools: "RAW", "RLE", "ZIP", "ZIP_WITH_PREDICTION"
    seed: int
    big: bool = False  # the speed and memory file: run intact only


ENTRIES = (
    Entry("magick_rgb8_rle.psd", "magick", 640, 480, False, 8, "RLE", 11),
    Entry("magick_rgb8_raw.psd", "magick", 500, 380, False, 8, "None", 12),
    Entry("magick_gray8_rle.psd", "magick", 720, 540, True, 8, "RLE", 13),
    Entry("magick_rgb16_rle.psd", "magick", 480, 360, False, 16, "RLE", 14),
    Entry("magick_gray16_raw.psd", "magick", 400, 300, True, 16, "None", 15),
    Entry("magick_rgb8_rle.psb", "magick", 600, 450, False, 8, "RLE", 16),
    Entry("magick_gray16_rle.psb", "magick", 360, 480, True, 16, "RLE", 17),
    Entry("magick_layered_rgb8_rle.psd", "magick-layered", 640, 480, False, 8, "RLE", 18),
    Entry("magick_layered_gray8_raw.psd", "magick-layered", 420, 560, True, 8, "None", 19),
    Entry("psdtools_rgb8_raw.psd", "psd-tools", 800, 600, False, 8, "RAW", 21),
    Entry("psdtools_rgb8_rle.psd", "psd-tools", 900, 300, False, 8, "RLE", 22),
    Entry("psdtools_gray8_zip.psd", "psd-tools", 700, 500, True, 8, "ZIP", 23),
    Entry("psdtools_rgb8_zip.psd", "psd-tools", 512, 512, False, 8, "ZIP", 24),
    Entry("psdtools_rgb16_zippred.psd", "psd-tools", 400, 400, False, 16, "ZIP_WITH_PREDICTION", 25),
    Entry("psdtools_gray8_rle.psb", "psd-tools", 640, 360, True, 8, "RLE", 26),
    Entry("magick_rgb8_rle_5000.psd", "magick", 5000, 5000, False, 8, "RLE", 31, big=True),
)


def magick(*args):
    subprocess.run([CONVERT, *args], check=True, stdout=subprocess.DEVNULL)


def raw_format(gray):
    return "gray" if gray else "rgb"


def draw_picture(path, width, height, gray, depth, seed):
    """A seeded plasma with two flat shapes and a line of text, as raw big-endian samples."""
    w, h = width, height
    colour = "#%06x" % (seed * 2654435761 % 0xFFFFFF)
    args = ["-size", "%dx%d" % (w, h), "-seed", str(seed), "plasma:"]
    args += ["-fill", colour, "-draw", "rectangle %d,%d %d,%d" % (w // 10, h // 8, w // 2, h // 2)]
    circle = "circle %d,%d %d,%d" % (w * 2 // 3, h * 2 // 3, w * 2 // 3 + w // 8, h * 2 // 3)
    args += ["-fill", "white", "-draw", circle]
    args += ["-font", FONT, "-pointsize", str(max(12, h // 12)), "-fill", "black"]
    args += ["-annotate", "+%d+%d" % (w // 12, h - h // 10), "Tolvane %d" % seed]
    if gray:
        args += ["-colorspace", "Gray"]
    magick(*args, *raw_output(path, gray, depth))


def raw_input(path, width, height, gray, depth):
    return ["-size", "%dx%d" % (width, height), "-depth", str(depth), "-endian", "MSB",
            "%s:%s" % (raw_format(gray), path)]


def raw_output(path, gray, depth):
    return ["-depth", str(depth), "-endian", "MSB", "%s:%s" % (raw_format(gray), path)]


def read_samples(path, width, height, gray, depth):
    samples = np.fromfile(path, ">u2" if depth == 16 else np.uint8)
    return samples.reshape(height, width, 1 if gray else 3)


def write_magick(entry, raw, out):
    magick(*raw_input(raw, entry.width, entry.height, entry.gray, entry.depth), "-compress", entry.compression,
           out)


def write_magick_layered(entry, raw, out, work):
    """The composite first, then the layers it was flattened from: the whole picture and a smaller one above it."""
    w, h = entry.width, entry.height
    top = os.path.join(work, "layer-%d.raw" % entry.seed)
    flat = os.path.join(work, "flat-%d.raw" % entry.seed)
    draw_picture(top, w // 2, h // 3, entry.gray, entry.depth, entry.seed + 1000)
    at = "+%d+%d" % (w // 4, h // 2)
    layer = raw_input(top, w // 2, h // 3, entry.gray, entry.depth)
    under = raw_input(raw, w, h, entry.gray, entry.depth)
    magick(*under, *layer, "-geometry", at, "-composite", *raw_output(flat, entry.gray, entry.depth))
    merged = raw_input(flat, w, h, entry.gray, entry.depth)
    magick(*merged, *under, "(", *layer, "-repage", at, ")", "-compress", entry.compression, out)
    os.remove(top)
    return flat


def write_psd_tools(entry, samples, out):
    from psd_tools.constants import ColorMode, Compression
    from psd_tools.psd import PSD
    from psd_tools.psd.header import FileHeader
    from psd_tools.psd.image_data import ImageData
    from psd_tools.psd.image_resources import ImageResources

    channels = samples.shape[2]
    header = FileHeader(
        version=2 if entry.name.endswith(".psb") else 1,
        channels=channels,
        height=entry.height,
        width=entry.width,
        depth=entry.depth,
        color_mode=ColorMode.GRAYSCALE if entry.gray else ColorMode.RGB,
    )
    image_data = ImageData(compression=getattr(Compression, entry.compression))
    big_endian = samples.astype(">u2" if entry.depth == 16 else np.uint8)
    image_data.set_data([big_endian[:, :, c].tobytes() for c in range(channels)], header)
    document = PSD(header=header, image_data=image_data, image_resources=ImageResources.new())
    with open(out, "wb") as f:
        document.write(f)


def build(folder, entries, log):
    """Writes the files that are missing and checks each composite against its picture. Returns their paths."""
    os.makedirs(folder, exist_ok=True)
    paths = []
    for entry in entries:
        out = os.path.join(folder, entry.name)
        paths.append(out)
        if os.path.exists(out):
            continue
        log("writing %s" % entry.name)
        raw = os.path.join(folder, "picture-%d.raw" % entry.seed)
        draw_picture(raw, entry.width, entry.height, entry.gray, entry.depth, entry.seed)
        expected = raw
        # The writers name the format, since the partial file's name does not end in it.
        partial = out + ".part"
        fmt = "PSB:" if out.endswith(".psb") else "PSD:"
        if entry.writer == "magick":
            write_magick(entry, raw, fmt + partial)
        elif entry.writer == "magick-layered":
            expected = write_magick_layered(entry, raw, fmt + partial, folder)
        else:
            write_psd_tools(entry, read_samples(raw, entry.width, entry.height, entry.gray, entry.depth), partial)
        with open(partial, "rb") as f:
            truth = Layout(f.read()).truth()
        picture = read_samples(expected, entry.width, entry.height, entry.gray, entry.depth)
        if not np.array_equal(truth, to_16_bits(picture, entry.depth)):
            raise SystemExit("%s: the written composite differs from its picture" % entry.name)
        os.replace(partial, out)
        for scratch in {raw, expected}:
            os.remove(scratch)
    return paths
