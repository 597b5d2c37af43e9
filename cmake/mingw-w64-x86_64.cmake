# Cross-compiles the Windows programs for 64-bit Windows with Debian's MinGW-w64 (posix thread model): their tests
# run under the 64-bit Wine, also where the kernel starts no 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
