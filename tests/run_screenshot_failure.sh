#!/usr/bin/env bash
# Usage: run_screenshot_failure.sh CAPTURE_SCRIPT
# When ./run cannot make its screenshot it must say why, fail, and leave no picture behind.
set -euo pipefail
capture=$1
# A title of its own: the real sheet may be on the same display, under another test.
title="Not on screen ($$)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# expect_failure REASON PROGRAM [ARGS...]
expect_failure() {
    local reason=$1 status=0
    shift
    touch "$work/shot.png" # an earlier run's picture
    "$capture" "$work/shot.png" "$title" "$@" 2>"$work/stderr" || status=$?
    if [ "$status" -eq 0 ] || ! grep -qF "No screenshot: $reason" "$work/stderr" ||
        [ -e "$work/shot.png" ]; then
        echo "FAIL with $*: exit code $status, picture left: $([ -e "$work/shot.png" ] && echo yes || echo no), stderr:" >&2
        cat "$work/stderr" >&2
        exit 1
    fi
}

# A program that never shows the window: the wait has its bound.
KEST_CAPTURE_TIMEOUT=2 expect_failure \
    "no window \"$title\" was on screen and painted within 2 s" sleep 30
# One that ends first: no waiting for the bound.
expect_failure 'the program ended (exit code 3)' sh -c 'echo gone; exit 3'
grep -qx gone "$work/stderr" || { echo "FAIL: the program's output was not shown" >&2; exit 1; }
echo "PASS"
