#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; quick when they are
# all there already. Runs as root or through sudo.
set -euo pipefail

packages=(cmake make g++ googletest libbenchmark-dev clang libclang-rt-14-dev
          mingw-w64 wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick unzip
          strip-nondeterminism)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Installing ${missing[*]} needs root or sudo." >&2; exit 1; }
    sudo=sudo
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# wine32 comes from the i386 architecture.
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
