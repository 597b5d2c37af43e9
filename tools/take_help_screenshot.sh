#!/bin/sh
# Takes the README's picture of the help viewer: Help.exe under Wine in a virtual X server, in the language of a
# fresh settings file (English unless LANGUAGE_NUMBER says otherwise). Needs a Windows build (build/mingw, or the one
# tools/screenshot_setup.sh chooses) and the native tool (build/sanitize or build/release); the picture is read from
# the X server's own screen file.
# Usage: tools/take_help_screenshot.sh [OUTPUT.png]
set -eu
cd "$(dirname "$0")/.."
output=${1:-docs/help.png}
. tools/screenshot_setup.sh
windows_dir="$WINEPREFIX/drive_c/windows"
# The tests share this prefix: keep their settings file and put it back afterwards.
saved=""
if [ -f "$windows_dir/propPSD.pro" ]; then
    saved=$(mktemp)
    cp "$windows_dir/propPSD.pro" "$saved"
fi
rm -f "$windows_dir/propPSD.pro"
"$tool" settings init --file "$windows_dir/propPSD.pro" >/dev/null
"$tool" settings set language "${LANGUAGE_NUMBER:-1}" --file "$windows_dir/propPSD.pro" >/dev/null
# A Wine desktop a little larger than the dialog, in the corner of a large screen: the pointer X puts in the
# middle of the screen stays out of the picture.
screen=$(mktemp -d)
rm -f "$output"
xvfb-run -a -s "-screen 0 1920x1200x24 -fbdir $screen" sh -c '
    "$WINELOADER" explorer /desktop=shot,760x500 "Z:$3/Help.exe" &
    sleep 6
    status=0
    python3 tools/to_png.py "$1/Xvfb_screen0" "$2" 760x500+0+0 || status=$?
    "$WINESERVER" -k
    exit $status
' sh "$screen" "$output" "$windows_build" || status=$?
rm -rf "$screen"
rm -f "$windows_dir/propPSD.pro"
if [ -n "$saved" ]; then
    mv "$saved" "$windows_dir/propPSD.pro"
fi
[ "${status:-0}" -eq 0 ] || exit "$status"
echo "wrote $output"
