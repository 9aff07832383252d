#!/usr/bin/env bash
# Usage: install-deps.sh [MORE PACKAGES...]
# Installs the Debian packages the build, the program and the tests need (and any named), on
# Debian 12 and 13 and Ubuntu 22.04 and 24.04; quick when they are all there already. Runs as
# root or through sudo.
set -euo pipefail

# "a|b": the first of the names this system's apt knows; a trailing "|" makes the entry optional.
# clang's runtime, with libFuzzer, is a package of its own on Debian 12 and 13 and on Ubuntu
# 24.04; on Ubuntu 22.04 it comes with clang (libclang-common-14-dev).
packages=(cmake make g++ googletest libbenchmark-dev clang "libclang-rt-dev|"
          mingw-w64 wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick unzip
          strip-nondeterminism "$@")

# grep reads all: with -q it would stop early, and pipefail would blame the writer's SIGPIPE.
installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep 'install ok installed' >/dev/null
}
known() {
    apt-cache policy "$1" 2>/dev/null | grep 'Candidate: [^(]' >/dev/null
}
# The entries none of whose names is installed; an optional one only when apt offers it.
absent() {
    local entry name
    for entry in "${packages[@]}"; do
        for name in ${entry//|/ }; do
            installed "$name" && continue 2
        done
        if [[ "$entry" == *"|" ]]; then
            for name in ${entry//|/ }; do
                known "$name" && echo "$entry" && continue 2
            done
        else
            echo "$entry"
        fi
    done
}

mapfile -t missing < <(absent)
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Installing ${missing[*]} needs root or sudo." >&2; exit 1; }
    sudo=sudo
fi
export DEBIAN_FRONTEND=noninteractive
# wine32 comes from the i386 architecture.
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -q

# Asked again: a fresh machine's apt knew no package before the update.
mapfile -t missing < <(absent)
chosen=()
for entry in "${missing[@]}"; do
    pick=""
    for name in ${entry//|/ }; do
        known "$name" && pick=$name && break
    done
    if [ -n "$pick" ]; then
        chosen+=("$pick")
    elif [[ "$entry" != *"|" ]]; then
        echo "None of the packages '$entry' exists here." >&2
        exit 1
    fi
done
[ ${#chosen[@]} -eq 0 ] && exit 0
echo "Installing: ${chosen[*]}"
$sudo apt-get install -y -q --no-install-recommends "${chosen[@]}"
