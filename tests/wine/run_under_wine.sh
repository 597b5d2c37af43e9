#!/bin/sh
# Runs a Windows program under Wine inside a virtual X server and passes its exit code on.
# WINEPREFIX names a throw-away prefix; the first run makes it (about 15 s), later runs reuse it.
set -eu
: "${WINEPREFIX:=${TMPDIR:-/tmp}/tolvane-wine-$(id -u)}"
export WINEPREFIX
export WINEDEBUG=-all
# No Mono or Gecko: skips the install prompts that would wait for a click forever. No menu builder: a new
# shortcut would start it, and it holds the new files for a moment, so that removing them at once fails.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        xvfb-run -a wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
) 9>"$WINEPREFIX.lock"

# The server waits inside the X session for every Wine process of the run to end, so none outlives its display.
exec xvfb-run -a -s "-screen 0 1024x768x24" sh -c 'status=0; wine "$@" || status=$?; wineserver -w; exit $status' sh "$@"
