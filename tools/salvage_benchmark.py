#!/usr/bin/python3
"""The salvage benchmark: tolvane salvage beside ImageMagick and psd-tools on a seeded corpus of damaged PSD and
PSB files, counting per damage kind the composite rows each gives back exactly and the rows each passes off wrongly.

    /usr/bin/python3 tools/salvage_benchmark.py --tool TOLVANE [--work DIR] [--only TEXT] [--no-big] [--details]

The corpus (tools/salvage_bench/corpus.py) is written once into WORK/corpus; each run damages it afresh, in a
folder of its own under WORK that is removed at the end (--keep leaves it). Run it with Debian's python3, which has
psd-tools. tools/run_salvage_benchmark.sh installs what is needed and builds tolvane first.
"""
import argparse
import os
import shutil
import statistics
import sys
import tempfile
from collections import OrderedDict, defaultdict

import numpy as np

from salvage_bench import corpus, damage, runners, scoring
from salvage_bench.layout import Layout

INTACT = "none (intact)"


def slug(text):
    return "".join(c if c.isalnum() else "-" for c in text.lower())


def detail(name, run, scored, recoverable):
    """What one run gave back: exact recoverable rows + exact others / wrong rows."""
    if scored is None:
        return "%s none (exit %d%s)" % (name, run.exit_code, ", timed out" if run.timed_out else "")
    exact, wrong = scored
    return "%s %d+%d/%d" % (name, (exact & recoverable).sum(), (exact & ~recoverable).sum(), wrong.sum())


class Bench:
    def __init__(self, args, tools, run_dir):
        self.args = args
        self.tools = tools
        self.run_dir = run_dir
        self.by_kind = OrderedDict((kind, scoring.Tally()) for kind in [INTACT] + [k for k, _ in damage.KINDS])
        self.by_compression = OrderedDict()
        self.intact_misses = defaultdict(list)  # tool name -> intact files not given back exactly

    def run_tool(self, tool, source, truth):
        """The run, and its picture scored against `truth` (None: not scored)."""
        folder = tempfile.mkdtemp(prefix="%s--%s-" % (slug(tool.name), os.path.basename(source)), dir=self.run_dir)
        run = runners.measured(tool.command(source, folder), self.args.timeout, folder)
        scored = None if truth is None else scoring.score(truth, tool.picture(folder, self.args.timeout))
        if not self.args.keep:
            shutil.rmtree(folder)
        return run, scored

    def measure_file(self, path):
        name = os.path.basename(path)
        stem, extension = os.path.splitext(name)
        with open(path, "rb") as f:
            layout = Layout(f.read())
        truth = layout.truth()
        everything = np.ones(layout.height, dtype=bool)
        versions = [(INTACT, damage.Damage(layout.data), everything)] + list(damage.damaged_versions(name, layout))
        by_compression = self.by_compression.setdefault(layout.compression_name(), scoring.Tally())
        for kind, damaged, recoverable in versions:
            # The damaged copy keeps the extension: a reader may go by it when the signature is gone.
            source = os.path.join(self.run_dir, "%s--%s%s" % (stem, slug(kind), extension))
            with open(source, "xb") as f:
                f.write(damaged.data)
            self.by_kind[kind].add_file(recoverable)
            by_compression.add_file(recoverable)
            details = []
            for tool in self.tools:
                run, scored = self.run_tool(tool, source, truth)
                self.by_kind[kind].tools[tool.name].add(run, scored, recoverable)
                by_compression.tools[tool.name].add(run, scored, recoverable)
                if kind == INTACT and (scored is None or not scored[0].all()):
                    self.intact_misses[tool.name].append(name)
                details.append(detail(tool.name, run, scored, recoverable))
            if self.args.details:
                print("%-34s %-22s %4d/%4d  %s" % (name, kind, recoverable.sum(), len(recoverable),
                                                   "  ".join(details)), file=sys.stderr)
            if not self.args.keep:
                os.remove(source)

    def measure_speed(self, path):
        """Each tool on the intact large file, `rounds` times in turn; the median time, the highest peak."""
        with open(path, "rb") as f:
            truth = Layout(f.read()).truth()
        times = defaultdict(list)
        peaks = defaultdict(int)
        exact = {}
        for round_number in range(self.args.rounds):
            for tool in self.tools:
                run, scored = self.run_tool(tool, path, truth if round_number == 0 else None)
                times[tool.name].append(run.seconds)
                peaks[tool.name] = max(peaks[tool.name], run.peak_kib)
                if round_number == 0:
                    exact[tool.name] = scored is not None and bool(scored[0].all())
                    if not exact[tool.name]:
                        self.intact_misses[tool.name].append(os.path.basename(path))
                print("speed round %d: %s %.2f s, %s" % (round_number + 1, tool.name, run.seconds,
                                                        scoring.mib(run.peak_kib)), file=sys.stderr)
        return {name: (statistics.median(times[name]), peaks[name], exact[name]) for name in times}


