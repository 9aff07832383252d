#!/usr/bin/env bash
# Builds and runs every benchmark, then prints the figures against their goals:
#   - start-up: process start to the sheet with its page visible, and to it painted and waiting
#     for input, under Wine, for KestSetup.exe, for a floor program making the same platform
#     calls before an empty one-page sheet (bench/floor), and for that sheet alone ("bare"),
#     alternated run by run by a measuring driver under Wine (bench/meter);
#   - memory: peak working set against the floor;
#   - idle: CPU used by an open sheet left alone;
#   - size and imports of the stripped 32-bit KestSetup.exe;
#   - instrument-set discovery against the bare listing and reading, and parser throughput
#     (Google Benchmark, natively).
#
# Usage: bench/run-benchmarks.sh [RUNS]       RUNS start-ups of each program, 15 by default
# Environment: KEST_BENCH_TREES  prefix of the build trees used (default "bench"):
#                build/<prefix>-native-release, build/<prefix>-win64 or -win32
#              KEST_BENCH_IDLE   seconds of the idle measurement (default 10)
#              DISPLAY           used when set; otherwise a virtual display is started
# Exit status: 0 every goal met, 1 a goal missed, 2 a benchmark could not run.
#
# Most of the start-up is Wine creating the DirectDraw objects, whose time follows the machine's
# load: on a shared machine give it more runs, and read the "added" row, which compares runs of
# the same round, beside the ratio of the medians.
set -euo pipefail
source "$(dirname "$0")/../scripts/common.sh"
cd "$root"

runs=${1:-15}
idle=${KEST_BENCH_IDLE:-10}
prefix=${KEST_BENCH_TREES:-bench}
jobs=$(nproc)

scripts/install-deps.sh

native_tree=build/$prefix-native-release
wine_kind=$(wine_tree)
wine_tree_dir=build/$prefix-$wine_kind
size_tree=build/$prefix-win32
loader=$(wine_loader "$wine_kind")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "error: $*" >&2
    exit 2
}

build() {
    local tree=$1 targets=$2
    shift 2
    echo "== building $targets in $tree"
    cmake -S . -B "$tree" --no-warn-unused-cli "$@" >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "configure $tree"; }
    # shellcheck disable=SC2086
    cmake --build "$tree" -j "$jobs" --target $targets >"$work/build.log" 2>&1 ||
        { tail -40 "$work/build.log"; fail "build $tree"; }
}

build "$native_tree" kest_bench -DCMAKE_BUILD_TYPE=Release -DKEST_SANITIZE=OFF
toolchain=cmake/mingw-i686.cmake
[ "$wine_kind" = win32 ] || toolchain=cmake/mingw-x86_64.cmake
build "$wine_tree_dir" "KestSetup StartupFloor StartupMeter" --toolchain "$toolchain" \
    -DCMAKE_BUILD_TYPE=Release
if [ "$wine_tree_dir" != "$size_tree" ]; then
    build "$size_tree" KestSetup --toolchain cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
fi
[ -x "$native_tree/bench/kest_bench" ] || fail "kest_bench was not built (is libbenchmark-dev installed?)"

