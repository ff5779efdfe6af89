# Shared by scripts/run and scripts/test: installs the Debian packages that
# are missing, then configures and builds into build/.

# Packages needed to build and run the program.
RUN_PACKAGES="cmake ninja-build g++ libsfml-dev libx11-dev libgl1-mesa-dri"

install_missing() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null && cmake --build "$dir"
}
