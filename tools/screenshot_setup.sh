# Sourced by the screenshot scripts, from the project's root. Chooses the Windows build whose programs are shown:
# build/mingw, the product, wherever this kernel starts 32-bit x86 code, else build/mingw64 (TOLVANE_WINDOWS_BUILD
# names another). Then Wine's loader and server for that build, its Wine prefix (made the first time), Wine without
# its debug output, Mono, Gecko or menu builder, and the native tool that writes settings files.
. tools/choose_wine.sh
if [ -z "${TOLVANE_WINDOWS_BUILD:-}" ]; then
    TOLVANE_WINDOWS_BUILD=build/mingw
    starts_32bit_code || TOLVANE_WINDOWS_BUILD=build/mingw64
fi
windows_build=$(cd "$TOLVANE_WINDOWS_BUILD" && pwd)
use_wine_for "$(windows_arch_of "$windows_build/Tolvane.exe")"
: "${WINEPREFIX:=$windows_build/wineprefix}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    xvfb-run -a "$WINELOADER" wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w
fi
tool=build/sanitize/tolvane
[ -x "$tool" ] || tool=build/release/tolvane
