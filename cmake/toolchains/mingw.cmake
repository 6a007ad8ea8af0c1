# The MinGW-w64 compilers for TAVO_MINGW_TRIPLET. The POSIX thread model
# gives the full C++ library; everything of the compiler's runtime is
# linked statically (see cmake/module_windows.cmake), so the deliverables
# need nothing but Windows itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TAVO_MINGW_TRIPLET})

find_program(CMAKE_C_COMPILER NAMES ${TAVO_MINGW_TRIPLET}-gcc-posix ${TAVO_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TAVO_MINGW_TRIPLET}-g++-posix ${TAVO_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TAVO_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
