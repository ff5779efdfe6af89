# shellcheck shell=bash
# The package lists and SFML_SOURCE_OPTION are for the scripts that source this.
# shellcheck disable=SC2034

# Shared by the scripts: installs the Debian or Ubuntu packages that are
# missing, then configures and builds.

# Packages needed to build and run the program. libgl-dev: SFML's OpenGL.
# The XCB libraries and pkg-config: the window mover and the display checks
# make their X requests through XCB (GLX's visuals are read over the protocol).
RUN_PACKAGES=(cmake ninja-build g++ pkg-config libsfml-dev libx11-dev libgl-dev libgl1-mesa-dri
    libx11-xcb-dev libxcb-res0-dev libxcb-glx0-dev)
# Added for the tests: libxtst-dev drives and records the program's X
# traffic, libxres-dev tells which X connections are the program's.
TEST_PACKAGES=(libgtest-dev xvfb xauth libxtst-dev libxres-dev
    # The Wayland tests: three headless compositors with Xwayland, their
    # keyboards (wlroots' virtual keyboard; mutter's RemoteDesktop over D-Bus,
    # sd-bus; KWin's fake input, whose protocol XML wayland-scanner, of
    # libwayland-dev, turns into client code).
    sway mutter kwin-wayland xwayland x11-xserver-utils dbus-daemon xkb-data
    libwayland-dev libxkbcommon-dev libsystemd-dev plasma-wayland-protocols
    # setxkbmap, for the keymaps of two layouts.
    x11-xkb-utils
    # A window manager, which asks the window whether it is alive.
    openbox)

