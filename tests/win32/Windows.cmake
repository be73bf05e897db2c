# The tests of the Windows build, run under Wine: the logic tests on the scripted host and the
# Windows services. Included by tests/CMakeLists.txt, which lists the shared sources.

# GoogleTest from Debian's source package, built with the same mingw compilers.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(hanavo_testsupport STATIC ${TESTSUPPORT_SOURCES} support/TempDir.cpp)
target_include_directories(hanavo_testsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(hanavo_testsupport PUBLIC hanavo_core gtest)

# Runs the logging scripts of the launch tests (see support/TempDir.cpp).
add_executable(hanavo_test_logger win32/Logger.cpp)
target_compile_definitions(hanavo_test_logger PRIVATE ${HANAVO_WIN32_DEFINITIONS})
target_link_options(hanavo_test_logger PRIVATE -municode)

add_executable(unit_tests ${UNIT_SOURCES} win32/services_test.cpp)
target_link_libraries(unit_tests PRIVATE hanavo_testsupport gtest_main)
add_dependencies(unit_tests hanavo_test_logger)

# Every run gets a Wine prefix of its own, copied from the one the end-to-end tests prepare
# once per build tree (tests/e2e-win/Tests.cmake): a new prefix costs Wine 15 to 20 seconds,
# a copy a fraction of one.
set(HANAVO_WINE_RUN bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/run_test.sh)

# One Wine process per group of tests, not per test case: Wine takes a second or more to start.
function(hanavo_wine_test name target filter)
  add_test(NAME ${name}
    COMMAND ${HANAVO_WINE_RUN} ${HANAVO_E2E_TEMPLATE} ${ARGN} $<TARGET_FILE:${target}>
            --gtest_filter=${filter} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT 180 FIXTURES_REQUIRED hanavo_e2e_prefix)
endfunction()
# The shared logic tests less the case that checks Linux's own rule, which the Win32* cases
# check the Windows way: the shell's word splitting (Windows hands the program one command
# line).
hanavo_wine_test(win.unit.logic unit_tests
  "-Win32*:LaunchFixture.FilesInOrderThenTheCommandInTheLaunchFolder")
hanavo_wine_test(win.unit.services unit_tests "Win32*:-Win32RemoteDrive*")
hanavo_wine_test(win.unit.remote unit_tests "Win32RemoteDrive*" --network-drive z)

# The setup program and the zip, installed, started and removed under Wine and Xvfb, in a copy
# of the end-to-end tests' prepared prefix (fonts for the Japanese titles).
add_test(NAME win.installer
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/installer_test.sh ${HANAVO_SETUP_EXE} ${HANAVO_ZIP}
    ${HANAVO_E2E_TEMPLATE} ${PROJECT_VERSION})
set_tests_properties(win.installer PROPERTIES TIMEOUT 180 FIXTURES_REQUIRED hanavo_e2e_prefix)
