# Shared by the scripts: installs the Debian or Ubuntu packages that are
# missing, then configures and builds.

# Packages needed to build and run the program.
RUN_PACKAGES="cmake ninja-build g++ libsfml-dev libx11-dev libgl1-mesa-dri"
# Added for the tests.
TEST_PACKAGES="libgtest-dev xvfb xauth libxtst-dev"

# Installs those of the given packages that are missing, with sudo unless run
# as root; installs nothing when all are there. Without apt-get it says what
# to install and how to build by hand (the commands in MANUAL_STEPS, which
# each script sets), and stops before anything is half done.
install_missing() {
    if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
        cat >&2 <<END
This script installs with apt-get (Debian, Ubuntu), which is not here. Install
with your system's package manager: CMake, Ninja (or Make), a C++17 compiler,
and SFML 2.5 or 2.6 (graphics, window, system) where it offers one; the tests
also need GoogleTest, and on Linux Xvfb and the XTest library (libXtst).
Where no SFML 2 is installed, the build makes SFML 2.6.2 from its source, which
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

# Configures a build folder with the given options. A new one is made with
# Ninja; one that exists keeps the generator it was made with, by a script or
# by hand (the plain `cmake -S . -B build` picks Make).
configure() {
    local dir=$1
    shift
    local generator=()
    [ -f "$dir/CMakeCache.txt" ] || generator=(-G Ninja)
    cmake -S . -B "$dir" "${generator[@]}" "$@" >/dev/null
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
