#!/bin/sh
# Builds everything (the tolvane command line natively, Tolvane.exe with its companions and the installer for 32-bit
# Windows, the programs again for 64-bit Windows), then recovers the pictures of the bundled damaged sample PSD with
# the command-line tool and lists what it wrote.
set -eu
cd "$(dirname "$0")/.."
tools/install_packages.sh native-build googletest g++-mingw-w64-i686-posix binutils-mingw-w64-i686 \
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$(nproc)"
cmake -S . -B build/mingw -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
    -DTOLVANE_TESTS=OFF -DTOLVANE_NATIVE_SFXPACK="$PWD/build/release/tools/sfxpack/sfxpack"
cmake --build build/mingw -j "$(nproc)"
# The installer carries the 32-bit programs, which run on every Windows; the 64-bit ones stand beside them.
cmake -S . -B build/mingw64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DTOLVANE_TESTS=OFF -DTOLVANE_NATIVE_SFXPACK="$PWD/build/release/tools/sfxpack/sfxpack"
cmake --build build/mingw64 -j "$(nproc)" --target Tolvane Optmgr Help Installer

output=out/damaged_photoREC
rm -rf "$output"
mkdir -p out
build/release/tolvane recover --output-dir "$output" samples/damaged_photo.psd
echo
ls -l "$output"
echo
ls -l build/mingw/Tolvane.exe build/mingw/Installer.exe build/mingw/Rezaravoz.exe
ls -l build/mingw64/Tolvane.exe build/mingw64/Optmgr.exe build/mingw64/Help.exe build/mingw64/Installer.exe
