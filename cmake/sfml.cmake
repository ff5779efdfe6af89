# SFML: an installed SFML 3 where there is one, else an installed 2.5 or 2.6;
# otherwise, or with SPRITEBENCH_FETCH_SFML, SFML 2.6.2 built from source as a
# static part of this build (graphics, window and system only). Machines
# without internet access point FETCHCONTENT_SOURCE_DIR_SFML at an unpacked
# copy of its source.
#
# Each SFML's version file accepts its own major only, so each search below
# reads only the configuration of the major it asks for: SFML 2's rejects
# SFML 3's component names, and the reverse.
#
# Sets SFML_GRAPHICS, the one name the rest of the build links (it brings
# window and system along), and SFML_MAJOR.
option(SPRITEBENCH_FETCH_SFML "Build SFML 2.6.2 from source even where one is installed" OFF)

if(NOT SPRITEBENCH_FETCH_SFML)
  find_package(SFML 3 COMPONENTS Graphics Window System QUIET)
  if(SFML_FOUND)
    set(SFML_GRAPHICS SFML::Graphics)
    set(SFML_MAJOR 3)
  else()
    find_package(SFML 2.5 COMPONENTS graphics window system QUIET)
    if(SFML_FOUND)
      set(SFML_GRAPHICS sfml-graphics)
      set(SFML_MAJOR 2)
    endif()
  endif()
endif()

if(NOT SFML_FOUND)
  message(STATUS "Building SFML 2.6.2 from source")
  include(FetchContent)
  FetchContent_Declare(SFML
    GIT_REPOSITORY https://github.com/SFML/SFML.git
    GIT_TAG 2.6.2
    GIT_SHALLOW ON)
  set(SFML_BUILD_AUDIO OFF CACHE BOOL "" FORCE)
  set(SFML_BUILD_NETWORK OFF CACHE BOOL "" FORCE)
  set(BUILD_SHARED_LIBS OFF)
  FetchContent_MakeAvailable(SFML)
  # Its headers are someone else's: keep this project's warnings out of them,
  # as they are for an installed SFML.
  foreach(module sfml-system sfml-window sfml-graphics)
    get_target_property(includes ${module} INTERFACE_INCLUDE_DIRECTORIES)
    set_target_properties(${module} PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${includes}")
  endforeach()
  set(SFML_GRAPHICS sfml-graphics)
  set(SFML_MAJOR 2)
  set(SFML_VERSION 2.6.2)
endif()
message(STATUS "SFML ${SFML_VERSION}")
