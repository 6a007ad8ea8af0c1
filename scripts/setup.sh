#!/usr/bin/env bash
# Installs what the build needs on Debian 12 when it is missing. Sourced by
# main.sh and test.sh.
set -euo pipefail

# The fuzz targets need clang with libFuzzer and the sanitizers' runtimes;
# llvm-14 brings llvm-symbolizer for readable reports.
tavo_packages=(build-essential cmake pkg-config python3 googletest libgtest-dev libgmock-dev
               libbenchmark-dev libpulse0 espeak-ng libespeak-ng-dev sox libpng-dev libfreetype-dev
               libfontconfig-dev fonts-noto-cjk clang-tidy clang-14 libclang-rt-14-dev llvm-14
               libibus-1.0-dev ibus dbus-daemon)
# The Windows build: the MinGW-w64 cross-compilers, NSIS for the setup
# program, and Wine on a virtual display for its tests (installed without
# their recommendations, which are a desktop's).
tavo_windows_packages=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64 nsis
                       wine wine64 xvfb xauth)

# tavo_install_missing [apt-get options --] package...
tavo_install_missing() {
    local options=()
    if [[ " $* " == *" -- "* ]]; then
        while [ "$1" != "--" ]; do options+=("$1"); shift; done
        shift
    fi
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${options[@]}" "${missing[@]}"
}

# tavo_build PRESET [cmake --build options...]
tavo_build() {
    local preset=$1
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" "${@:2}"
}

tavo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$tavo_root"
tavo_install_missing "${tavo_packages[@]}"
tavo_install_missing --no-install-recommends -- "${tavo_windows_packages[@]}"
