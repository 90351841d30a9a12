# The install package a pilot unzips into the simulator's folder (the 32-bit build only):
# dist/zelvan-win32.zip of this build, laid out as the aircraft's folder.
set(ZELVAN_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package)
set(ZELVAN_PACKAGE ${CMAKE_BINARY_DIR}/dist/zelvan-win32.zip)
set(panel SimObjects/Airplanes/PelmoraG_Q-71_Zelvan/panel)
add_custom_command(
  OUTPUT ${ZELVAN_PACKAGE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${ZELVAN_PACKAGE_STAGE} ${ZELVAN_PACKAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZELVAN_PACKAGE_STAGE}/${panel}
          ${CMAKE_BINARY_DIR}/dist
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:zelvan> ${ZELVAN_PACKAGE_STAGE}/${panel}/
  COMMAND ${CMAKE_COMMAND} -E copy ${ZELVAN_STAMP_DIR}/INSTALL.txt ${ZELVAN_PACKAGE_STAGE}/
  # The fragment is read on Windows too: Windows line ends, as INSTALL.txt has them.
  COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/Bench/Windows/zelvan-panel.cfg
          -DOUT=${ZELVAN_PACKAGE_STAGE}/${panel}/zelvan-panel.cfg
          -P ${PROJECT_SOURCE_DIR}/cmake/CrlfCopy.cmake
  COMMAND ${CMAKE_COMMAND} -E chdir ${ZELVAN_PACKAGE_STAGE}
          ${CMAKE_COMMAND} -E tar cf ${ZELVAN_PACKAGE} --format=zip INSTALL.txt SimObjects
  DEPENDS zelvan ${ZELVAN_STAMP_DIR}/INSTALL.txt ${PROJECT_SOURCE_DIR}/Bench/Windows/zelvan-panel.cfg
  COMMENT "Packing dist/zelvan-win32.zip")
add_custom_target(zelvan_install_package ALL DEPENDS ${ZELVAN_PACKAGE})

# What a pilot sees with unzip -l, and that the package's DLL and notes are this build's.
find_program(ZELVAN_UNZIP unzip REQUIRED)
add_test(NAME windows_install_package
         COMMAND ${CMAKE_COMMAND} -DZIP=${ZELVAN_PACKAGE} -DUNZIP=${ZELVAN_UNZIP}
                 -DWRESTOOL=${ZELVAN_WRESTOOL}
                 -DDLL=$<TARGET_FILE:zelvan> -DVERSION=${PROJECT_VERSION}
                 -DSCRATCH=${CMAKE_BINARY_DIR}/package-check
                 -P ${PROJECT_SOURCE_DIR}/cmake/CheckInstallPackage.cmake)
