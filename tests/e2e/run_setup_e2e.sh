#!/bin/sh
# End-to-end installation walk under Wine: Rezaravoz.exe, the setup, the installed program, the uninstall.
# Usage: run_setup_e2e.sh DRIVER_EXE REZARAVOZ_EXE SAMPLE_PSD
set -eu
driver=$1 program=$2 sample=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/setup-e2e-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$sample" "$work/damaged_photo.psd"
"$(dirname "$0")/../wine/run_under_wine.sh" "$driver" "Z:$program" "Z:$work"
