# Checks a Windows DLL with objdump -p: it exports exactly Linkage and ImportTable, undecorated,
# and imports only DLLs of the system. Run as cmake -DDLL=... -DOBJDUMP=... -P this file.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()

# Export names: the lines after the name-pointer table's heading, "[   n] Name".
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]*\\[[ 0-9]+\\][^\n]*\n)*)"
       table "${dump}")
# (The brackets go first: CMake lists do not split inside unbalanced brackets.)
string(REGEX REPLACE "[ \t]*\\[[ 0-9]+\\][ \t]+" "" names "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "[^\n]+" exports "${names}")
list(SORT exports)
if(NOT exports STREQUAL "ImportTable;Linkage")
  message(FATAL_ERROR "${DLL} exports [${exports}], expected exactly ImportTable and Linkage")
endif()

# Imported DLLs: every "DLL Name:" line, against the system's own libraries.
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
set(system_dlls kernel32.dll user32.dll advapi32.dll shell32.dll ole32.dll version.dll
    dsound.dll winmm.dll msvcrt.dll gdi32.dll shlwapi.dll)
set(imports "")
foreach(line ${lines})
  string(REGEX REPLACE "DLL Name: " "" name "${line}")
  string(STRIP "${name}" name)
  string(TOLOWER "${name}" name)
  list(APPEND imports "${name}")
  if(NOT name IN_LIST system_dlls AND NOT name MATCHES "^api-ms-win-")
    message(FATAL_ERROR "${DLL} imports ${name}, which is not a DLL of the system")
  endif()
endforeach()
if(NOT "kernel32.dll" IN_LIST imports)
  message(FATAL_ERROR "${DLL}: no import table found in objdump's output")
endif()
message(STATUS "${DLL}: exports [${exports}], imports [${imports}]")
