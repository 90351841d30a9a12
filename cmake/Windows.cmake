# The Windows build: the gauge zelvan.dll (presets win32 and win64) and, for the tests under
# Wine, the bench's Windows host with its SimConnect stand-in (win64).
# Header-only libraries come from Debian's native packages: their headers alone are copied into
# a folder of the build, so that no native system header reaches the cross compiler.
set(ZELVAN_CROSS_INCLUDE ${CMAKE_BINARY_DIR}/cross-include)
foreach(header SimpleIni.h nlohmann CLI)
  if(NOT EXISTS /usr/include/${header})
    message(FATAL_ERROR "/usr/include/${header} is missing (./dev installs its Debian package)")
  endif()
  file(COPY /usr/include/${header} DESTINATION ${ZELVAN_CROSS_INCLUDE})
endforeach()
add_library(zelvan_cross_headers INTERFACE)
target_include_directories(zelvan_cross_headers SYSTEM INTERFACE ${ZELVAN_CROSS_INCLUDE})
add_library(nlohmann_json::nlohmann_json ALIAS zelvan_cross_headers)
add_library(CLI11::CLI11 ALIAS zelvan_cross_headers)
find_package(Threads REQUIRED)

enable_testing()
add_subdirectory(Src)
# The host runtime DLL (the bench's and its stand-in's, never the gauge's) exports the functions
# its header marks.
target_compile_definitions(zelvan_hostrt PRIVATE ZVRT_BUILD)

# The bench runs under wine64 only: the 64-bit build carries it.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_subdirectory(Bench)
  # Everything the bench and its stand-in need from the C++ and GCC runtimes is linked in too,
  # so the Wine prefix needs no DLL of the cross compiler.
  foreach(target zelvan-bench zelvan_simconnect zelvan_hostrt)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endforeach()
  add_subdirectory(Tests/Windows)
endif()

# The gauge DLL of each preset exports exactly the two records and import only the system's own DLLs.
add_test(NAME windows_dll_exports_imports
         COMMAND ${CMAKE_COMMAND} -DDLL=$<TARGET_FILE:zelvan>
                 -DOBJDUMP=${CMAKE_OBJDUMP} -P ${PROJECT_SOURCE_DIR}/cmake/CheckGaugeDll.cmake)
