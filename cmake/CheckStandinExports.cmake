# Checks the SimConnect stand-in's exports with objdump -p: its entry points under their plain
# names, as the module looks them up, and none decorated with a stack size ("Name@24"), which
# is how a 32-bit __stdcall export comes out unless the linker strips it.
#   cmake -DDLL=... -DOBJDUMP=... -P this file
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()
string(REGEX MATCHALL "\\[[ 0-9]+\\] SimConnect_[^\n]*" exports "${dump}")
list(LENGTH exports count)
if(count LESS 72)
  message(FATAL_ERROR "${DLL} exports ${count} SimConnect entry points, fewer than the module's 72")
endif()
foreach(name SimConnect_Open SimConnect_CallDispatch SimConnect_Close)
  if(NOT dump MATCHES "\\] ${name}\n")
    message(FATAL_ERROR "${DLL} does not export ${name} under its plain name")
  endif()
endforeach()
if(dump MATCHES "\\] SimConnect_[A-Za-z0-9_]*@[0-9]+")
  message(FATAL_ERROR "${DLL} exports decorated names: ${CMAKE_MATCH_0}")
endif()
message(STATUS "${DLL}: ${count} SimConnect entry points, plain names")
