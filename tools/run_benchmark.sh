#!/bin/sh
# Builds the release configuration and prints the carving benchmark: MB/s of a plain memchr scan for the two start
# signatures, of the carver on each path of its candidate filter and of the word-for-word 1024-byte carver, their
# ratios and the peak memory.
#
#   tools/run_benchmark.sh [MiB] [REVISION]
#
# MiB is the size of the generated source (256). With a git REVISION (branch, tag or commit), that revision's
# benchmark is built apart, in build/bench-REVISION, and run in turn with today's, three times each, so that both
# are measured under the same load of the machine; each round ends with the ratio of the two carvers.
set -eu
cd "$(dirname "$0")/.."
size=${1:-256}
tools/install_packages.sh cmake make g++ googletest
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)" --target carve_bench
bench=build/release/tests/bench/carve_bench
if [ $# -lt 2 ]; then
    exec "$bench" "$size"
fi

revision=$(git rev-parse --short "$2")
before=build/bench-$revision
if [ ! -x "$before/build/tests/bench/carve_bench" ]; then
    rm -rf "$before"
    mkdir -p "$before/source"
    git archive "$revision" | tar -x -C "$before/source"
    cmake -S "$before/source" -B "$before/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$before/build" -j "$(nproc)" --target carve_bench
fi
# MB/s of the last "fast carver" line: the fastest filter path, the one the carver takes.
carver_speed() {
    grep '^fast carver:' "$1" | tail -n 1 | awk '{ print $3 }'
}
for round in 1 2 3; do
    echo "== round $round: $2 ($revision)"
    "$before/build/tests/bench/carve_bench" "$size" | tee "$before/round.txt"
    echo "== round $round: this working tree"
    "$bench" "$size" | tee build/release/bench-round.txt
    awk -v now="$(carver_speed build/release/bench-round.txt)" -v then="$(carver_speed "$before/round.txt")" \
        -v revision="$2" 'BEGIN { printf "carver now / carver at %s: %.2f\n\n", revision, now / then }'
done
