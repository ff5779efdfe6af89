# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64),
# in its POSIX thread model: GCC 12's C++ library has std::thread and
# std::mutex only in that one, not in the win32 model.
#
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DFETCHCONTENT_SOURCE_DIR_SFML=$PWD/build-deps/SFML-2.6.2 -DBUILD_TESTING=OFF
#
# or, against an SFML cross-built and installed into a prefix of its own:
#
#   cmake -S . -B build-mingw-sfml3 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DCMAKE_PREFIX_PATH=$PWD/build-deps/sfml3-mingw -DBUILD_TESTING=OFF
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

# A prefix given with CMAKE_PREFIX_PATH holds Windows libraries too (an SFML
# and its FreeType cross-built into it): it is searched as a root of its own,
# or the searches above, held to the roots, would never look there.
# CMAKE_FIND_ROOT_PATH is set afresh at the top, so reading this file again
# adds nothing twice.
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
