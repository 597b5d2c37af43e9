# Sourced by the screenshot scripts, from the project's root: the build's Wine prefix (made the first time), Wine
# without its debug output, Mono, Gecko or menu builder, and the native tool that writes settings files.
: "${WINEPREFIX:=$PWD/build/mingw/wineprefix}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
[ -f "$WINEPREFIX/system.reg" ] || xvfb-run -a wineboot -i >/dev/null 2>&1
tool=build/sanitize/tolvane
[ -x "$tool" ] || tool=build/release/tolvane
