# Writes a module-definition file (DEF) naming every function of the import library IMPORT_LIB
# for the library DLL: the input from which dlltool builds the late-import library.
execute_process(COMMAND ${NM} --defined-only ${IMPORT_LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${NM} could not read ${IMPORT_LIB}")
endif()
string(REGEX MATCHALL "[0-9a-f]+ T [A-Za-z_][A-Za-z0-9_@?]*" lines "${symbols}")
list(REMOVE_DUPLICATES lines)
set(text "LIBRARY ${DLL}\nEXPORTS\n")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[0-9a-f]+ T " "" name "${line}")
    string(APPEND text "    ${name}\n")
endforeach()
file(WRITE ${DEF} "${text}")
