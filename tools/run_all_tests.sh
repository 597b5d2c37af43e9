#!/bin/sh
# Builds the project with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -eu
cd "$(dirname "$0")/.."
tools/install_packages.sh cmake make g++ googletest
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_SANITIZE=ON
cmake --build build/sanitize -j "$(nproc)"
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
    ctest --test-dir build/sanitize --output-on-failure -j "$(nproc)"
