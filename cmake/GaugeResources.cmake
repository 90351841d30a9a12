# The gauge DLL's resources (Src/Gauge/zelvan.rc): the panel's bitmaps, drawn at build time by
# the bench's own panel drawings, and the version record stamped with the version and commit.
# Included by Windows.cmake after the gauge target exists.

# The bitmap writer runs on the build machine, so it is built there by the machine's compiler,
# with the machine's Cairo.
find_program(ZELVAN_NATIVE_PKG_CONFIG pkg-config REQUIRED)
execute_process(COMMAND ${ZELVAN_NATIVE_PKG_CONFIG} --cflags --libs cairo
                OUTPUT_VARIABLE ZELVAN_NATIVE_CAIRO_FLAGS OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the build machine's Cairo is missing (./dev installs libcairo2-dev)")
endif()
separate_arguments(ZELVAN_NATIVE_CAIRO_FLAGS UNIX_COMMAND "${ZELVAN_NATIVE_CAIRO_FLAGS}")
set(writer ${CMAKE_BINARY_DIR}/make-panel-bitmaps)
set(writer_sources ${PROJECT_SOURCE_DIR}/Bench/PanelArt/MakePanelBitmaps.cpp
                   ${PROJECT_SOURCE_DIR}/Bench/Output/PanelBitmaps.cpp)
add_custom_command(
  OUTPUT ${writer}
  COMMAND c++ -std=c++20 -O1 -I${PROJECT_SOURCE_DIR} -o ${writer} ${writer_sources} ${ZELVAN_NATIVE_CAIRO_FLAGS}
  DEPENDS ${writer_sources} ${PROJECT_SOURCE_DIR}/Bench/Output/PanelBitmaps.h
  COMMENT "Building the panel's bitmap writer for the build machine")

set(ZELVAN_PANEL_BITMAP_DIR ${CMAKE_BINARY_DIR}/panel-bitmaps)
set(bitmap_ids 4096 4097 4098 4099 4100 4101 4102 4103 4104 4105 4112 4113 4114 4115 4116 4117
    4118 4119 4120)
list(TRANSFORM bitmap_ids PREPEND ${ZELVAN_PANEL_BITMAP_DIR}/ OUTPUT_VARIABLE bitmaps)
list(TRANSFORM bitmaps APPEND .bmp)
add_custom_command(
  OUTPUT ${bitmaps}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZELVAN_PANEL_BITMAP_DIR}
  COMMAND ${writer} ${ZELVAN_PANEL_BITMAP_DIR}
  DEPENDS ${writer}
  COMMENT "Drawing the panel's bitmaps")

# Stamped at every build; the files change only with the version or the commit.
set(ZELVAN_STAMP_DIR ${CMAKE_BINARY_DIR}/gauge-stamp)
add_custom_target(zelvan_gauge_stamp
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DVERSION=${PROJECT_VERSION}
          -DOUT_DIR=${ZELVAN_STAMP_DIR}
          -DINSTALL_TEMPLATE=${PROJECT_SOURCE_DIR}/Bench/Windows/INSTALL.txt.in
          -P ${PROJECT_SOURCE_DIR}/cmake/GaugeVersion.cmake
  BYPRODUCTS ${ZELVAN_STAMP_DIR}/zelvan-version.h ${ZELVAN_STAMP_DIR}/INSTALL.txt
  COMMENT "Stamping the gauge's version")

set(rc ${PROJECT_SOURCE_DIR}/Src/Gauge/zelvan.rc)
target_sources(zelvan PRIVATE ${rc})
set_source_files_properties(${rc} DIRECTORY ${PROJECT_SOURCE_DIR}/Src PROPERTIES
  OBJECT_DEPENDS "${bitmaps};${ZELVAN_STAMP_DIR}/zelvan-version.h")
# The resource compiler finds the bitmaps and the header on its include path.
target_include_directories(zelvan PRIVATE ${ZELVAN_PANEL_BITMAP_DIR} ${ZELVAN_STAMP_DIR})
add_custom_target(zelvan_panel_bitmaps DEPENDS ${bitmaps})
add_dependencies(zelvan zelvan_panel_bitmaps zelvan_gauge_stamp)

# Every bitmap id with its type, language, size and depth, as the DLL carries them.
find_program(ZELVAN_WRESTOOL wrestool REQUIRED)
add_test(NAME windows_dll_bitmaps
         COMMAND ${CMAKE_COMMAND} -DDLL=$<TARGET_FILE:zelvan> -DWRESTOOL=${ZELVAN_WRESTOOL}
                 -DSCRATCH=${CMAKE_BINARY_DIR}/bitmap-check
                 -P ${PROJECT_SOURCE_DIR}/cmake/CheckGaugeBitmaps.cmake)
