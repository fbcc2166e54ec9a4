#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Orvane needs to build, run and test, where they are missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libturbojpeg0-dev libpng-dev libjpeg62-turbo-dev libcsv-dev libdeflate-dev libimagequant-dev
    libzip-dev
    libgtest-dev libbenchmark-dev
    fonts-liberation2 fonts-dejavu-core
    clang libclang-rt-dev
    xvfb xauth
    poppler-utils appstream
    lintian
    xdotool imagemagick qt6-gtk-platformtheme
    dbus at-spi2-core python3-pyatspi
    g++-mingw-w64-x86-64
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
