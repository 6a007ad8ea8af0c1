# The system's code is built twice from the same sources: once with UNICODE
# (TCHAR is a UTF-16 unit, the vexa module) and once without (TCHAR is a
# byte of Big5 text, the ruda module and the speech library).
set(TAVO_FLAVOURS vexa ruda)

function(tavo_flavour_definitions target flavour)
    if(flavour STREQUAL "vexa")
        target_compile_definitions(${target} PRIVATE UNICODE _UNICODE)
    endif()
endfunction()
