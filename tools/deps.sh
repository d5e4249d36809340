#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, when missing.
# Sourced by ./run and ./test.
kvd_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libgl-dev libxkbcommon-dev
    libgtest-dev libgmock-dev libmodbus-dev
    fonts-noto-cjk xvfb xauth
)

kvd_install_deps() {
    local missing=()
    local p
    for p in "${kvd_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null; then
            sudo=(sudo)
        else
            echo "Please install as root: apt-get install ${missing[*]}" >&2
            return 1
        fi
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq || return 1
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}
