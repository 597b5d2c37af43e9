#!/bin/sh
# Takes the README's picture of the help viewer: Help.exe under Wine in a virtual X server, in the language of a
# fresh settings file (English unless LANGUAGE_NUMBER says otherwise). Needs a Windows build (build/mingw), the
# native tool (build/sanitize or build/release) and ImageMagick's import.
# Usage: tools/take_help_screenshot.sh [OUTPUT.png]
set -eu
cd "$(dirname "$0")/.."
output=${1:-docs/help.png}
tool=build/sanitize/tolvane
[ -x "$tool" ] || tool=build/release/tolvane
: "${WINEPREFIX:=$PWD/build/mingw/wineprefix}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || xvfb-run -a wineboot -i >/dev/null 2>&1
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
# A Wine desktop window the size of the dialog gives it a title bar; the centred dialog fills it.
xvfb-run -a -s "-screen 0 800x600x24" sh -c '
    wine explorer /desktop=shot,640x460 build/mingw/companions/help/Help.exe &
    sleep 6
    import -window root -crop 640x460+0+0 "$1"
    wineserver -k
' sh "$output"
rm -f "$windows_dir/propPSD.pro"
if [ -n "$saved" ]; then
    mv "$saved" "$windows_dir/propPSD.pro"
fi
echo "wrote $output"
