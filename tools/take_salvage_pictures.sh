#!/bin/sh
# Remakes docs/salvage.png: a damaged document as ImageMagick reads it, and as tolvane salvage gives it back (the
# samples it lost shown over a checkerboard). TOLVANE=PATH uses that program instead of build/release/tolvane.
set -eu
cd "$(dirname "$0")/.."
tools/install_packages.sh imagemagick python3-psd-tools fonts-dejavu-core
tolvane=${TOLVANE:-build/release/tolvane}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# ImageMagick's own convert, not a wrapper earlier in PATH.
convert=/usr/bin/convert
$convert -size 480x300 -seed 11 plasma:steelblue-orange -fill white -draw "circle 360,90 410,140" \
    -fill '#203040' -draw "rectangle 40,200 200,270" -font DejaVu-Sans-Bold -pointsize 54 -fill white \
    -annotate +60+120 'Tolvane' "$work/photo.png"
# A document of one merged picture (no layer to stand in for it), RLE as Photoshop writes; then bytes overwritten
# in the green rows and bytes inserted among the blue ones, as a failing disk leaves them. Debian's python3, which
# has psd-tools, whatever python3 comes first in PATH.
/usr/bin/python3 - "$work/photo.png" "$work/damaged.psd" <<'PY'
import io, sys
from PIL import Image
from psd_tools import PSDImage
from psd_tools.constants import Compression
document = io.BytesIO()
PSDImage.frompil(Image.open(sys.argv[1]).convert("RGB"), compression=Compression.RLE).save(document)
data = bytearray(document.getvalue())
end = len(data)
data[end * 60 // 100:end * 60 // 100 + 3000] = bytes((i * 151 + 7) % 256 for i in range(3000))
at = end * 85 // 100
data[at:at] = b"\x5a" * 23
open(sys.argv[2], "wb").write(data)
PY
$convert "$work/damaged.psd[0]" "$work/before.png" 2>/dev/null || $convert -size 480x300 xc:gray50 -font DejaVu-Sans -fill white \
    -pointsize 20 -annotate +120+150 'ImageMagick: nothing' "$work/before.png"
"$tolvane" salvage -q -o "$work/out" "$work/damaged.psd"
$convert -size 480x300 pattern:checkerboard "$work/out/composite.png" -composite "$work/after.png"
$convert "$work/before.png" -background white -gravity north -splice 0x28 -font DejaVu-Sans -pointsize 18 -annotate +0+4 \
    'ImageMagick reads the damaged file' "$work/before.png"
$convert "$work/after.png" -background white -gravity north -splice 0x28 -font DejaVu-Sans -pointsize 18 -annotate +0+4 \
    'tolvane salvage gives it back' "$work/after.png"
$convert "$work/before.png" "$work/after.png" -background white -splice 12x0 +append docs/salvage.png
echo "docs/salvage.png"
