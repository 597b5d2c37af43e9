"""The three readers, each run in its own process with a time limit, its wall time and peak memory measured, and
what it wrote read back as samples scaled to 16 bits."""
import json
import os
import signal
import subprocess
import sys
import threading
import time
from dataclasses import dataclass

import numpy as np

CONVERT = "/usr/bin/convert"
TIME = "/usr/bin/time"

# psd-tools' merged picture: numpy() decodes the same image data as topil(), but keeps 16-bit samples (topil()
# gives 8 bits for a 16-bit document). Saving the array takes the place of writing a PNG.
PSD_TOOLS_SCRIPT = """
import sys
import numpy as np
from psd_tools import PSDImage
document = PSDImage.open(sys.argv[1])
top = 65535 if document.depth == 16 else 255
merged = np.rint(document.numpy() * top).astype(np.uint16 if top == 65535 else np.uint8)
np.save(sys.argv[2], merged)
"""


@dataclass
class Run:
    exit_code: int
    seconds: float
    peak_kib: int
    timed_out: bool


@dataclass
class Picture:
    samples: np.ndarray  # height x width x colour channels, uint16
    alpha: np.ndarray = None  # height x width, uint16, or None when the picture has no alpha


def measured(argv, timeout, folder):
    """Runs argv under GNU time in a session of its own, killed with its children after `timeout` seconds. time
    reports the tool's own peak memory: a child forked from this process would inherit the benchmark's (Linux
    carries the parent's high-water mark over a fork), so wait4 from here would report that instead."""
    times = os.path.join(folder, "time.txt")
    with open(os.path.join(folder, "log.txt"), "wb") as log:
        start = time.monotonic()
        process = subprocess.Popen([TIME, "-f", "%e %M", "-o", times, *argv], stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        expired = threading.Event()

        def kill():
            expired.set()
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass

        timer = threading.Timer(timeout, kill)
        timer.start()
        try:
            process.wait()
        finally:
            timer.cancel()
        seconds = time.monotonic() - start
    peak = 0
    try:
        with open(times, encoding="ascii") as f:
            # time puts "Command exited with non-zero status N" first when the tool fails.
            elapsed, peak_text = f.read().split("\n")[-2].split()
        seconds, peak = float(elapsed), int(peak_text)
    except (OSError, ValueError, IndexError):
        pass
    # time passes on the tool's exit code; a killed run has none worth keeping.
    return Run(process.returncode, seconds, peak, expired.is_set())


def read_pam(data):
    """A PAM picture (ImageMagick's rendering of a PNG) as a Picture."""
    fields = {}
    position = 0
    while True:
        end = data.index(b"\n", position)
        line = data[position:end].decode("ascii").strip()
        position = end + 1
        if line == "ENDHDR":
            break
        if line and not line.startswith("#") and line != "P7":
            key, _, value = line.partition(" ")
            fields[key] = value.strip()
    width, height, depth, top = (int(fields[key]) for key in ("WIDTH", "HEIGHT", "DEPTH", "MAXVAL"))
    if fields.get("TUPLTYPE", "").startswith("CMYK") or depth not in (1, 2, 3, 4):
        return None
    samples = np.frombuffer(data, ">u2" if top > 255 else np.uint8, width * height * depth, position)
    samples = (samples.astype(np.uint32) * 65535 // top).astype(np.uint16).reshape(height, width, depth)
    if depth in (2, 4):
        return Picture(samples[:, :, :-1], samples[:, :, -1])
    return Picture(samples)


def read_png(path, timeout):
    if not path or not os.path.isfile(path):
        return None
    try:
        result = subprocess.run([CONVERT, "png:" + path, "pam:-"], capture_output=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None
    if result.returncode != 0 or not result.stdout.startswith(b"P7"):
        return None
    try:
        return read_pam(result.stdout)
    except (ValueError, KeyError):
        return None


class Ours:
    name = "tolvane"

    def __init__(self, tool):
        self.tool = os.path.abspath(tool)

    def command(self, source, folder):
        report = os.path.join(folder, "report.jsonl")
        return [self.tool, "salvage", "-q", "-o", os.path.join(folder, "out"), "--report", report, source]

    def picture(self, folder, timeout):
        composite = os.path.join(folder, "out", "composite.png")
        try:
            with open(os.path.join(folder, "report.jsonl"), encoding="utf-8") as report:
                line = json.loads(report.readline())
            if line.get("composite"):
                composite = line["composite"]
        except (OSError, ValueError, AttributeError):
            pass
        return read_png(composite, timeout)


class ImageMagick:
    name = "ImageMagick"

    def command(self, source, folder):
        # [0] is the composite; without it every layer is written too.
        return [CONVERT, source + "[0]", os.path.join(folder, "composite.png")]

    def picture(self, folder, timeout):
        return read_png(os.path.join(folder, "composite.png"), timeout)


class PsdTools:
    name = "psd-tools"

    def command(self, source, folder):
        return [sys.executable, "-c", PSD_TOOLS_SCRIPT, source, os.path.join(folder, "composite.npy")]

    def picture(self, folder, timeout):
        try:
            merged = np.load(os.path.join(folder, "composite.npy"))
        except (OSError, ValueError):
            return None
        if merged.ndim != 3:
            return None
        scale = 257 if merged.dtype == np.uint8 else 1
        return Picture(merged.astype(np.uint16) * np.uint16(scale))
