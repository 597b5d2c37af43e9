#!/bin/sh
# Builds the carver fuzz target with clang and libFuzzer and runs it for SECONDS (default 300) from the corpus.
# New inputs go to build/fuzz/corpus; crashes are left as crash-* files in the current folder.
set -eu
cd "$(dirname "$0")/.."
tools/install_packages.sh cmake make clang googletest
CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVANE_SANITIZE=ON -DTOLVANE_FUZZ=ON
cmake --build build/fuzz -j "$(nproc)" --target carve_fuzzer
mkdir -p build/fuzz/corpus
build/fuzz/tests/fuzz/carve_fuzzer -max_total_time="${1:-300}" -max_len=20000 build/fuzz/corpus tests/fuzz/corpus
