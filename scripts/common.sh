# Shared by ./run and ./test.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Wine runs 32-bit programs only where the kernel can execute 32-bit code; elsewhere the same
# sources are built for x86-64 and that build is the one run under Wine.
wine_tree() {
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi
}

wine_loader() {
    if [ "$1" = win32 ]; then echo wine; else echo /usr/lib/wine/wine64; fi
}

build_preset() {
    cmake --preset "$1" "${@:2}" >/dev/null
    cmake --build --preset "$1" -j "$(nproc)"
}
