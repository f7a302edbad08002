# Sourced by the run and test scripts: installs the Debian packages the project needs when they
# are missing, as root or else through sudo (for the install alone); without either it prints
# the command for root to run.
TNVEXA_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xdotool x11-utils imagemagick
    fonts-wqy-microhei python3 curl procps ccache openssl xxd)

tnvexa_ensure_packages() {
    local missing=() p sudo=()
    for p in "${TNVEXA_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    # Only the package install needs root: everything else runs as the calling user.
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "Missing packages: ${missing[*]}" >&2
            echo "This needs root to install them, and sudo is not installed. As root, run:" >&2
            echo "    apt-get update && apt-get install -y ${missing[*]}" >&2
            echo "(for example through su -c '...'), then run this script again as yourself." >&2
            return 1
        fi
        sudo=(sudo)
        echo "Installing with sudo (it may ask for your password): ${missing[*]}"
    else
        echo "Installing: ${missing[*]}"
    fi
    if ! { "${sudo[@]}" apt-get update -qq &&
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null; }; then
        echo "The package install failed; install them by hand: ${missing[*]}" >&2
        return 1
    fi
}

# Configures a preset's build tree; a tree an older checkout made with another generator is made
# afresh (CMake refuses to switch generators in place).
tnvexa_configure() {
    local tree="build/$1"
    if [ -f "$tree/CMakeCache.txt" ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$tree/CMakeCache.txt"; then
        rm -rf "$tree"
    fi
    cmake --preset "$1"
}
