# Shared by ./run and ./test.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Wine runs 32-bit programs only where the kernel can execute 32-bit code; elsewhere the same
# sources are built for x86-64 and that build is the one run under Wine.
wine_tree() {
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi
}

# A new prefix is made and settled before a program's first start rather than during it: a first
# start that also builds the prefix can fail to load the system's own DLLs.
settle_prefix() {
    [ ! -f "${WINEPREFIX:-$HOME/.wine}/system.reg" ] || return 0
    "$1" wineboot -i >/dev/null 2>&1 || true
    timeout 300 wineserver -w
}

# Each Wine has its own test prefix in FOLDER, named after its version: another Wine would
# upgrade the prefix, and one running in another root would not see this Wine's wineserver.
wine_test_prefix() { # FOLDER LOADER
    echo "$1/$("$2" --version | cut -d' ' -f1)"
}

wine_loader() {
    if [ "$1" = win32 ]; then echo wine; else echo /usr/lib/wine/wine64; fi
}

build_preset() {
    # A tree that no longer configures (one made with another toolchain) is configured anew;
    # warnings are shown.
    local warnings
    if warnings=$(cmake --preset "$1" "${@:2}" 2>&1 >/dev/null); then
        [ -z "$warnings" ] || printf '%s\n' "$warnings" >&2
    else
        cmake --preset "$1" --fresh "${@:2}" >/dev/null
    fi
    cmake --build --preset "$1" -j "$(nproc)"
}
