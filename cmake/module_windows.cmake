# Building the system's modules as Windows DLLs with MinGW-w64: the same
# arguments as on Linux (see cmake/module.cmake).
#
#   tavo_add_module(NAME vexa FLAVOUR vexa SOURCES ... LIBRARIES ...
#                   ENTRY DllMain WINDOWS_SUFFIX .ime
#                   RC resources/vexa/vexa.rc DEF resources/vexa/vexa.def
#                   RC_INCLUDES <folders> RC_DEPENDS <files or targets>)
#
# The module is named NAME plus WINDOWS_SUFFIX (.dll when not given); the C
# runtime's start-up calls its entry point, which must be named DllMain.
# It exports what its module-definition file lists, by the names
# written there. On x86 the system's calls are __stdcall, whose symbols
# carry the size of their arguments (_speech_read@4): the file given to
# the linker names them so, --kill-at exports them undecorated, and the
# import library (made by dlltool) keeps the decorated symbols that
# callers link to.
# Everything of the compiler's runtime is linked statically.
#
#   tavo_target_resources(TARGET RC <script> INCLUDES <folders> DEPENDS <...>)
#
# Compiles a resource list with windres. The resource compiler of the
# Linux build (tools/rc/tavorc) reads the same list beside it: it names
# the files the list pulls in, for the dependencies, and writes its own
# view of the resources, which a test compares with windres's.

# The modules, the speech library and the programs side by side, as they
# are installed.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

set(TAVO_WINDOWS_X86 OFF)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(TAVO_WINDOWS_X86 ON)
    find_program(TAVO_DLLTOOL NAMES ${TAVO_MINGW_TRIPLET}-dlltool REQUIRED)
endif()

function(tavo_target_resources target)
    cmake_parse_arguments(PARSE_ARGV 1 RES "" "RC" "INCLUDES;DEPENDS")
    get_filename_component(script ${RES_RC} ABSOLUTE)
    get_filename_component(folder ${script} DIRECTORY)
    set(base ${CMAKE_CURRENT_BINARY_DIR}/${target})
    set(includes -I ${folder})
    foreach(include IN LISTS RES_INCLUDES)
        list(APPEND includes -I ${include})
    endforeach()
    set(files)
    set(targets)
    foreach(dependency IN LISTS RES_DEPENDS)
        if(TARGET ${dependency})
            list(APPEND targets ${dependency})
        else()
            list(APPEND files ${dependency})
        endif()
    endforeach()
    add_custom_command(OUTPUT ${base}.tavorc.res ${base}.windres.res ${base}_res.o
        COMMAND tavorc ${includes} --depfile ${base}.res.d --res ${base}.tavorc.res ${script}
        COMMAND ${CMAKE_RC_COMPILER} ${includes} -O res -i ${script} -o ${base}.windres.res
        COMMAND ${CMAKE_RC_COMPILER} -J res -O coff -i ${base}.windres.res -o ${base}_res.o
        DEPENDS ${script} ${files}
        DEPFILE ${base}.res.d
        COMMENT "Compiling the resources of ${target}"
        VERBATIM)
    target_sources(${target} PRIVATE ${base}_res.o)
    if(targets)
        add_dependencies(${target} ${targets})
    endif()
    set_property(GLOBAL APPEND PROPERTY TAVO_RESOURCE_PAIRS "${base}.windres.res|${base}.tavorc.res")
endfunction()

# The module-definition file that the linker takes: on x86 each export
# under its decorated symbol, read from the objects that define it.
function(_tavo_link_definitions target def)
    get_filename_component(def ${def} ABSOLUTE)
    if(NOT TAVO_WINDOWS_X86)
        target_link_options(${target} PRIVATE ${def})
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${def})
        return()
    endif()
    set(decorated ${CMAKE_CURRENT_BINARY_DIR}/${target}.decorated.def)
    # The files to read, separated by | (a ; would split the argument).
    set(files "$<JOIN:$<TARGET_OBJECTS:${target}>,|>")
    foreach(library IN LISTS ARGN)
        string(APPEND files "|$<TARGET_FILE:${library}>")
    endforeach()
    add_custom_command(TARGET ${target} PRE_LINK
        COMMAND ${CMAKE_COMMAND} -DDEF=${def} -DOUT=${decorated} -DNM=${CMAKE_NM}
            "-DFILES=${files}" -P ${PROJECT_SOURCE_DIR}/cmake/def_decorate.cmake
        VERBATIM)
    # The linker's import library would name the plain symbols; dlltool's
    # keeps the decorated ones and imports them by the plain names.
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${TAVO_DLLTOOL} --input-def ${decorated} --dllname $<TARGET_FILE_NAME:${target}>
            --output-lib $<TARGET_LINKER_FILE:${target}> --kill-at
        VERBATIM)
    target_link_options(${target} PRIVATE ${decorated} -Wl,--kill-at)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${def}
        ${PROJECT_SOURCE_DIR}/cmake/def_decorate.cmake)
endfunction()

function(tavo_add_module)
    cmake_parse_arguments(PARSE_ARGV 0 MOD "" "NAME;FLAVOUR;RC;DEF;ENTRY;WINDOWS_SUFFIX"
        "SOURCES;LIBRARIES;RC_INCLUDES;RC_DEPENDS")
    if(NOT MOD_NAME)
        message(FATAL_ERROR "tavo_add_module needs a NAME")
    endif()
    if(NOT MOD_WINDOWS_SUFFIX)
        set(MOD_WINDOWS_SUFFIX .dll)
    endif()
    add_library(${MOD_NAME} SHARED ${MOD_SOURCES})
    set_target_properties(${MOD_NAME} PROPERTIES PREFIX "" SUFFIX ${MOD_WINDOWS_SUFFIX}
        IMPORT_PREFIX lib IMPORT_SUFFIX .dll.a)
    if(MOD_FLAVOUR)
        tavo_flavour_definitions(${MOD_NAME} ${MOD_FLAVOUR})
    endif()
    if(MOD_RC)
        tavo_target_resources(${MOD_NAME} RC ${MOD_RC}
            INCLUDES ${MOD_RC_INCLUDES} DEPENDS ${MOD_RC_DEPENDS})
    endif()
    if(MOD_DEF)
        _tavo_link_definitions(${MOD_NAME} ${MOD_DEF} ${MOD_LIBRARIES})
    endif()
    target_link_options(${MOD_NAME} PRIVATE -static -static-libgcc -static-libstdc++
        -Wl,--no-undefined)
    target_link_libraries(${MOD_NAME} PRIVATE ${MOD_LIBRARIES} tavo_platform)
endfunction()
