# Shared by the set-up commands: install what is missing, then configure and build.
# shellcheck shell=bash
# The package lists are read by the scripts that source this file.
# shellcheck disable=SC2034

# What building the program needs, and what the tests use besides.
# qt6-wayland lets the program run natively on a Wayland desktop.
BUILD_PACKAGES=(build-essential cmake ninja-build qt6-base-dev qt6-wayland fonts-dejavu-core)
# qt6-gtk-platformtheme: a desktop platform theme that headless tests must not load.
# dbus-daemon: a private bus standing for the accessibility bus.
TEST_PACKAGES=(unrtf poppler-utils desktop-file-utils appstream qt6-gtk-platformtheme dbus-daemon)
# The real display servers scripts/platform-tests runs the window tests on.
PLATFORM_TEST_PACKAGES=(xvfb openbox x11-utils weston qt6-wayland qt6-gtk-platformtheme)

# Installs only the Debian packages that are not installed yet.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# configure_and_build BUILD_DIR [extra cmake arguments...]
configure_and_build() {
    local build_dir=$1
    shift
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    if [ ! -f "$build_dir/CMakeCache.txt" ] || [ $# -gt 0 ]; then
        cmake -S "$root" -B "$build_dir" -G Ninja "$@" >/dev/null
    fi
    cmake --build "$build_dir" --parallel "$(nproc)"
}
