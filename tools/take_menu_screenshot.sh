#!/bin/sh
# Takes the README's picture of the open File menu: Tolvane.exe under Wine in a virtual X server, its File button
# clicked by tests/e2e/show_file_menu.exe and the pointer resting on the second row. Needs a Windows build with
# tests (build/mingw) and ImageMagick's import.
# Usage: tools/take_menu_screenshot.sh [OUTPUT.png]
set -eu
cd "$(dirname "$0")/.."
output=${1:-docs/file-menu.png}
: "${WINEPREFIX:=$PWD/build/mingw/wineprefix}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || xvfb-run -a wineboot -i >/dev/null 2>&1
windows_dir="$WINEPREFIX/drive_c/windows"
rm -f "$windows_dir/propPSD.pro"
build/sanitize/tolvane settings init --file "$windows_dir/propPSD.pro" >/dev/null 2>&1 ||
    build/release/tolvane settings init --file "$windows_dir/propPSD.pro" >/dev/null
mkdir -p "$WINEPREFIX/drive_c/Photos"
cp samples/damaged_photo.psd "$WINEPREFIX/drive_c/Photos/"
xvfb-run -a -s "-screen 0 800x520x24" sh -c '
    wine explorer /desktop=shot,744x398 build/mingw/Tolvane.exe "C:\Photos\damaged_photo.psd" &
    sleep 7
    # The driver joins the same virtual desktop, where it can see and click the window.
    wine explorer /desktop=shot,744x398 build/mingw/tests/e2e/show_file_menu.exe
    sleep 2
    import -window root -crop 744x398+0+0 "$1"
    wineserver -k
' sh "$output"
echo "wrote $output"
