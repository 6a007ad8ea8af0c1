# Cross-building the Windows x86 deliverables with Debian's MinGW-w64
# (g++-mingw-w64-i686, binutils-mingw-w64).
set(TAVO_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
