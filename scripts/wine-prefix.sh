#!/usr/bin/env bash
# Usage: wine-prefix.sh start|stop FOLDER [LOADER]
# Prepares (start) or shuts down (stop) the Wine prefix the Windows-side tests run in: LOADER's
# own in FOLDER.
# The prefix is made once and kept; a persistent wineserver keeps each test's start cheap.
set -euo pipefail
source "$(dirname "$0")/common.sh"
action=$1
export WINEPREFIX=$(wine_test_prefix "$2" "${3:-wine}")
loader=${3:-wine}
export WINEDEBUG=-all
# No Mono or Gecko download in a prefix made for tests.
export WINEDLLOVERRIDES="mscoree,mshtml="

case "$action" in
start)
    # A server kept alive by an interrupted run would never let `wineserver -w` return.
    wineserver -k 2>/dev/null || true
    mkdir -p "$WINEPREFIX" # Wine makes a prefix in a folder, but not the folders above it
    # wineboot may complain about 32-bit parts a 64-bit-only host lacks; the prefix is usable
    # as long as its registry was written.
    settle_prefix "$loader"
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot made no prefix in $WINEPREFIX" >&2; exit 1; }
    # A crash must fail its test, not wait behind a dialog. Wine's own virtual desktop spares
    # each window's teardown the two seconds it waits for a window manager that Xvfb lacks.
    # The heaps of the tool and of the platform test are checked at every call (tails, freed
    # blocks, parameters, the whole heap), so that a write into freed memory logs "err:heap".
    settings=$(mktemp --suffix=.reg)
    options='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Image File Execution Options'
    printf '%s\r\n' 'REGEDIT4' '' \
        '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1024x768"' '' \
        "[$options\\KestSetup.exe]" '"GlobalFlag"=dword:000000f0' '' \
        "[$options\\platform_test.exe]" '"GlobalFlag"=dword:000000f0' >"$settings"
    "$loader" reg import "Z:${settings//\//\\}" >/dev/null 2>&1 || true
    rm -f "$settings"
    # Let the server that served the edit go (it saves the registry), then keep one alive for
    # the whole run.
    timeout 60 wineserver -w
    grep -q '^"Default"="1024x768"' "$WINEPREFIX/user.reg" &&
        grep -q '^"GlobalFlag"=dword:000000f0' "$WINEPREFIX/system.reg" ||
        { echo "the test prefix's settings were not written" >&2; exit 1; }
    # Detached from our output, or ctest would wait for the daemon to close it.
    wineserver -p </dev/null >/dev/null 2>&1
    ;;
stop)
    wineserver -k || true
    ;;
esac
