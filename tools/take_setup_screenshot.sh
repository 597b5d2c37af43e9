#!/bin/sh
# Takes the README's picture of the setup dialog: the installation walk runs under Wine in a virtual desktop
# (which draws the window frames) and saves the dialog as the screen shows it. Needs a Windows build (build/mingw)
# and Python 3.
# Usage: tools/take_setup_screenshot.sh [OUTPUT.png]
set -eu
cd "$(dirname "$0")/.."
output=${1:-docs/setup.png}
: "${WINEPREFIX:=$PWD/build/mingw/wineprefix}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
[ -f "$WINEPREFIX/system.reg" ] || xvfb-run -a wineboot -i >/dev/null 2>&1
work=$(mktemp -d "${TMPDIR:-/tmp}/setup-shot-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp samples/damaged_photo.psd "$work/"
TOLVANE_SCREENSHOTS="Z:$work" xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    wine explorer /desktop=shot,1024x768 build/mingw/tests/e2e/setup_e2e.exe \
        "Z:$PWD/build/mingw/Rezaravoz.exe" "Z:$1" >/dev/null
    wineserver -w
' sh "$work"
# A binary PPM (P6) to PNG with nothing but the standard library.
python3 - "$work/setup.ppm" "$output" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
fields, at = [], 0
while len(fields) < 4:
    while data[at:at + 1].isspace():
        at += 1
    end = at
    while not data[end:end + 1].isspace():
        end += 1
    fields.append(data[at:end])
    at = end
width, height = int(fields[1]), int(fields[2])
pixels = data[at + 1:]
rows = b"".join(b"\0" + pixels[y * width * 3:(y + 1) * width * 3] for y in range(height))
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
open(sys.argv[2], "wb").write(png + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
PY
echo "wrote $output"
