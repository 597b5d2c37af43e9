#!/bin/sh
# Builds everything, then recovers the pictures of the bundled damaged sample PSD with the command-line tool
# and lists what it wrote.
set -eu
cd "$(dirname "$0")/.."
tools/install_packages.sh cmake make g++ googletest
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$(nproc)"

output=out/damaged_photoREC
rm -rf "$output"
mkdir -p out
build/release/tolvane recover --output-dir "$output" samples/damaged_photo.psd
echo
ls -l "$output"
