# The fuzz build (TAVO_BUILD_FUZZ, the linux-fuzz preset): clang with
# libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer. The modules
# are shared libraries linked with --no-undefined, so the sanitizers'
# runtime is the shared one, which every program and module then uses.
if(NOT TAVO_BUILD_FUZZ)
    return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "the fuzz build needs clang (the linux-fuzz preset chooses clang-14)")
endif()
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libclang_rt.asan-x86_64.so
    OUTPUT_VARIABLE TAVO_ASAN_RUNTIME OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT EXISTS "${TAVO_ASAN_RUNTIME}")
    message(FATAL_ERROR "no shared AddressSanitizer runtime (package libclang-rt-14-dev)")
endif()
get_filename_component(TAVO_ASAN_RUNTIME_DIR ${TAVO_ASAN_RUNTIME} DIRECTORY)
set(TAVO_FUZZER_RUNTIME ${TAVO_ASAN_RUNTIME_DIR}/libclang_rt.fuzzer-x86_64.a)
if(NOT EXISTS "${TAVO_FUZZER_RUNTIME}")
    message(FATAL_ERROR "no libFuzzer (package libclang-rt-14-dev)")
endif()
add_link_options(-shared-libasan -Wl,-rpath,${TAVO_ASAN_RUNTIME_DIR})