def verdict(met):
    return "met" if met else "NOT met"


def print_report(bench, speed, big_name, out):
    names = [tool.name for tool in bench.tools]
    print("\nComposite rows per damage kind. exact: recoverable rows given back sample for sample (+ rows given back "
          "that the composite's own bytes could not give, such as from a layer); wrong: rows shown as good that "
          "differ.\n", file=out)
    total = scoring.print_table("damage", bench.by_kind, names, out)
    print("\nThe same per compression of the composite:\n", file=out)
    scoring.print_table("compression", bench.by_compression, names, out)
    print("\nRuns, time and memory over all of them:\n", file=out)
    scoring.print_costs(total, names, out)
    if speed:
        print("\n%s, intact, median of %d rounds:" % (big_name, bench.args.rounds), file=out)
        for name in names:
            seconds, peak, exact = speed[name]
            print("  %-12s %7.2f s  %10s  %s" % (name, seconds, scoring.mib(peak), "exact" if exact else "NOT exact"),
                  file=out)
    print(file=out)
    for name in names:
        misses = bench.intact_misses[name]
        print("every intact file exact, %s: %s" % (name, "yes" if not misses else "no (%s)" % ", ".join(misses)),
              file=out)
    ours = total.tools[names[0]]
    recovered = 100.0 * ours.exact / total.recoverable if total.recoverable else 0.0
    print("goal, every intact file exact: %s" % verdict(not bench.intact_misses[names[0]]), file=out)
    print("goal, at least 95 %% of the recoverable rows: %.1f %%, %s" % (recovered, verdict(recovered >= 95)), file=out)
    print("goal, no wrong row passed off: %d, %s" % (ours.wrong, verdict(ours.wrong == 0)), file=out)
    if speed:
        # A run that gives the picture back wrongly, or not at all, says nothing about speed.
        ours_time, ours_peak, ours_exact = speed[names[0]]
        faster = speed[runners.ImageMagick.name][0] / ours_time if ours_time else 0.0
        unless = "" if ours_exact else " (but the picture was not given back exactly)"
        print("goal, under 64 MiB on %s: %s, %s%s" % (big_name, scoring.mib(ours_peak),
                                                     verdict(ours_exact and ours_peak < 64 * 1024), unless), file=out)
        print("goal, at least twice as fast as ImageMagick there: %.2f x, %s%s" % (
            faster, verdict(ours_exact and faster >= 2), unless), file=out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tool", required=True, help="the tolvane program to measure")
    parser.add_argument("--work", default=os.path.join(os.path.dirname(__file__), "..", "build", "salvage-bench"))
    parser.add_argument("--only", help="only the corpus files whose names contain this text")
    parser.add_argument("--no-big", action="store_true", help="leave out the 5000 x 5000 speed file")
    parser.add_argument("--rounds", type=int, default=3, help="runs of each tool on the speed file (3)")
    parser.add_argument("--timeout", type=float, default=120.0, help="seconds a run may take (120)")
    parser.add_argument("--details", action="store_true", help="one line per damaged file on stderr")
    parser.add_argument("--keep", action="store_true", help="keep the damaged files and every output")
    args = parser.parse_args()
    if not os.access(args.tool, os.X_OK):
        parser.error("%s is not a program" % args.tool)
    work = os.path.abspath(args.work)
    entries = [e for e in corpus.ENTRIES if (not args.only or args.only in e.name) and not (e.big and args.no_big)]
    paths = corpus.build(os.path.join(work, "corpus"), entries, lambda text: print(text, file=sys.stderr))
    run_dir = tempfile.mkdtemp(prefix="run-", dir=work)
    tools = [runners.Ours(args.tool), runners.ImageMagick(), runners.PsdTools()]
    bench = Bench(args, tools, run_dir)
    speed = None
    big_name = None
    for entry, path in zip(entries, paths):
        print("measuring %s" % entry.name, file=sys.stderr)
        if entry.big:
            speed, big_name = bench.measure_speed(path), entry.name
        else:
            bench.measure_file(path)
    print_report(bench, speed, big_name, sys.stdout)
    if args.keep:
        print("\nthe damaged files and the outputs: %s" % run_dir)
    else:
        shutil.rmtree(run_dir)


if __name__ == "__main__":
    main()
