# Desktop integration (menu entry, icons, AppStream metadata, help, autostart example) and the
# Debian package. Included at the end of the top-level CMakeLists.txt, after every install rule.

set(HANAVO_APP_ID io.github.quillmere.Hanavo)
# Debian keeps a package's documents under the package's own name, which is lower case.
set(HANAVO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/hanavo)
set(HANAVO_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(HANAVO_RES_DIR ${CMAKE_CURRENT_LIST_DIR}/../res)

install(FILES ${HANAVO_PACKAGING_DIR}/${HANAVO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${HANAVO_PACKAGING_DIR}/${HANAVO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Icons in the hicolor theme, named after the application id as the desktop entry asks.
install(FILES ${HANAVO_RES_DIR}/icons/hanavo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${HANAVO_APP_ID}.svg)
foreach(size 16 32 48 128 256)
  install(FILES ${HANAVO_RES_DIR}/icons/hanavo-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${HANAVO_APP_ID}.png)
endforeach()

# The help is built into the program; this copy is for reading it in a browser.
install(FILES ${HANAVO_RES_DIR}/help/index.html DESTINATION ${HANAVO_DOC_DIR}/help)
# Starting at login is the user's choice, so the autostart entry is an example to copy, not a
# file in /etc/xdg/autostart.
install(FILES ${HANAVO_PACKAGING_DIR}/hanavo-autostart.desktop
        DESTINATION ${HANAVO_DOC_DIR}/examples)
install(FILES ${HANAVO_PACKAGING_DIR}/copyright DESTINATION ${HANAVO_DOC_DIR})

# Debian package: `cpack -G DEB` in the build folder (`make package`).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hanavo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillmere")
set(CPACK_PACKAGE_CONTACT "Hanavo developers <hanavo@quillmere.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "countdown launcher that starts programs in a fixed order")
# One line per line of the control file's description; an empty line separates paragraphs.
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Hanavo waits a configured number of seconds (10 to 300) with a big countdown"
  "window, then starts the enabled files of a launch folder one after another, in"
  "the order recorded in their names, then a command with its arguments, and ends."
  ""
  "Started at login with the command hanavo -a (automatic mode), it brings up"
  "programs in the same order every time. An example autostart entry is in"
  "/usr/share/doc/hanavo/examples.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries from dpkg-shlibdeps; the fonts the dialogs name are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-liberation, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
