# The Windows build: services on the Win32 API, the Win32 user interface and Hanavo.exe.
# Included by the top-level CMakeLists.txt when cross-building with
# cmake/mingw-w64-i686.cmake; hanavo_platform, hanavo_res and hanavo_core exist already.

# Unicode everywhere: every Windows call takes UTF-16; no ANSI code page in between.
# Windows 7 is the oldest Windows the calls below need (SHGetKnownFolderPath, FindFirstFileExW
# with FIND_FIRST_EX_LARGE_FETCH).
set(HANAVO_WIN32_DEFINITIONS UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0601 WINVER=0x0601)

# Operating-system services behind platform/Os.h, and the registry settings store.
add_library(hanavo_win32os STATIC
  platform/win32/os/FileOperations.cpp platform/win32/os/FolderListing.cpp
  platform/win32/os/InstanceLock.cpp platform/win32/os/LoginStart.cpp
  platform/win32/os/RegistryProfileStore.cpp platform/win32/os/ShellOpen.cpp
  platform/win32/os/WideText.cpp)
target_compile_definitions(hanavo_win32os PUBLIC ${HANAVO_WIN32_DEFINITIONS})
target_link_libraries(hanavo_win32os PUBLIC hanavo_platform shell32 ole32 uuid advapi32)
# The system code calls these services: whatever links it gets them after it.
target_link_libraries(hanavo_core PUBLIC hanavo_win32os)

# ---- Win32 user interface and Hanavo.exe (win-ui) -------------------------------------------
# The Win32 host and dialog windows.
add_library(hanavo_win32ui STATIC
  platform/win32/ui/SessionEndGuard.cpp platform/win32/ui/UiText.cpp platform/win32/ui/Win32Host.cpp platform/win32/ui/Win32Window.cpp)
target_link_libraries(hanavo_win32ui PUBLIC hanavo_win32os hanavo_res hanavo_platform
  comctl32 comdlg32 shell32 ole32 gdi32 user32)

# The dialogs and the string table of the resource script are written from the templates and
# texts in res/ by a small program built with the build machine's own compiler.
find_program(HANAVO_HOST_CXX NAMES c++ g++ REQUIRED)
set(HANAVO_RCGEN ${CMAKE_CURRENT_BINARY_DIR}/rcgen)
set(HANAVO_RCGEN_SOURCES
  ${CMAKE_SOURCE_DIR}/platform/win32/ui/RcGen.cpp ${CMAKE_SOURCE_DIR}/res/Strings.cpp
  ${CMAKE_SOURCE_DIR}/res/Templates.cpp)
add_custom_command(OUTPUT ${HANAVO_RCGEN}
  COMMAND ${HANAVO_HOST_CXX} -std=c++20 -O1 -I${CMAKE_SOURCE_DIR} ${HANAVO_RCGEN_SOURCES}
    -o ${HANAVO_RCGEN}
  DEPENDS ${HANAVO_RCGEN_SOURCES} ${CMAKE_SOURCE_DIR}/res/Strings.h
    ${CMAKE_SOURCE_DIR}/res/Templates.h ${CMAKE_SOURCE_DIR}/res/resource.h
    ${CMAKE_SOURCE_DIR}/platform/DialogTemplate.h ${CMAKE_SOURCE_DIR}/platform/Types.h
  COMMENT "Building the resource-script generator")
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/HanavoGenerated.rc
  COMMAND ${HANAVO_RCGEN} ${CMAKE_CURRENT_BINARY_DIR}/HanavoGenerated.rc
  DEPENDS ${HANAVO_RCGEN}
  COMMENT "Writing the dialogs and the string table")

# Hanavo.exe: i686 PE32 GUI program (wWinMain), linked statically, the help beside it.
add_executable(Hanavo WIN32 platform/win32/ui/main.cpp platform/win32/ui/Hanavo.rc)
set_source_files_properties(platform/win32/ui/Hanavo.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_CURRENT_BINARY_DIR}/HanavoGenerated.rc;${CMAKE_SOURCE_DIR}/res/icons/hanavo.ico;${CMAKE_SOURCE_DIR}/platform/win32/ui/Hanavo.manifest")
target_include_directories(Hanavo PRIVATE ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_SOURCE_DIR})
target_link_options(Hanavo PRIVATE -municode)
target_link_libraries(Hanavo PRIVATE hanavo_win32ui hanavo_core hanavo_win32os)
add_custom_command(TARGET Hanavo POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/res/help/index.html
    $<TARGET_FILE_DIR:Hanavo>/Hanavo.html)
install(TARGETS Hanavo RUNTIME DESTINATION .)
install(FILES res/help/index.html DESTINATION . RENAME Hanavo.html)

# The yardstick of the start-up benchmark (bench/win_startup.sh): an empty dialog program built
# the same way.
add_executable(EmptyDialog WIN32 bench/win/EmptyDialog.cpp bench/win/EmptyDialog.rc)
set_source_files_properties(bench/win/EmptyDialog.rc PROPERTIES OBJECT_DEPENDS
  ${CMAKE_SOURCE_DIR}/platform/win32/ui/Hanavo.manifest)
target_include_directories(EmptyDialog PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(EmptyDialog PRIVATE ${HANAVO_WIN32_DEFINITIONS})
target_link_options(EmptyDialog PRIVATE -municode)

if(HANAVO_TESTS)
  enable_testing()
  include(${CMAKE_SOURCE_DIR}/tests/e2e-win/Tests.cmake)
endif()
# ---- end of the user-interface section ------------------------------------------------------
