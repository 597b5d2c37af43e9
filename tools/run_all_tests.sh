#!/bin/sh
# Runs every test: the portable core natively under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# Windows programs built with MinGW-w64 for 32-bit and 64-bit Windows, in process and end to end under Wine in a
# virtual X server.
#
# The 32-bit build is the product and runs the Wine suites wherever the kernel starts 32-bit x86 code; the 64-bit
# build runs them too. A kernel that starts no 32-bit code (some virtual machines run 64-bit code only) cannot run
# Wine's 32-bit loader: there the 64-bit build alone runs them. TOLVANE_WINE_BUILDS overrides the choice with the
# builds to run, "32", "64" or "32 64" (TOLVANE_WINE_BUILDS=64 takes the path of such a machine on any other).
set -eu
cd "$(dirname "$0")/.."
tools/install_packages.sh native-build googletest g++-mingw-w64-i686-posix binutils-mingw-w64-i686 \
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth python3 dpkg-dev man-db
. tools/choose_wine.sh

if [ -n "${TOLVANE_WINE_BUILDS:-}" ]; then
    wine_builds=$TOLVANE_WINE_BUILDS
    reason="as TOLVANE_WINE_BUILDS says"
elif starts_32bit_code; then
    wine_builds="32 64"
    reason="this kernel starts 32-bit x86 programs"
else
    wine_builds=64
    reason="this kernel does not start 32-bit x86 programs (/lib/ld-linux.so.2 cannot be executed),"
    reason="$reason so Wine's 32-bit loader cannot run here"
fi
build_of() { if [ "$1" = 32 ]; then echo build/mingw; else echo build/mingw64; fi; }
builds_named=""
for bits in $wine_builds; do
    case $bits in
    32 | 64) builds_named="${builds_named:+$builds_named and }the $bits-bit build ($(build_of "$bits"))" ;;
    *)
        echo "run_all_tests.sh: TOLVANE_WINE_BUILDS may name 32 and 64, not '$bits'" >&2
        exit 2
        ;;
    esac
done

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_SANITIZE=ON
cmake --build build/sanitize -j "$(nproc)"
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
    ctest --test-dir build/sanitize --output-on-failure -j "$(nproc)"

# Both Windows builds compile everywhere: what one word size hides, the other may show.
for bits in 32 64; do
    build=$(build_of "$bits") toolchain=cmake/mingw-w64-i686.cmake
    [ "$bits" = 64 ] && toolchain=cmake/mingw-w64-x86_64.cmake
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DTOLVANE_TESTS=ON -DTOLVANE_NATIVE_TOOL="$PWD/build/sanitize/tolvane" \
        -DTOLVANE_NATIVE_SFXPACK="$PWD/build/sanitize/tools/sfxpack/sfxpack"
    cmake --build "$build" -j "$(nproc)"
done

echo "run_all_tests.sh: the Wine suites run on $builds_named: $reason" >&2
for bits in $wine_builds; do
    build=$(build_of "$bits")
    # A fresh Wine prefix for every run: nothing from an earlier run can make a test pass.
    rm -rf "$build/wineprefix" "$build/wineprefix.lock"
    echo "run_all_tests.sh: the Wine suites of the $bits-bit build ($build)" >&2
    ctest --test-dir "$build" --output-on-failure
done
echo "run_all_tests.sh: every test passed; the Wine suites ran on $builds_named" >&2
