# The Windows downloads: Hanavo-<version>-setup.exe (NSIS) and Hanavo-<version>-win32.zip
# (Hanavo.exe, the help and a read-me in a Hanavo folder). Both are built with the program, so
# that the installer tests always test the current one; `make windows-package` builds them.
# The one version is the project's.
find_program(HANAVO_MAKENSIS makensis REQUIRED)

set(HANAVO_PACKAGE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(HANAVO_SETUP_EXE ${CMAKE_BINARY_DIR}/Hanavo-${PROJECT_VERSION}-setup.exe)
set(HANAVO_ZIP ${CMAKE_BINARY_DIR}/Hanavo-${PROJECT_VERSION}-win32.zip)

add_custom_command(OUTPUT ${HANAVO_SETUP_EXE}
  COMMAND ${HANAVO_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DEXE=$<TARGET_FILE:Hanavo>
    -DHELP=${PROJECT_SOURCE_DIR}/res/help/index.html
    -DICON=${PROJECT_SOURCE_DIR}/res/icons/hanavo.ico -DOUTFILE=${HANAVO_SETUP_EXE}
    ${HANAVO_PACKAGE_DIR}/Hanavo.nsi
  DEPENDS Hanavo ${HANAVO_PACKAGE_DIR}/Hanavo.nsi ${PROJECT_SOURCE_DIR}/res/help/index.html
    ${PROJECT_SOURCE_DIR}/res/icons/hanavo.ico
  COMMENT "Building Hanavo-${PROJECT_VERSION}-setup.exe"
  VERBATIM)

set(HANAVO_ZIP_STAGE ${CMAKE_BINARY_DIR}/zip-stage)
add_custom_command(OUTPUT ${HANAVO_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${HANAVO_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${HANAVO_ZIP_STAGE}/Hanavo
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Hanavo> ${HANAVO_ZIP_STAGE}/Hanavo/Hanavo.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/res/help/index.html
    ${HANAVO_ZIP_STAGE}/Hanavo/Hanavo.html
  COMMAND ${CMAKE_COMMAND} -E copy ${HANAVO_PACKAGE_DIR}/ReadMe.txt
    ${HANAVO_ZIP_STAGE}/Hanavo/ReadMe.txt
  COMMAND ${CMAKE_COMMAND} -E rm -f ${HANAVO_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${HANAVO_ZIP_STAGE}
    ${CMAKE_COMMAND} -E tar cf ${HANAVO_ZIP} --format=zip Hanavo
  DEPENDS Hanavo ${PROJECT_SOURCE_DIR}/res/help/index.html ${HANAVO_PACKAGE_DIR}/ReadMe.txt
  COMMENT "Building Hanavo-${PROJECT_VERSION}-win32.zip"
  VERBATIM)

add_custom_target(windows-package ALL DEPENDS ${HANAVO_SETUP_EXE} ${HANAVO_ZIP})
