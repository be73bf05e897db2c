# Cross-build for 32-bit Windows with Debian's mingw-w64. The -posix compilers carry the
# thread model that std::mutex and std::thread need; everything is linked statically so that
# the programs need only the DLLs that Windows itself ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(HANAVO_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${HANAVO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HANAVO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${HANAVO_MINGW_PREFIX}-windres)
set(CMAKE_AR ${HANAVO_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${HANAVO_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${HANAVO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No libstdc++, libgcc or libwinpthread DLLs beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The programs run under Wine on the build machine.
find_program(HANAVO_WINE wine)
if(HANAVO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HANAVO_WINE})
endif()
