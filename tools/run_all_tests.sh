#!/bin/sh
# Runs every test: the portable core natively under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# Windows programs built with MinGW-w64, in process and end to end under Wine in a virtual X server.
set -eu
cd "$(dirname "$0")/.."
tools/install_packages.sh cmake make g++ googletest g++-mingw-w64-i686-posix binutils-mingw-w64-i686 \
    wine wine32:i386 xvfb xauth python3 dpkg-dev man-db

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_SANITIZE=ON
cmake --build build/sanitize -j "$(nproc)"
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
    ctest --test-dir build/sanitize --output-on-failure -j "$(nproc)"

cmake -S . -B build/mingw -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
    -DTOLVANE_TESTS=ON -DTOLVANE_NATIVE_TOOL="$PWD/build/sanitize/tolvane" \
    -DTOLVANE_NATIVE_SFXPACK="$PWD/build/sanitize/tools/sfxpack/sfxpack"
cmake --build build/mingw -j "$(nproc)"
# A fresh Wine prefix for every run: nothing from an earlier run can make a test pass.
rm -rf build/mingw/wineprefix build/mingw/wineprefix.lock
ctest --test-dir build/mingw --output-on-failure
