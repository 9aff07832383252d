#!/usr/bin/env bash
# Usage: wine-run.sh LOADER PROGRAM.exe [args...]
# Runs a Windows test program under Wine for ctest. Wine's helper processes (services, the
# desktop) outlive the program and inherit its output; writing to a file instead of ctest's
# pipe lets ctest see the test end when the program does.
set -u
log=$(mktemp)
"$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
