#!/bin/sh
# Takes the README's picture of Optmgr.exe: its end-to-end driver runs it beside Tolvane.exe under Wine in a
# virtual desktop (which draws the window frames) and saves the dialog as the screen shows it. Needs a Windows
# build (build/mingw) with the optmgr_e2e driver; the picture is turned into PNG with Python's standard library.
# Usage: tools/take_optmgr_screenshot.sh [OUTPUT.png]
set -eu
cd "$(dirname "$0")/.."
output=${1:-docs/optmgr.png}
: "${WINEPREFIX:=$PWD/build/mingw/wineprefix}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || xvfb-run -a wineboot -i >/dev/null 2>&1
work=$(mktemp -d "${TMPDIR:-/tmp}/optmgr-shot-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp samples/damaged_photo.psd "$work/"
TOLVANE_SCREENSHOTS="Z:$work" xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    wine explorer /desktop=shot,1024x768 build/mingw/tests/e2e/optmgr_e2e.exe \
        "Z:$PWD/build/mingw/Tolvane.exe" "Z:$1" "Z:$PWD/build/mingw/Optmgr.exe" >/dev/null
    wineserver -w
' sh "$work"
python3 - "$work/optmgr.ppm" "$output" <<'PYTHON'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
# The driver writes "P6\nW H\n255\n" and the pixels; split() could eat a first pixel byte that looks like a blank.
header_end = data.index(b"\n255\n") + 5
magic, width, height, maximum = data[:header_end].split()
assert magic == b"P6" and maximum == b"255"
width, height, pixels = int(width), int(height), data[header_end:]
rows = b"".join(b"\0" + pixels[y * width * 3:(y + 1) * width * 3] for y in range(height))
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
       chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
open(sys.argv[2], "wb").write(png)
PYTHON
echo "wrote $output"
