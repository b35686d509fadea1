# The web edition: Debian's Emscripten (package emscripten) compiles the
# program to WebAssembly, with the C and C++ libraries the package ships
# already built.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# emcc runs its JavaScript tools (acorn among them) with the node on PATH. A
# node that is not Debian's own finds Debian's JavaScript modules only through
# NODE_PATH, so every link gets it.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# stb's headers (package libstb-dev) are plain C that the web host compiles
# into the module (src/hosts/web/stb_implementation.cpp); they lie outside
# Emscripten's own system root, where the search would look.
set(QV_STB_INCLUDE_DIR /usr/include/stb CACHE PATH "The folder of stb_image.h")

# A double outside an int's range converts to INT_MIN, as x86 converts it,
# only without WebAssembly's saturating conversions, which would give INT_MAX
# or 0; the frames must come out as the native renderer's.
if(NOT CMAKE_CXX_FLAGS_INIT MATCHES "nontrapping")  # this file is read more than once
  string(APPEND CMAKE_CXX_FLAGS_INIT " -mno-nontrapping-fptoint")
endif()