# Installs those of the given packages that are missing, with sudo unless run
# as root; installs nothing when all are there. Without apt-get it says what
# to install and how to build by hand (the commands in MANUAL_STEPS, which
# each script sets), and stops before anything is half done.
install_missing() {
    if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
        cat >&2 <<END
This script installs with apt-get (Debian, Ubuntu), which is not here. Install
with your system's package manager: CMake, Ninja (or Make), a C++17 compiler,
on Linux pkg-config and the X11, XCB (xcb-res, xcb-glx, X11-xcb) and OpenGL
(GLX) development files, and SFML 3, 2.6 or 2.5
(graphics, window, system) where it offers one; the tests also need
GoogleTest, and on Linux Xvfb and the XTest and X-Resource libraries (libXtst,
libXRes).
Where no SFML is installed, the build makes SFML 2.6.2 from its source, which
it downloads; it needs FreeType and, on Linux, the X11, Xrandr, Xcursor, udev
and OpenGL development files. Then, from the project root:

${MANUAL_STEPS:-    cmake -S . -B build
    cmake --build build}
END
        exit 1
    fi
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "Missing packages: ${missing[*]}" >&2
            echo "Installing them needs root: run this as root, or install sudo." >&2
            exit 1
        fi
        as_root=(sudo)
    fi
    echo "Installing with ${as_root[*]:+sudo }apt-get: ${missing[*]}"
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Stops at once where the project's path holds what CMake 3.25 cannot
# configure in (tried): `"`, `;`, `\`, `|`, a line end, or a `[` or `]` that
# is not one of a pair; a build would fail, or download SFML and hide why.
# The argument holds more characters that the caller's build cannot take
# (CTest's targets, with the tests, refuse `#`, `<` and `>`).
refuse_unbuildable_path() {
    local path bad=() ch brackets i
    # A command substitution drops the line ends at the end of what it
    # captures, and a folder's name may end in one: the x keeps them.
    path=$(pwd -P; echo x)
    path=${path%$'\n'x}
    local refused="\"\\;|"$'\n'$1
    for ((i = 0; i < ${#refused}; i++)); do
        ch=${refused:i:1}
        if [[ $path == *"$ch"* ]]; then bad+=("'$ch'"); fi
    done
    bad=("${bad[@]/"'"$'\n'"'"/a line end}")
    brackets=${path//[!\[\]]/}
    while [[ $brackets == *'[]'* ]]; do brackets=${brackets//'[]'/}; done
    [[ $brackets == *'['* ]] && bad+=("an unpaired '['")
    [[ $brackets == *']'* ]] && bad+=("an unpaired ']'")
    [ ${#bad[@]} -eq 0 ] && return 0
    echo "CMake cannot build in $path: its path holds ${bad[*]}." >&2
    echo "Move or copy the project to a folder whose path holds none of these, and run this again there." >&2
    exit 1
}

# Configures a build folder with the given options. A new one is made with
# Ninja; one that exists keeps the generator it was made with, by a script or
# by hand (the plain `cmake -S . -B build` picks Make). One made for another
# source folder (the project was copied or moved after a build) is made anew:
# CMake refuses it, and its paths lead to the old place.
configure() {
    local dir=$1
    shift
    local home
    home=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$dir/CMakeCache.txt" 2>/dev/null)
    if [ -n "$home" ] && [ "$(cd "$home" 2>/dev/null && pwd -P)" != "$(pwd -P)" ]; then
        echo "$dir was made for $home: making it anew"
        rm -rf "$dir"
    fi
    local generator=()
    [ -f "$dir/CMakeCache.txt" ] || generator=(-G Ninja)
    # Of CMake's output, only the line naming the SFML used.
    cmake -S . -B "$dir" "${generator[@]}" "$@" | sed -n 's/^-- \(SFML [0-9].*\)/\1/p'
    return "${PIPESTATUS[0]}"
}

build() {
    configure "$@" && cmake --build "$1"
}

# Runs the tests of a build folder under a virtual X server. -noreset: by
# default Xvfb starts over whenever its last client leaves, which takes longer
# each time and can refuse a program that connects meanwhile.
run_tests() {
    local dir=$1
    shift
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --test-dir "$dir" --output-on-failure "$@" </dev/null
}

# SFML 2.6.2's source for builds that make SFML themselves: unpacked once into
# build-deps/ from the copy beside the project where there is one (machines
# without internet access). Sets the array SFML_SOURCE_OPTION to the CMake
# option that points there, one word whatever the path holds; empty where
# there is no copy, and CMake downloads it. Pass it as
# "${SFML_SOURCE_OPTION[@]}".
sfml_source() {
    SFML_SOURCE_OPTION=()
    local archive=${SPRITEBENCH_SFML_ARCHIVE:-../shared/third_party/SFML-2.6.2.tar.gz}
    [ -f "$archive" ] || return 0
    if [ ! -f build-deps/SFML-2.6.2/CMakeLists.txt ]; then
        mkdir -p build-deps
        tar xzf "$archive" -C build-deps
    fi
    SFML_SOURCE_OPTION=("-DFETCHCONTENT_SOURCE_DIR_SFML=$PWD/build-deps/SFML-2.6.2")
}

# SFML 3.0.2 built from the copy beside the project and installed once into a
# prefix under build-deps/, as a user's own SFML 3 would be; prints that
# prefix, for CMAKE_PREFIX_PATH. The first argument is shared (the default,
# into build-deps/sfml3) or static (SFML's own default, into
# build-deps/sfml3-static); the second names another folder under build-deps/;
# any more are passed to SFML's configure (a toolchain file, FreeType's
# source). The build folder is the prefix's name with -build added. The
# libraries get no search path of their own, as with SFML's install step
# anywhere: the project's build finds them.
sfml3_prefix() {
    local linkage=${1:-shared} name shared=()
    case $linkage in
        shared) name=sfml3 shared=(-DBUILD_SHARED_LIBS=ON) ;;
        static) name=sfml3-static ;;
        *) echo "sfml3_prefix: shared or static, not $linkage" >&2; return 1 ;;
    esac
    name=${2:-$name}
    shift $(($# < 2 ? $# : 2))
    local archive=../shared/third_party/SFML-3.0.2.tar.gz prefix=$PWD/build-deps/$name
    # The marker says that the install went to the end.
    if [ ! -f "$prefix/.installed" ]; then
        [ -f "$archive" ] || { echo "SFML 3.0.2's source is not at $archive" >&2; return 1; }
        mkdir -p build-deps
        [ -f build-deps/SFML-3.0.2/CMakeLists.txt ] || tar xzf "$archive" -C build-deps
        rm -rf "$prefix"
        cmake -S build-deps/SFML-3.0.2 -B "build-deps/$name-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            "${shared[@]}" -DSFML_BUILD_AUDIO=OFF -DSFML_BUILD_NETWORK=OFF \
            "-DCMAKE_INSTALL_PREFIX=$prefix" "$@" >&2 &&
            cmake --build "build-deps/$name-build" >&2 && cmake --install "build-deps/$name-build" >&2 &&
            touch "$prefix/.installed" || return 1
    fi
    echo "$prefix"
}
