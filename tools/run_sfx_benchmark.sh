#!/bin/sh
# Builds the release configuration and prints the installer archive benchmark: MB/s of extracting a generated
# payload and of cp copying the same files, and their ratio. Optional arguments: payload size in MiB, work folder.
set -eu
cd "$(dirname "$0")/.."
tools/install_packages.sh native-build googletest
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$(nproc)" --target sfx_bench
build/release/tests/bench/sfx_bench "${1:-256}" ${2:+"$2"}
