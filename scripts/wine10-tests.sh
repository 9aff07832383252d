#!/usr/bin/env bash
# Usage: wine10-tests.sh TREE [CTEST ARGS...]
# Runs the Windows-side and end-to-end tests of the build tree TREE (in this clone) under Debian
# 13's Wine 10, the base of current Proton, in a Debian root made and entered by
# debian-root.sh, on a virtual display. The tree is built on the host; its tests keep a prefix of
# their own for this Wine. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] || { echo "usage: $0 TREE [CTEST ARGS...]" >&2; exit 2; }
tree=$(realpath "$1")
shift
case $tree in
"$PWD"/*) ;;
*) echo "wine10-tests: $tree is not in this clone, so the root cannot see it" >&2; exit 2 ;;
esac
[ -f "$tree/CTestTestfile.cmake" ] || { echo "wine10-tests: no tests in $tree; build it first" >&2; exit 2; }
exec scripts/debian-root.sh trixie sh -c 'echo "Wine: $(wine --version)" && exec "$@"' - \
    xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --test-dir "$tree" --output-on-failure -R '^(wine|windows|e2e)\.' "$@"
