#!/bin/sh
# Takes the README's picture of the main window: Tolvane.exe under Wine in a virtual X server, with the sample in
# its list. With a DRIVER (tests/e2e/show_file_menu.exe for docs/file-menu.png), that program joins the same
# virtual desktop first, where it can see and click the window. Needs a Windows build (build/mingw, or the one
# tools/screenshot_setup.sh chooses), the native tool (build/sanitize or build/release) and ImageMagick's import.
# Usage: tools/take_screenshot.sh [OUTPUT.png [DRIVER.exe]]
set -eu
cd "$(dirname "$0")/.."
output=${1:-docs/main-window.png}
driver=${2:-}
. tools/screenshot_setup.sh
windows_dir="$WINEPREFIX/drive_c/windows"
rm -f "$windows_dir/propPSD.pro"
"$tool" settings init --file "$windows_dir/propPSD.pro" >/dev/null
mkdir -p "$WINEPREFIX/drive_c/Photos"
cp samples/damaged_photo.psd "$WINEPREFIX/drive_c/Photos/"
# A Wine desktop window the size of the dialog gives it a title bar; the centred dialog fills it.
xvfb-run -a -s "-screen 0 800x520x24" sh -c '
    "$WINELOADER" explorer /desktop=shot,744x398 "Z:$3/Tolvane.exe" "C:\Photos\damaged_photo.psd" &
    sleep 7
    if [ -n "$2" ]; then
        "$WINELOADER" explorer /desktop=shot,744x398 "$2"
        sleep 2
    fi
    import -window root -crop 744x398+0+0 "$1"
    "$WINESERVER" -k
' sh "$output" "$driver" "$windows_build"
echo "wrote $output"
