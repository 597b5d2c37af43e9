"""Each output row against the truth, and the tallies the tables are printed from."""
from collections import defaultdict
from dataclasses import dataclass, field

import numpy as np


def score(truth, picture):
    """(rows given back exactly, rows passed off wrongly) as boolean arrays, or None when the picture gives back
    nothing (none, or of the wrong size). A pixel with alpha 0 is marked lost; with alpha below full it is not given
    back, and shown wrongly if its samples differ."""
    if picture is None or picture.samples.shape[:2] != truth.shape[:2]:
        return None
    samples = picture.samples
    if samples.shape[2] != truth.shape[2]:
        if 1 not in (samples.shape[2], truth.shape[2]):
            return None
        channels = max(samples.shape[2], truth.shape[2])
        samples = np.broadcast_to(samples, samples.shape[:2] + (channels,))
        truth = np.broadcast_to(truth, truth.shape[:2] + (channels,))
    differs = (samples != truth).any(axis=2)
    if picture.alpha is None:
        return ~differs.any(axis=1), differs.any(axis=1)
    exact = (~differs & (picture.alpha == 65535)).all(axis=1)
    wrong = (differs & (picture.alpha > 0)).any(axis=1)
    return exact, wrong


@dataclass
class ToolTally:
    exact: int = 0  # recoverable rows given back exactly
    beyond: int = 0  # rows given back exactly that were not recoverable from the composite
    wrong: int = 0  # rows passed off wrongly
    runs: int = 0
    nothing: int = 0  # runs that gave back no picture of the right size
    timeouts: int = 0
    seconds: float = 0.0
    peak_kib: int = 0

    def add(self, run, scored, recoverable):
        self.runs += 1
        self.seconds += run.seconds
        self.peak_kib = max(self.peak_kib, run.peak_kib)
        self.timeouts += run.timed_out
        if scored is None:
            self.nothing += 1
            return
        exact, wrong = scored
        self.exact += int((exact & recoverable).sum())
        self.beyond += int((exact & ~recoverable).sum())
        self.wrong += int(wrong.sum())


@dataclass
class Tally:
    files: int = 0
    rows: int = 0
    recoverable: int = 0
    tools: dict = field(default_factory=lambda: defaultdict(ToolTally))

    def add_file(self, recoverable):
        self.files += 1
        self.rows += len(recoverable)
        self.recoverable += int(recoverable.sum())


def percent(part, whole):
    return "%.1f %%" % (100.0 * part / whole) if whole else "-"


def mib(kib):
    return "%.1f MiB" % (kib / 1024.0)


def print_table(title, tallies, tools, out):
    """One line per key of `tallies` (a dict of Tally), and a total line."""
    total = Tally()
    for tally in tallies.values():
        total.files += tally.files
        total.rows += tally.rows
        total.recoverable += tally.recoverable
        for name, tool in tally.tools.items():
            sum_tool = total.tools[name]
            for key in ("exact", "beyond", "wrong", "runs", "nothing", "timeouts", "seconds"):
                setattr(sum_tool, key, getattr(sum_tool, key) + getattr(tool, key))
            sum_tool.peak_kib = max(sum_tool.peak_kib, tool.peak_kib)
    header = [title, "files", "rows", "recoverable"]
    for name in tools:
        header += ["%s exact" % name, "%s wrong" % name]
    lines = [header, ["---"] * len(header)]
    for key, tally in list(tallies.items()) + [("**total**", total)]:
        line = [key, str(tally.files), str(tally.rows), str(tally.recoverable)]
        for name in tools:
            tool = tally.tools[name]
            more = " +%d" % tool.beyond if tool.beyond else ""
            line += ["%d (%s)%s" % (tool.exact, percent(tool.exact, tally.recoverable), more), str(tool.wrong)]
        lines.append(line)
    for line in lines:
        print("| " + " | ".join(line) + " |", file=out)
    return total


def print_costs(total, tools, out):
    lines = [["tool", "runs", "no picture", "timed out", "total time", "peak memory"], ["---"] * 6]
    for name in tools:
        tool = total.tools[name]
        lines.append([name, str(tool.runs), str(tool.nothing), str(tool.timeouts), "%.1f s" % tool.seconds,
                      mib(tool.peak_kib)])
    for line in lines:
        print("| " + " | ".join(line) + " |", file=out)
