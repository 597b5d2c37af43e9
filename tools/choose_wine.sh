# Sourced by the scripts that run the Windows programs under Wine. They name Wine's loader and server themselves:
# Debian's /usr/bin/wine starts the 32-bit loader whenever wine32 is installed, even where the kernel cannot start
# 32-bit code, and a prefix made without WINEARCH is a 64-bit one once wine64 is installed, where the 32-bit
# programs find %ProgramFiles% in "Program Files (x86)".

# Whether the kernel starts 32-bit x86 programs: some virtual machines run 64-bit code only, and Wine's 32-bit
# loader cannot start there. The loader's own words count, not its exit code: a shell given a program the kernel
# refuses reads it as a script.
starts_32bit_code() {
    /lib/ld-linux.so.2 --version 2>/dev/null | grep -q "^ld\.so"
}

# Prints the Windows architecture a program was built for, win32 or win64, from the machine field of its PE header.
windows_arch_of() {
    pe_offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' \n')
    machine=""
    [ -n "$pe_offset" ] && machine=$(od -An -tx1 -j$((pe_offset + 4)) -N2 "$1" | tr -d ' \n')
    case $machine in
    4c01) echo win32 ;;
    6486) echo win64 ;;
    *)
        echo "$1: not a 32-bit or 64-bit x86 Windows program" >&2
        return 1
        ;;
    esac
}

# Exports what runs ARCH's programs (win32 or win64): WINEARCH for a new prefix, WINELOADER for the loader,
# WINESERVER for the server, which the scripts wait for or stop.
use_wine_for() {
    case $1 in
    win32) WINELOADER=/usr/lib/wine/wine ;;
    win64) WINELOADER=/usr/lib/wine/wine64 ;;
    *)
        echo "use_wine_for: unknown Windows architecture '$1'" >&2
        return 1
        ;;
    esac
    # Wine starts Debian's server wrapper by itself, which takes the 64-bit server wherever wine64 is installed:
    # it serves 32-bit programs as well. The 32-bit server only where wine32 stands alone.
    WINESERVER=/usr/lib/wine/wineserver64
    if [ ! -x "$WINESERVER" ] && [ "$1" = win32 ]; then
        WINESERVER=/usr/lib/wine/wineserver32
    fi
    for program in "$WINELOADER" "$WINESERVER"; do
        if [ ! -x "$program" ]; then
            echo "$program is missing: the $1 programs need it (Debian's wine32 or wine64 package)" >&2
            return 1
        fi
    done
    WINEARCH=$1
    export WINEARCH WINELOADER WINESERVER
}
