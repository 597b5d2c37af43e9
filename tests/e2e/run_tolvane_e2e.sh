#!/bin/sh
# End-to-end run of Tolvane.exe under Wine: the driver recovers the sample through the window and compares the
# pictures with what the command line writes from the same file.
# Usage: run_tolvane_e2e.sh DRIVER_EXE TOLVANE_EXE SAMPLE_PSD NATIVE_TOLVANE COMPANION_STANDIN_EXE
set -eu
driver=$1 program=$2 sample=$3 native_tool=$4 companion=$5
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-e2e-XXXXXX")
trap 'rm -rf "$work"' EXIT
"$native_tool" recover --output-dir "$work/reference" "$sample" >/dev/null
cp "$sample" "$work/damaged_photo.psd"
"$(dirname "$0")/../wine/run_under_wine.sh" "$driver" "Z:$program" "Z:$work" "Z:$companion"
