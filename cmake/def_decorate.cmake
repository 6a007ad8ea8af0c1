# Writes a module-definition file whose exports carry the decorated names
# of their __stdcall symbols on x86 (speech_read becomes speech_read@4),
# as the objects define them; ordinals and keywords stay as written.
#
#   cmake -DDEF=in.def -DOUT=out.def -DNM=nm "-DFILES=a.obj|b.a" -P def_decorate.cmake
#
# An export that no object defines stays as written (the linker then
# reports it), and so does one defined without decoration (__cdecl).
cmake_policy(VERSION 3.25)
string(REPLACE "|" ";" files "${FILES}")
list(REMOVE_ITEM files "")
execute_process(COMMAND ${NM} -g --defined-only ${files}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE failed ERROR_VARIABLE problem)
if(failed)
    message(FATAL_ERROR "${NM}: ${problem}")
endif()

file(STRINGS ${DEF} lines)
set(out)
set(inExports FALSE)
foreach(line IN LISTS lines)
    string(STRIP "${line}" stripped)
    if(stripped MATCHES "^EXPORTS([ \t]|$)")
        set(inExports TRUE)
    elseif(stripped MATCHES "^(LIBRARY|NAME|DESCRIPTION|STACKSIZE|HEAPSIZE|VERSION|SECTIONS|STUB|IMPORTS)([ \t]|$)")
        set(inExports FALSE)
    elseif(inExports AND stripped MATCHES "^([A-Za-z_][A-Za-z0-9_]*)(.*)$")
        set(name ${CMAKE_MATCH_1})
        set(rest "${CMAKE_MATCH_2}")
        if(symbols MATCHES "[ \t]T _(${name}@[0-9]+)\n")
            set(line "    ${CMAKE_MATCH_1}${rest}")
        endif()
    endif()
    string(APPEND out "${line}\n")
endforeach()
file(WRITE ${OUT}.tmp "${out}")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
