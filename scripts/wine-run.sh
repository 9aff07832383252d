#!/usr/bin/env bash
# Usage: wine-run.sh LOADER PROGRAM.exe [args...]
# Runs a Windows test program under Wine for ctest, in LOADER's own prefix in the folder
# $WINEPREFIX names. Wine's helper processes (services, the desktop) outlive the program and
# inherit its output; writing to a file instead of ctest's pipe lets ctest see the test end when
# the program does.
set -u
source "$(dirname "$0")/common.sh"
export WINEPREFIX=$(wine_test_prefix "$WINEPREFIX" "$1")
log=$(mktemp)
"$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
