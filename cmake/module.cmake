# Building the system's modules: shared libraries that behave as Windows
# DLLs under the platform layer's LoadLibrary.
#
#   tavo_add_module(NAME vexa FLAVOUR vexa SOURCES ... LIBRARIES ...
#                   ENTRY DllMain WINDOWS_SUFFIX .ime
#                   RC resources/vexa/vexa.rc DEF resources/vexa/vexa.def
#                   RC_INCLUDES <folders> RC_DEPENDS <files or targets>)
#
# The library is named exactly NAME.so, as NAME.dll / NAME.ime on Windows
# (cmake/module_windows.cmake builds it there).
# It exports only what its module-definition file lists (plus its entry
# point and resource table), and binds its own calls to its own code: the
# modules and the speech library each carry their own copies of shared
# code, which must never stand in for one another. The exports and the
# entry point (ENTRY, when it comes from one of the LIBRARIES) are taken
# from the static libraries by name, since nothing in the module calls
# them.
#
#   tavo_target_resources(TARGET RC <script> INCLUDES <folders> DEPENDS <...>)
#
# Compiles a resource list into any target; a program's table is exported
# so that GetModuleHandle(NULL) finds it.

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/module_windows.cmake)
    return()
endif()

set(TAVO_RESOURCE_TABLE_SYMBOL tavo_resources)
set(TAVO_ENTRY_POINTS DllMain DllEntryPoint)

function(tavo_target_resources target)
    cmake_parse_arguments(PARSE_ARGV 1 RES "" "RC" "INCLUDES;DEPENDS")
    get_filename_component(script ${RES_RC} ABSOLUTE)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
    set(includes)
    foreach(folder IN LISTS RES_INCLUDES)
        list(APPEND includes -I ${folder})
    endforeach()
    add_custom_command(OUTPUT ${output}
        COMMAND tavorc ${includes} --depfile ${output}.d ${script} ${output}
        DEPENDS tavorc ${script} ${RES_DEPENDS}
        DEPFILE ${output}.d
        COMMENT "Compiling the resources of ${target}"
        VERBATIM)
    target_sources(${target} PRIVATE ${output})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        target_link_options(${target} PRIVATE
            -Wl,--export-dynamic-symbol=${TAVO_RESOURCE_TABLE_SYMBOL})
    endif()
endfunction()

# The names a module-definition file exports: the first word of each
# line of its EXPORTS section ("name [@ordinal] [NONAME] [PRIVATE] [DATA]").
function(_tavo_def_exports def result)
    file(STRINGS ${def} lines)
    set(exports)
    set(inExports FALSE)
    foreach(line IN LISTS lines)
        string(REGEX REPLACE ";.*$" "" line "${line}")
        string(STRIP "${line}" line)
        if(line MATCHES "^EXPORTS([ \t]+(.*))?$")
            set(inExports TRUE)
            set(line "${CMAKE_MATCH_2}")
        elseif(line MATCHES "^(LIBRARY|NAME|DESCRIPTION|STACKSIZE|HEAPSIZE|VERSION|SECTIONS|STUB|IMPORTS)([ \t]|$)")
            set(inExports FALSE)
            continue()
        endif()
        if(NOT inExports OR line STREQUAL "")
            continue()
        endif()
        string(REGEX MATCH "^[^ \t]+" name "${line}")
        if(name MATCHES "=")
            message(FATAL_ERROR "${def}: exporting under another name is not supported: ${name}")
        endif()
        list(APPEND exports ${name})
    endforeach()
    set(${result} ${exports} PARENT_SCOPE)
endfunction()

# A linker version script that exports exactly the module's names.
function(_tavo_export_script target def result)
    set(names ${TAVO_ENTRY_POINTS} ${TAVO_RESOURCE_TABLE_SYMBOL})
    if(def)
        get_filename_component(def ${def} ABSOLUTE)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
        _tavo_def_exports(${def} exports)
        list(APPEND names ${exports})
    endif()
    list(JOIN names ";\n    " global)
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.exports)
    file(CONFIGURE OUTPUT ${script}
        CONTENT "{\n  global:\n    ${global};\n  local: *;\n};\n" @ONLY)
    set(${result} ${script} PARENT_SCOPE)
endfunction()

# Sanitizers given in the compiler flags must be linked into each module
# too, or --no-undefined finds their hooks missing.
function(_tavo_sanitizer_link_options target)
    string(REGEX MATCHALL "-fsanitize=[^ ]+" sanitizers "${CMAKE_CXX_FLAGS}")
    if(sanitizers)
        target_link_options(${target} PRIVATE ${sanitizers})
    endif()
endfunction()

function(tavo_add_module)
    cmake_parse_arguments(PARSE_ARGV 0 MOD "" "NAME;FLAVOUR;RC;DEF;ENTRY;WINDOWS_SUFFIX"
        "SOURCES;LIBRARIES;RC_INCLUDES;RC_DEPENDS")
    if(NOT MOD_NAME)
        message(FATAL_ERROR "tavo_add_module needs a NAME")
    endif()
    add_library(${MOD_NAME} SHARED ${MOD_SOURCES})
    # Beside the modules it imports, as on Windows in one folder.
    set_target_properties(${MOD_NAME} PROPERTIES PREFIX "" SUFFIX ".so"
        BUILD_RPATH "$ORIGIN" INSTALL_RPATH "$ORIGIN")
    if(MOD_FLAVOUR)
        tavo_flavour_definitions(${MOD_NAME} ${MOD_FLAVOUR})
    endif()
    if(MOD_RC)
        tavo_target_resources(${MOD_NAME} RC ${MOD_RC}
            INCLUDES ${MOD_RC_INCLUDES} DEPENDS ${MOD_RC_DEPENDS})
    endif()
    _tavo_export_script(${MOD_NAME} "${MOD_DEF}" script)
    target_link_options(${MOD_NAME} PRIVATE
        -Wl,--version-script=${script} -Wl,-Bsymbolic -Wl,--no-undefined)
    if(MOD_DEF)
        _tavo_def_exports(${MOD_DEF} exports)
        foreach(name IN LISTS exports MOD_ENTRY)
            target_link_options(${MOD_NAME} PRIVATE -Wl,--undefined=${name})
        endforeach()
    endif()
    set_property(TARGET ${MOD_NAME} APPEND PROPERTY LINK_DEPENDS ${script})
    _tavo_sanitizer_link_options(${MOD_NAME})
    target_link_libraries(${MOD_NAME} PRIVATE ${MOD_LIBRARIES} tavo_platform)
endfunction()
