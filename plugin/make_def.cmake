# Writes the module-definition file of the program's exports: every ZVI_
# function the program's library defines (nm lists __stdcall functions with
# their argument bytes, _ZVI_Name@8, and the __cdecl file family plain). The
# program is linked with --kill-at, so each is exported under its plain name;
# dlltool -k makes the import library map the decorated names to them.
# Arguments: NM, LIBRARY, OUTPUT.
execute_process(COMMAND ${NM} -g --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[TD] _ZVI_[A-Za-z0-9_]+(@[0-9]+)?" found "${symbols}")
set(names)
foreach(entry ${found})
  string(REGEX REPLACE "^[TD] _" "" name "${entry}")
  list(APPEND names ${name})
endforeach()
list(REMOVE_DUPLICATES names)
list(SORT names)
set(text "; Generated from the program's library: the exports of the plug-in interface.\nNAME darad4.exe\nEXPORTS\n")
foreach(name ${names})
  string(APPEND text "  ${name}\n")
endforeach()
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
  if(old STREQUAL text)
    return()
  endif()
endif()
file(WRITE ${OUTPUT} "${text}")
