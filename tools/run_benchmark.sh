#!/bin/sh
# Builds the release configuration and prints the carving benchmark: MB/s of the carver, of a plain memchr scan
# and of the word-for-word 1024-byte carver, and the peak memory. Optional argument: source size in MiB.
set -eu
cd "$(dirname "$0")/.."
tools/install_packages.sh cmake make g++ googletest
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$(nproc)" --target carve_bench
build/release/tests/bench/carve_bench "${1:-256}"
