#!/bin/sh
# Builds the Debian package of the command lines: an optimised build of tolvane and sfxpack, their manual pages and
# bash completion, packed by CPack. Prints the package's path.
# Usage: build_debian_package.sh [BUILD_DIR]   (default build/package)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/package}
tools/install_packages.sh native-build dpkg-dev >&2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTOLVANE_TESTS=OFF >&2
cmake --build "$build" -j "$(nproc)" >&2
rm -f "$build"/tolvane_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/tolvane_*_*.deb
