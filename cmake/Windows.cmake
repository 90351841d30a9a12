# The Windows build: the gauge zelvan.dll (presets win32 and win64) and, for the tests under
# Wine, the bench's Windows host with its SimConnect stand-in, at the preset's width. The 32-bit
# build also makes the install package.
# Header-only libraries come from Debian's native packages: their headers alone are copied into
# a folder of the build, so that no native system header reaches the cross compiler.
set(ZELVAN_CROSS_INCLUDE ${CMAKE_BINARY_DIR}/cross-include)
foreach(header nlohmann CLI)
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
math(EXPR ZELVAN_WINDOWS_BITS "${CMAKE_SIZEOF_VOID_P} * 8")

enable_testing()
add_subdirectory(Src)
include(cmake/GaugeResources.cmake)
# The host runtime DLL (the bench's and its stand-in's, never the gauge's) exports the functions
# its header marks.
target_compile_definitions(zelvan_hostrt PRIVATE ZVRT_BUILD)

add_subdirectory(Bench)
# Everything the bench and its stand-in need from the C++ and GCC runtimes is linked in too,
# so the Wine prefix needs no DLL of the cross compiler.
foreach(target zelvan-bench zelvan_simconnect zelvan_hostrt)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endforeach()
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # SimConnect's entry points are __stdcall at 32 bits and exported under their plain names.
  target_link_options(zelvan_simconnect PRIVATE -Wl,--kill-at)
endif()
# wine-run.sh runs this build's programs with the Wine loader of their width.
file(WRITE ${CMAKE_BINARY_DIR}/wine-arch "win${ZELVAN_WINDOWS_BITS}\n")
add_subdirectory(Tests/Windows)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  include(cmake/InstallPackage.cmake)
endif()

# The gauge DLL of each preset exports exactly the two records and import only the system's own DLLs.
add_test(NAME windows_dll_exports_imports
         COMMAND ${CMAKE_COMMAND} -DDLL=$<TARGET_FILE:zelvan>
                 -DOBJDUMP=${CMAKE_OBJDUMP} -P ${PROJECT_SOURCE_DIR}/cmake/CheckGaugeDll.cmake)
