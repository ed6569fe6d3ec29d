# Cross-compiles for 64-bit Windows (the helper program, the 64-bit hook DLL and the 64-bit
# fixture, built by the main build as the sub-build x64/) with mingw-w64; the programs and tests run under wine.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
