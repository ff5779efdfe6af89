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
# window and system along), and SFML_MAJOR; prints one line naming the SFML,
# where it is and how it links.
option(SPRITEBENCH_FETCH_SFML "Build SFML 2.6.2 from source even where one is installed" OFF)

# Looks for an installed SFML of one major, given as find_package's version
# and component arguments. SFML's configuration offers its shared libraries
# unless SFML_STATIC_LIBRARIES is on, and a build from source with SFML 3's
# defaults is static only: so the shared libraries are looked for first, then
# the static ones, unless the user set SFML_STATIC_LIBRARIES. An SFML whose
# configuration is found but cannot be used (a static one whose FreeType is
# missing, say) is named with SFML's reason, not passed over in silence.
# Sets SFML_FOUND and SFML_VERSION in the caller.
function(spritebench_find_sfml)
  if(DEFINED SFML_STATIC_LIBRARIES)
    set(linkages "${SFML_STATIC_LIBRARIES}")
  else()
    set(linkages OFF ON)
  endif()
  # SFML's configuration and the modules it loads talk as they search (a
  # static SFML 3 finds udev, X11, OpenGL, FreeType); the one line below says
  # what was found. Set here, it ends with the function.
  set(CMAKE_MESSAGE_LOG_LEVEL NOTICE)
  set(reasons "")
  set(seen "")
  foreach(SFML_STATIC_LIBRARIES IN LISTS linkages)
    unset(SFML_VERSION)
    unset(SFML_NOT_FOUND_MESSAGE)
    unset(FIND_SFML_ERROR)
    find_package(SFML ${ARGN} QUIET)
    if(SFML_FOUND)
      set(SFML_FOUND TRUE PARENT_SCOPE)
      set(SFML_VERSION "${SFML_VERSION}" PARENT_SCOPE)
      return()
    endif()
    # SFML's configuration, where it ran, says why in SFML_NOT_FOUND_MESSAGE
    # (a missing dependency) or FIND_SFML_ERROR; its advice on the next line
    # is what this loop does.
    set(reason "${SFML_NOT_FOUND_MESSAGE}")
    if(NOT reason)
      set(reason "${FIND_SFML_ERROR}")
    endif()
    if(NOT reason)
      break()  # none of this major: no other linkage to try
    endif()
    set(seen "SFML ${SFML_VERSION} at ${SFML_DIR}")
    string(REGEX REPLACE "\n.*" "" reason "${reason}")
    string(REGEX REPLACE "^Requested SFML configuration .* was not found$" "none installed" reason "${reason}")
    if(SFML_STATIC_LIBRARIES)
      list(APPEND reasons "static libraries: ${reason}")
    else()
      list(APPEND reasons "shared libraries: ${reason}")
    endif()
  endforeach()
  if(seen)
    list(JOIN reasons "; " reasons)
    message(WARNING "${seen} cannot be used (${reasons}); looking further")
    # The next search starts afresh rather than from this folder.
    unset(SFML_DIR CACHE)
  endif()
  set(SFML_FOUND FALSE PARENT_SCOPE)
endfunction()

if(NOT SPRITEBENCH_FETCH_SFML)
  spritebench_find_sfml(3 COMPONENTS Graphics Window System)
  if(SFML_FOUND)
    set(SFML_GRAPHICS SFML::Graphics)
    set(SFML_MAJOR 3)
  else()
    spritebench_find_sfml(2.5 COMPONENTS graphics window system)
    if(SFML_FOUND)
      set(SFML_GRAPHICS sfml-graphics)
      set(SFML_MAJOR 2)
    endif()
  endif()
  string(REGEX REPLACE "/lib(64)?/cmake/SFML$" "" sfml_place "${SFML_DIR}")
endif()

if(NOT SFML_FOUND)
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
  set(sfml_place "built from source")
endif()

get_target_property(sfml_linkage ${SFML_GRAPHICS} TYPE)
string(REGEX REPLACE "_LIBRARY$" "" sfml_linkage "${sfml_linkage}")
string(TOLOWER "${sfml_linkage}" sfml_linkage)
message(STATUS "SFML ${SFML_VERSION} (${sfml_linkage}, ${sfml_place})")

# A shared SFML outside the system's library path is found through the search
# path the build gives each program. Today's linkers write it as RUNPATH,
# which serves the program's own needs only, not those of SFML's libraries:
# libsfml-graphics, itself without a search path (as SFML installs it), then
# cannot find libsfml-system unless the program happens to need that one
# too. The older RPATH serves every library the program loads.
if(sfml_linkage STREQUAL "shared" AND CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
  add_link_options(LINKER:--disable-new-dtags)
endif()
