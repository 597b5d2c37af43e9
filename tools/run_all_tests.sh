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
# Some virtual machines run 64-bit programs only: their kernel refuses to start i386 code, Wine's 32-bit loader
# included. There the Windows programs are built, but cannot run.
if [ -x /lib/ld-linux.so.2 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo "run_all_tests.sh: SKIPPED the Windows tests: this kernel does not start 32-bit x86 programs" \
        "(/lib/ld-linux.so.2 cannot be executed), so Wine cannot run them here" >&2
    exit 0
fi
# A fresh Wine prefix for every run: nothing from an earlier run can make a test pass.
rm -rf build/mingw/wineprefix build/mingw/wineprefix.lock
ctest --test-dir build/mingw --output-on-failure
