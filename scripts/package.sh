#!/usr/bin/env bash
# Builds the Debian package kr44 with dpkg-buildpackage -b -us -uc. It installs what the build
# needs where missing (apt-get, with sudo when you are not root), builds in a copy of the checkout
# under OUTPUT-FOLDER so that the checkout stays clean, and prints the path of the package, which
# dpkg-buildpackage puts beside the copy. Install it with: sudo apt install ./build-deb/kr44_*.deb
# Usage: scripts/package.sh [OUTPUT-FOLDER]   (default: build-deb)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build-deb}")

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
for p in dpkg-dev debhelper; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
            dpkg-dev debhelper
        break
    fi
done
if ! dpkg-checkbuilddeps 2>/dev/null; then
    echo "Installing the build dependencies of debian/control"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get build-dep -y -qq ./
fi

# The files of the checkout, the changes not yet committed included; build folders stay out.
rm -rf "$out/src" "$out"/kr44[_-]*
mkdir -p "$out/src"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard \
        | while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done \
        | tar --null -T - -cf - | tar -xf - -C "$out/src"
else
    tar --exclude='./build*' --exclude='./.git' -cf - . | tar -xf - -C "$out/src"
fi

(cd "$out/src" && dpkg-buildpackage -b -us -uc)
version=$(cd "$out/src" && dpkg-parsechangelog -S Version)
ls "$out/kr44_${version}_$(dpkg --print-architecture).deb"
