# Cross-building the Windows x64 deliverables with Debian's MinGW-w64
# (g++-mingw-w64-x86-64, binutils-mingw-w64).
set(TAVO_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
