#!/bin/sh
# Builds a fuzz target with clang and libFuzzer and runs it for SECONDS (default 300) from its corpus: TARGET is
# carve (the default), sfx_directory or salvage. New inputs go to build/fuzz/TARGET_corpus; crashes are left as
# crash-* files in the current folder.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-300}
target=${2:-carve}
case $target in
carve) corpus=tests/fuzz/corpus ;;
sfx_directory | salvage) corpus=tests/fuzz/${target}_corpus ;;
*)
    echo "run_fuzzer.sh: unknown target '$target' (carve, sfx_directory or salvage)" >&2
    exit 2
    ;;
esac
tools/install_packages.sh native-build clang googletest
CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVANE_SANITIZE=ON -DTOLVANE_FUZZ=ON
cmake --build build/fuzz -j "$(nproc)" --target "${target}_fuzzer"
mkdir -p "build/fuzz/${target}_corpus"
"build/fuzz/tests/fuzz/${target}_fuzzer" -max_total_time="$seconds" -max_len=20000 "build/fuzz/${target}_corpus" "$corpus"
