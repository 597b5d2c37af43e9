#!/bin/sh
# Takes the README's pictures that the end-to-end drivers save as the screen shows the windows: the splash and the
# about box (tolvane_e2e), the setup dialog and the options dialog (the installation walk, setup_e2e). Each driver runs under
# Wine in a virtual desktop, which draws the window frames. Needs a Windows build with its tests (build/mingw, or the
# one tools/screenshot_setup.sh chooses), the native tool (build/sanitize or build/release) and Python 3.
# Usage: tools/take_driver_screenshots.sh [OUTPUT_FOLDER]
set -eu
cd "$(dirname "$0")/.."
output=${1:-docs}
. tools/screenshot_setup.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-shots-XXXXXX")
trap 'rm -rf "$work"' EXIT
mingw=Z:$windows_build

# Runs DRIVER with its arguments; the work folder NAME it is given gets the sample and the native tool's pictures
# of it. The driver saves its pictures into $work.
shoot() {
    driver=$1 folder=$work/$2
    shift 2
    mkdir "$folder"
    cp samples/damaged_photo.psd "$folder/"
    "$tool" recover --output-dir "$folder/reference" samples/damaged_photo.psd >/dev/null
    TOLVANE_SCREENSHOTS="Z:$work" xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
        "$WINELOADER" explorer /desktop=shot,1024x768 "$@" >/dev/null
        "$WINESERVER" -w
    ' sh "$mingw/tests/e2e/$driver" "$@"
}
shoot tolvane_e2e.exe about "$mingw/Tolvane.exe" "Z:$work/about" "$mingw/tests/e2e/companion_standin.exe"
shoot setup_e2e.exe setup "$mingw/Rezaravoz.exe" "Z:$work/setup"
for picture in splash about setup optmgr; do
    python3 tools/to_png.py "$work/$picture.ppm" "$output/$picture.png"
done
echo "wrote $output/splash.png, about.png, setup.png and optmgr.png"
