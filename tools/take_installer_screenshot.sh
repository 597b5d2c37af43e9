#!/bin/sh
# Takes the README's picture of the installer dialog: Rezaravoz.exe under Wine in a virtual X server.
# Needs a Windows build (build/mingw, or the one tools/screenshot_setup.sh chooses) and ImageMagick's import.
# Usage: tools/take_installer_screenshot.sh [OUTPUT.png]
set -eu
cd "$(dirname "$0")/.."
output=${1:-docs/installer.png}
. tools/screenshot_setup.sh
# A Wine desktop window the size of the dialog gives it a title bar; the centred dialog fills it.
xvfb-run -a -s "-screen 0 640x400x24" sh -c '
    "$WINELOADER" explorer /desktop=shot,486x157 "Z:$2/Rezaravoz.exe" &
    sleep 6
    import -window root -crop 486x157+0+0 "$1"
    "$WINESERVER" -k
' sh "$output" "$windows_build"
echo "wrote $output"
