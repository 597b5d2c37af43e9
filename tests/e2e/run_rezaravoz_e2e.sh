#!/bin/sh
# End-to-end run of Rezaravoz.exe under Wine in a fresh work folder.
# Usage: run_rezaravoz_e2e.sh DRIVER_EXE REZARAVOZ_EXE PAYLOAD_FILE...
set -eu
driver=$1 program=$2
shift 2
work=$(mktemp -d "${TMPDIR:-/tmp}/rezaravoz-e2e-XXXXXX")
trap 'rm -rf "$work"' EXIT
payload=""
for file in "$@"; do
    payload="$payload Z:$file"
done
# shellcheck disable=SC2086
"$(dirname "$0")/../wine/run_under_wine.sh" "$driver" "Z:$program" "Z:$work" $payload
