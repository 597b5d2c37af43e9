#!/bin/sh
# Builds the release configuration and prints the carving benchmark: MB/s of a plain memchr scan for the two start
# signatures, of the carver on each path of its candidate filter and of the word-for-word 1024-byte carver, their
# ratios and the peak memory.
#
#   tools/run_benchmark.sh [MiB] [REVISION]
#
# MiB is the size of the generated source (256). The benchmark runs five rounds (ROUNDS=N for another number) and
# ends with the median of each round's ratio, since other work on a shared machine can slow any single run. With a
# git REVISION (branch, tag or commit), that revision's benchmark is built apart, in build/bench-REVISION, and run
# in turn with today's in every round, so that both are measured under the same load of the machine.
set -eu
cd "$(dirname "$0")/.."
size=${1:-256}
rounds=${ROUNDS:-5}
tools/install_packages.sh native-build googletest
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)" --target carve_bench
bench=build/release/tests/bench/carve_bench
revision=""
if [ $# -ge 2 ]; then
    revision=$(git rev-parse --short "$2")
    before=build/bench-$revision
    if [ ! -x "$before/build/tests/bench/carve_bench" ]; then
        rm -rf "$before"
        mkdir -p "$before/source"
        git archive "$revision" | tar -x -C "$before/source"
        cmake -S "$before/source" -B "$before/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build "$before/build" -j "$(nproc)" --target carve_bench
    fi
fi
# MB/s of the last "fast carver" line: the fastest filter path, the one the carver takes.
carver_speed() {
    grep '^fast carver:' "$1" | tail -n 1 | awk '{ print $3 }'
}
median() {
    sort -n | awk '{ value[NR] = $1 } END { print (NR % 2) ? value[(NR + 1) / 2] : (value[NR / 2] + value[NR / 2 + 1]) / 2 }'
}
ratios=build/release/bench-ratios.txt
: >"$ratios"
: >"$ratios.before"
round=1
while [ "$round" -le "$rounds" ]; do
    if [ -n "$revision" ]; then
        echo "== round $round: $2 ($revision)"
        "$before/build/tests/bench/carve_bench" "$size" | tee "$before/round.txt"
    fi
    echo "== round $round: this working tree"
    "$bench" "$size" | tee build/release/bench-round.txt
    sed -n 's/^carver \/ memchr scan: \([0-9.]*\);.*/\1/p' build/release/bench-round.txt >>"$ratios"
    if [ -n "$revision" ]; then
        awk -v now="$(carver_speed build/release/bench-round.txt)" -v then="$(carver_speed "$before/round.txt")" \
            -v revision="$2" 'BEGIN { printf "carver now / carver at %s: %.2f\n", revision, now / then }' |
            tee -a "$ratios.before"
    fi
    echo
    round=$((round + 1))
done
echo "median of $rounds rounds: carver / memchr scan $(median <"$ratios")"
if [ -n "$revision" ]; then
    echo "median of $rounds rounds: carver now / carver at $2 $(awk '{ print $NF }' "$ratios.before" | median)"
fi
