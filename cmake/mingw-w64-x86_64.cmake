# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (package
# g++-mingw-w64-x86-64-posix). The programs link their runtime statically,
# so each .exe runs on its own; Wine, where present, runs the tests.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(IRWAV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${IRWAV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${IRWAV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${IRWAV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${IRWAV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(IRWAV_WINE NAMES wine64 wine)
if(IRWAV_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${IRWAV_WINE})
endif()
