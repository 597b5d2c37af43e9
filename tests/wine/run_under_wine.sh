#!/bin/sh
# Runs a Windows program under Wine inside a virtual X server and passes its exit code on. The program's own
# header chooses the loader: the 32-bit one for a 32-bit build, the 64-bit one for a 64-bit build.
# WINEPREFIX names a throw-away prefix of that architecture, made by the first run (15 to 30 s) and reused after.
set -eu
. "$(dirname "$0")/../../tools/choose_wine.sh"
arch=$(windows_arch_of "$1")
use_wine_for "$arch"
: "${WINEPREFIX:=${TMPDIR:-/tmp}/tolvane-wine-$(id -u)-$arch}"
export WINEPREFIX
export WINEDEBUG=-all
# No Mono or Gecko: skips the install prompts that would wait for a click forever. No menu builder: a new
# shortcut would start it, and it holds the new files for a moment, so that removing them at once fails.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        xvfb-run -a "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
        "$WINESERVER" -w
    fi
) 9>"$WINEPREFIX.lock"

# The server waits inside the X session for every Wine process of the run to end, so none outlives its display.
exec xvfb-run -a -s "-screen 0 1024x768x24" \
    sh -c 'status=0; "$WINELOADER" "$@" || status=$?; "$WINESERVER" -w; exit $status' sh "$@"
