#!/usr/bin/env bash
# Usage: capture-window.sh OUTPUT.png TITLE PROGRAM [ARGS...]
# Starts PROGRAM on the current X display, waits until its top-level window TITLE is on screen
# and painted, saves that window as OUTPUT.png and ends PROGRAM. When no picture can be made
# within KEST_CAPTURE_TIMEOUT seconds (default 180, room for a slow first start of Wine), or
# PROGRAM ends first, it says why and exits 1 without OUTPUT.png.
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 OUTPUT.png TITLE PROGRAM [ARGS...]" >&2; exit 2; }
output=$1
title=$2
shift 2
timeout=${KEST_CAPTURE_TIMEOUT:-180}

work=$(mktemp -d)
program=""
trap '[ -z "$program" ] || kill "$program" 2>/dev/null || true; rm -rf "$work"' EXIT

fail() {
    echo "No screenshot: $1" >&2
    if [ -s "$work/program.log" ]; then
        echo "The program's last output lines:" >&2
        tail -n 5 "$work/program.log" >&2
    fi
    exit 1
}

# A picture left by an earlier run must not pass for this one's.
rm -f "$output"
"$@" >"$work/program.log" 2>&1 </dev/null &
program=$!

# Windows with the title, mapped. Wine gives a window its X title before it maps it, and the
# program's hidden main window shares the sheet's title; neither can be read.
viewable_windows() {
    local id
    for id in $(xwininfo -root -tree 2>>"$work/error" |
                TITLE=$title awk 'index($0, "\"" ENVIRON["TITLE"] "\":") { print $1 }'); do
        if xwininfo -id "$id" 2>>"$work/error" | grep -q 'Map State: IsViewable'; then
            echo "$id"
        fi
    done
}

# A mapped window is painted when it is not one flat colour and a second look, a moment later,
# sees the very same pixels.
previous=""
deadline=$((SECONDS + timeout))
while [ "$SECONDS" -lt "$deadline" ]; do
    if ! kill -0 "$program" 2>/dev/null; then
        status=0
        wait "$program" || status=$?
        program=""
        fail "the program ended (exit code $status) before its window \"$title\" could be captured."
    fi
    : >"$work/error"
    signature=""
    for window in $(viewable_windows); do
        if import -window "$window" "$work/shot.png" 2>>"$work/error" &&
            identify -format '%[fx:standard_deviation]' "$work/shot.png" |
            awk '{ exit !($1 > 0.01) }'; then
            signature=$(identify -format '%#' "$work/shot.png")
            break
        fi
    done
    if [ -n "$signature" ] && [ "$signature" = "$previous" ]; then
        mv "$work/shot.png" "$output"
        exit 0
    fi
    previous=$signature
    sleep 0.5
done
last_error=$(tail -n 1 "$work/error" 2>/dev/null || true)
fail "no window \"$title\" was on screen and painted within $timeout s${last_error:+ (last error: $last_error)}."
