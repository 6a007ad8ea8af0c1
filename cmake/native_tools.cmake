# The programs that run during a cross-build (the resource, lexicon,
# code-page, voice and full-width tools) and the data they make come from
# a native build of this same source: by default the `linux` preset's
# folder, so that a machine that builds both builds the tools once.
# Building a Windows target first brings that folder up to date (it is
# configured when it does not exist yet) and only for these targets.
#
# The tools are then imported executables under their usual names, so
# that the lists that run them (platform/, resources/, tools/rc) read the
# same in every build; the databases and the voice are taken from the
# native build's data folder.
include(ExternalProject)

set(TAVO_NATIVE_BUILD_DIR ${PROJECT_SOURCE_DIR}/build/linux
    CACHE PATH "The native build whose tools and data a cross-build uses")

set(_tavo_native_tools
    tavorc tools/tavorc
    tavolex tools/tavolex
    tavovoice tools/tavovoice
    tavofullwidth tools/tavofullwidth
    tavodb tools/tavodb
    cp950gen platform/cp950gen)

set(TAVO_DATABASE_DIR ${TAVO_NATIVE_BUILD_DIR}/data CACHE INTERNAL "")
set(TAVO_SYSTEM_FILES
    ${TAVO_DATABASE_DIR}/vexa.idb ${TAVO_DATABASE_DIR}/ruda.idb ${TAVO_DATABASE_DIR}/tavo_spk.vdb)

set(_tavo_native_targets)
set(_tavo_native_files)
list(LENGTH _tavo_native_tools _count)
math(EXPR _last "${_count} - 1")
foreach(i RANGE 0 ${_last} 2)
    math(EXPR j "${i} + 1")
    list(GET _tavo_native_tools ${i} name)
    list(GET _tavo_native_tools ${j} path)
    list(APPEND _tavo_native_targets ${name})
    list(APPEND _tavo_native_files ${TAVO_NATIVE_BUILD_DIR}/${path})
    add_executable(${name} IMPORTED GLOBAL)
    set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${TAVO_NATIVE_BUILD_DIR}/${path})
endforeach()
# The databases, and the voice recorded with espeak-ng (which the Windows
# deliverable must have).
list(APPEND _tavo_native_targets tavo_databases tavo_voice_database)

# Configured like the `linux` preset when the folder is new; otherwise the
# folder keeps its own settings.
ExternalProject_Add(tavo_native
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${TAVO_NATIVE_BUILD_DIR}
    CONFIGURE_COMMAND ${CMAKE_COMMAND} -E env --unset=CC --unset=CXX --unset=RC
        ${CMAKE_COMMAND} -S ${PROJECT_SOURCE_DIR} -B ${TAVO_NATIVE_BUILD_DIR}
        -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    # $(MAKE), so that the native build shares this build's job slots.
    BUILD_COMMAND $(MAKE) ${_tavo_native_targets}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${_tavo_native_files} ${TAVO_SYSTEM_FILES}
        ${TAVO_DATABASE_DIR}/dictionary.img ${TAVO_DATABASE_DIR}/query.img
    STEP_TARGETS build)

# What the lists name as the data's targets.
add_custom_target(tavo_databases)
add_custom_target(tavo_voice_database)
add_dependencies(tavo_databases tavo_native)
add_dependencies(tavo_voice_database tavo_native)

# Every target of this build may run a tool or read the data, so each
# waits for the native build (called at the end of the top-level list).
function(tavo_after_native_build directory)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        if(NOT target MATCHES "^tavo_native")
            add_dependencies(${target} tavo_native)
        endif()
    endforeach()
    get_property(folders DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(folder IN LISTS folders)
        tavo_after_native_build(${folder})
    endforeach()
endfunction()
