# Stamps the gauge with the project's version and the commit it was built from: a header for the
# DLL's version resource and the install notes. Runs at every build, so that a new commit is seen
# without configuring again; files whose text has not changed are left alone.
#   cmake -DSOURCE_DIR=... -DVERSION=x.y.z -DOUT_DIR=... -DINSTALL_TEMPLATE=... -P this file
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND git -C ${SOURCE_DIR} rev-parse --short=12 HEAD
                OUTPUT_VARIABLE ZELVAN_COMMIT OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE failed ERROR_QUIET)
if(failed OR ZELVAN_COMMIT STREQUAL "")
  set(ZELVAN_COMMIT "unknown")
else()
  execute_process(COMMAND git -C ${SOURCE_DIR} status --porcelain --untracked-files=no
                  OUTPUT_VARIABLE changes ERROR_QUIET)
  if(NOT changes STREQUAL "")
    string(APPEND ZELVAN_COMMIT "+changes")
  endif()
endif()
set(ZELVAN_VERSION ${VERSION})
string(REPLACE "." "," ZELVAN_VERSION_WORDS "${VERSION},0")
configure_file(${CMAKE_CURRENT_LIST_DIR}/zelvan-version.h.in ${OUT_DIR}/zelvan-version.h @ONLY)
# The pilot reads the notes on Windows: Windows line ends.
configure_file(${INSTALL_TEMPLATE} ${OUT_DIR}/INSTALL.txt @ONLY NEWLINE_STYLE CRLF)
