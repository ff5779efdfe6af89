# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64),
# in its POSIX thread model: GCC 12's C++ library has std::thread and
# std::mutex only in that one, not in the win32 model.
#
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DFETCHCONTENT_SOURCE_DIR_SFML=$PWD/build-deps/SFML-2.6.2 -DBUILD_TESTING=OFF
#
# Everything is linked statically, the C++ and GCC runtimes and winpthread
# included, so the .exe is all there is to ship.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Headers and libraries come from the MinGW tree only: the host's would be for
# Linux, and a static Linux library would even link without complaint until
# its symbols were missing. Programs run at build time are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SFML built from source brings the FreeType library and headers it links on
# Windows in its own tree (extlibs/) and looks for them there, so that tree is
# searched too: the copy given to FetchContent, or the one it downloads (not
# there yet when this file is read, which does not matter to the search).
list(APPEND CMAKE_FIND_ROOT_PATH "${CMAKE_BINARY_DIR}/_deps/sfml-src")
if(FETCHCONTENT_SOURCE_DIR_SFML)
  list(APPEND CMAKE_FIND_ROOT_PATH "${FETCHCONTENT_SOURCE_DIR_SFML}")
endif()

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
