# Cross-compiles to WebAssembly with the system's Emscripten (Debian's
# package emscripten), for the single-file web page.

find_path(IRWAV_EMSCRIPTEN_ROOT cmake/Modules/Platform/Emscripten.cmake
  PATHS ENV EMSCRIPTEN /usr/share/emscripten /usr/lib/emscripten
  NO_DEFAULT_PATH REQUIRED)
include(${IRWAV_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)

# The linker runs Emscripten's JavaScript optimizer under Node.js, which needs
# the acorn parser: Debian installs it (node-acorn) where only Debian's own
# build of Node.js looks unless NODE_PATH says so. The system libraries come
# prebuilt in Emscripten's cache, so the build only reads it and needs no
# cache of its own.
set(IRWAV_EMSCRIPTEN_ENV ${CMAKE_COMMAND} -E env --modify NODE_PATH=path_list_append:/usr/share/nodejs)
set(CMAKE_CXX_COMPILER_LAUNCHER ${IRWAV_EMSCRIPTEN_ENV})
set(CMAKE_CXX_LINKER_LAUNCHER ${IRWAV_EMSCRIPTEN_ENV})
