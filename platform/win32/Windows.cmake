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
  platform/win32/os/InstanceLock.cpp platform/win32/os/ShellOpen.cpp
  platform/win32/os/WideText.cpp)
target_compile_definitions(hanavo_win32os PUBLIC ${HANAVO_WIN32_DEFINITIONS})
target_link_libraries(hanavo_win32os PUBLIC hanavo_platform shell32 ole32 uuid)
# The system code calls these services: whatever links it gets them after it.
target_link_libraries(hanavo_core PUBLIC hanavo_win32os)

# ---- Win32 user interface and Hanavo.exe (win-ui) -------------------------------------------
# hanavo_win32ui (platform/win32/ui/*) links hanavo_win32os, hanavo_core and hanavo_res;
# Hanavo.exe (WIN32, -municode for wWinMain) links hanavo_win32ui.
# ---- end of the user-interface section ------------------------------------------------------
