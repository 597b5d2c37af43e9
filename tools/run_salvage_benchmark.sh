#!/bin/sh
# Builds the release tolvane and prints the salvage benchmark: per kind of damage, the composite rows that
# tolvane salvage, ImageMagick and psd-tools give back exactly and those they pass off wrongly, their time and
# peak memory, and the speed on one 5000 x 5000 document.
#
#   tools/run_salvage_benchmark.sh [WORK_DIR] [OPTION...]
#
# WORK_DIR (build/salvage-bench) keeps the generated corpus between runs. The OPTIONs go to
# tools/salvage_benchmark.py (--details, --only TEXT, --no-big, --rounds N, --timeout S, --keep). TOLVANE=PATH
# measures that program instead of building one.
set -eu
cd "$(dirname "$0")/.."
work=${1:-build/salvage-bench}
[ $# -gt 0 ] && shift
tools/install_packages.sh native-build imagemagick python3-psd-tools python3-numpy time fonts-dejavu-core
tolvane=${TOLVANE:-}
if [ -z "$tolvane" ]; then
    # A build folder of its own: turning the tests off in build/release would drop the carving benchmark there.
    cmake -S . -B build/release-tools -DCMAKE_BUILD_TYPE=Release -DTOLVANE_TESTS=OFF >/dev/null
    cmake --build build/release-tools -j "$(nproc)" --target tolvane
    tolvane=build/release-tools/tolvane
fi
mkdir -p "$work"
# Debian's python3, which has psd-tools, whatever python3 comes first in PATH.
exec /usr/bin/python3 tools/salvage_benchmark.py --tool "$tolvane" --work "$work" "$@"
