#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the screenshots need, where missing.
set -euo pipefail
packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev clang-format clang-tidy pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev qt6-gtk-platformtheme
    qt6-tools-dev qt6-l10n-tools
    xvfb xauth xdotool imagemagick poppler-utils fonts-liberation
    util-linux dbus python3-pyatspi at-spi2-core
    xdg-utils desktop-file-utils shared-mime-info libglib2.0-bin
    cups cups-client cups-bsd printer-driver-cups-pdf
    dpkg-dev debhelper lintian appstream man-db
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
