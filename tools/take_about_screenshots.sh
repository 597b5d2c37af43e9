#!/bin/sh
# Takes the README's pictures of the splash and the about box: the end-to-end driver runs Tolvane.exe under Wine
# in a virtual desktop (which draws the window frames) and saves both windows as the screen shows them. Needs a
# Windows build (build/mingw), the native tool (build/sanitize or build/release) and ImageMagick's convert.
# Usage: tools/take_about_screenshots.sh [OUTPUT_FOLDER]
set -eu
cd "$(dirname "$0")/.."
output=${1:-docs}
tool=build/sanitize/tolvane
[ -x "$tool" ] || tool=build/release/tolvane
: "${WINEPREFIX:=$PWD/build/mingw/wineprefix}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || xvfb-run -a wineboot -i >/dev/null 2>&1
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-shots-XXXXXX")
trap 'rm -rf "$work"' EXIT
"$tool" recover --output-dir "$work/reference" samples/damaged_photo.psd >/dev/null
cp samples/damaged_photo.psd "$work/"
TOLVANE_SCREENSHOTS="Z:$work" xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    wine explorer /desktop=shot,1024x768 build/mingw/tests/e2e/tolvane_e2e.exe \
        "Z:$PWD/build/mingw/Tolvane.exe" "Z:$1" >/dev/null
    wineserver -w
' sh "$work"
convert "$work/splash.ppm" "$output/splash.png"
convert "$work/about.ppm" "$output/about.png"
echo "wrote $output/splash.png and $output/about.png"