# --- Discovery and parser, natively ------------------------------------------------------------
echo "== discovery and parser (Google Benchmark, 5 repetitions, medians)"
"$native_tree/bench/kest_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=json >"$work/native.json" 2>"$work/native.err" || { cat "$work/native.err"; fail "kest_bench"; }
# The JSON report puts one field a line; KEY of the run named NAME ("/manual_time" left out).
json_field() { # NAME KEY
    awk -v name="$1" -v key="$2" '
        { gsub(/[",]/, ""); sub(/^ +/, "") }
        $1 == "name:" { current = $2; sub(/\/manual_time/, "", current) }
        current == name && $1 == key ":" { print $2; exit }' "$work/native.json"
}
parser_mbs=$(awk -v b="$(json_field BM_ParseDescription_median bytes_per_second)" 'BEGIN { printf "%.0f", b / 1e6 }')
discovery_ratio=$(awk -v r="$(json_field BM_DiscoveryOverBareCost_median ratio)" 'BEGIN { printf "%.2f", r }')
discovery_ms=$(awk -v t="$(json_field BM_Discover1000Sets_median real_time)" 'BEGIN { printf "%.2f", t }')
bare_ms=$(awk -v t="$(json_field BM_ListAndRead1000Sets_median real_time)" 'BEGIN { printf "%.2f", t }')

# --- Size and imports of the 32-bit program ----------------------------------------------------
program32=$size_tree/KestSetup.exe
size_bytes=$(stat -c %s "$program32")
size_kib=$(awk -v b="$size_bytes" 'BEGIN { printf "%.1f", b / 1024 }')
imports=$(i686-w64-mingw32-objdump -p "$program32" | awk '/DLL Name:/ { print $3 }' | sort -f | paste -sd' ')
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll ole32.dll oleaut32.dll shell32.dll comctl32.dll msvcrt.dll "
foreign=""
for dll in $imports; do
    lower=${dll,,}
    [[ "$system_dlls" == *" $lower "* ]] || foreign+="$dll "
done
if i686-w64-mingw32-objdump -t "$program32" 2>&1 | grep -q "no symbols"; then stripped=yes; else stripped=no; fi

# --- Start-up, memory and idle under Wine ------------------------------------------------------
windows_path() { echo "Z:${1//\//\\}"; }
prefixes=$root/$wine_tree_dir/wineprefix
export WINEPREFIX=$(wine_test_prefix "$prefixes" "$loader")
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
scripts/wine-prefix.sh start "$prefixes" "$loader"
# The test prefix checks the program's heap at every call, which the floor would be spared. The
# server that served the edit goes with the desktop it made here, off the virtual display.
"$loader" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Image File Execution Options\KestSetup.exe' /f >/dev/null 2>&1
wineserver -k
trap 'scripts/wine-prefix.sh stop "$prefixes" "$loader" >/dev/null 2>&1; rm -rf "$work"' EXIT

meter=(timeout $((600 + runs * 60 + 6 * idle)) "$loader" "$root/$wine_tree_dir/bench/StartupMeter.exe"
       "$runs" "$idle"
       kest "$(windows_path "$root/$wine_tree_dir/KestSetup.exe")" ""
       floor "$(windows_path "$root/$wine_tree_dir/bench/StartupFloor.exe")" ""
       bare "$(windows_path "$root/$wine_tree_dir/bench/StartupFloor.exe")" "--bare")
echo "== start-up, memory and idle under Wine: $runs runs of each program, alternated, then ${idle} s idle"
status=0
if [ -n "${DISPLAY:-}" ]; then
    "${meter[@]}" >"$work/meter.log" 2>&1 || status=$?
else
    xvfb-run -a -s "-screen 0 1024x768x24" "${meter[@]}" >"$work/meter.log" 2>&1 || status=$?
fi
tr -d '\r' <"$work/meter.log" >"$work/meter.txt"
grep -E '^(run|error)' "$work/meter.txt" | sed 's/^/  /' || true
[ "$status" -eq 0 ] || { cat "$work/meter.txt"; fail "the start-up measurements failed (status $status)"; }

field() { # KIND LABEL KEY
    awk -v kind="$1" -v label="$2" -v key="$3" \
        '$1 == kind && $2 == label { for (i = 3; i < NF; i++) if ($i == key) print $(i + 1) }' "$work/meter.txt"
}

# --- The table ---------------------------------------------------------------------------------
# judge MEASURED OP GOAL: yes or no
judge() {
    if awk -v m="$1" -v g="$3" -v op="$2" 'BEGIN { exit !(m != "" && (op == "<=" ? m <= g : m >= g)) }'; then
        echo yes
    else
        echo no
    fi
}
row() { printf '%-56s %14s  %-18s %s\n' "$@"; }

startup_ratio=$(field ratio kest/floor ready)
memory_ratio=$(field ratio kest/floor memory)
idle_kest=$(field idle kest cpu_ms)
# GetProcessTimes counts in the kernel's clock ticks (10 ms); less than one tick is nothing.
idle_verdict=$(awk -v c="$idle_kest" 'BEGIN { print (c != "" && c >= 0 && c < 10) ? "yes" : "no" }')
imports_verdict=yes
[ -z "$foreign" ] || imports_verdict=no

{
row "Figure" "Measured" "Goal" "Met"
row "------" "--------" "----" "---"
row "Start-up to visible sheet, KestSetup (median ms)" "$(field median kest visible_ms)" "" ""
row "Start-up to visible sheet, floor (median ms)" "$(field median floor visible_ms)" "" ""
row "Start-up to visible sheet, bare sheet (median ms)" "$(field median bare visible_ms)" "" ""
row "Start-up to painted, ready sheet, KestSetup (median ms)" "$(field median kest ready_ms)" "" ""
row "Start-up to painted, ready sheet, floor (median ms)" "$(field median floor ready_ms)" "" ""
row "Start-up to painted, ready sheet, bare sheet (median ms)" "$(field median bare ready_ms)" "" ""
row "Start-up ratio to visible, KestSetup/floor" "$(field ratio kest/floor visible)" "" ""
row "Start-up ratio to ready, KestSetup/floor" "$startup_ratio" "<= 1.10" "$(judge "$startup_ratio" '<=' 1.10)"
row "Added by KestSetup over floor, same round (median ms)" "$(field added kest-floor ready_ms)" "" ""
row "Start-up ratio to visible, KestSetup/bare sheet" "$(field ratio kest/bare visible)" "(for scale)" ""
row "Start-up ratio to ready, KestSetup/bare sheet" "$(field ratio kest/bare ready)" "(for scale)" ""
row "Peak working set, KestSetup (median KiB)" "$(field median kest peak_kib)" "" ""
row "Peak working set, floor (median KiB)" "$(field median floor peak_kib)" "" ""
row "Peak working set, bare sheet (median KiB)" "$(field median bare peak_kib)" "" ""
row "Memory ratio, KestSetup/floor" "$memory_ratio" "<= 1.10" "$(judge "$memory_ratio" '<=' 1.10)"
row "Idle CPU over ${idle} s, KestSetup (ms)" "$idle_kest" "none measurable" "$idle_verdict"
row "Idle CPU over ${idle} s, floor (ms)" "$(field idle floor cpu_ms)" "" ""
row "Size of stripped i686 KestSetup.exe (KiB)" "$size_kib" "<= 256" "$(judge "$size_kib" '<=' 256)"
row "  (bytes; stripped: $stripped)" "$size_bytes" "" ""
row "Imports: $imports" "${foreign:-system only}" "system DLLs only" "$imports_verdict"
row "Discovery of 1,000 sets (median ms)" "$discovery_ms" "" ""
row "Listing and reading them bare (median ms)" "$bare_ms" "" ""
row "Discovery ratio" "$discovery_ratio" "<= 1.5" "$(judge "$discovery_ratio" '<=' 1.5)"
row "Parser throughput on 1 MiB (median MB/s)" "$parser_mbs" ">= 300" "$(judge "$parser_mbs" '>=' 300)"
} >"$work/table.txt"
echo
cat "$work/table.txt"
echo
echo "Start-up runs per program: $(field median kest runs) (after one warm-up round); trees: $native_tree, $wine_tree_dir, $size_tree"
grep -q ' no$' "$work/table.txt" && exit 1
exit 0
