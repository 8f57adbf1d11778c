#!/usr/bin/env bash
# A full redraw of 100,000 polygons at 1920 x 1080 (bench_RedrawBench) and, in
# the same run and on the same shapefile, QGIS rendering it (Debian's
# python3-qgis, a PyQGIS map render job), each filled solid and with a dot
# pattern. Prints the times and the ratios of ours to QGIS's.
# Usage: bench/redraw_vs_qgis.sh [build folder]   (configured with -DTOLVANE_BENCH=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bench="$build/bench/bench_RedrawBench"
[ -x "$bench" ] || { echo "No $bench: build with -DTOLVANE_BENCH=ON first" >&2; exit 2; }
/usr/bin/python3 -c "import qgis.core" 2>/dev/null || { echo "PyQGIS is not installed (python3-qgis)" >&2; exit 2; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
TOLVANE_BENCH_DIR="$dir" "$bench" --benchmark_filter='Redraw' --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null >"$dir/ours.csv"
/usr/bin/python3 bench/qgis_redraw.py "$dir" 2>/dev/null >"$dir/qgis.txt"

# The best of ours (milliseconds) against the best of QGIS's; our median too.
ours_solid=$(awk -F, '/RedrawSolidFill.*_best/ {printf "%.0f", $3}' "$dir/ours.csv")
ours_pattern=$(awk -F, '/RedrawLibraryPattern.*_best/ {printf "%.0f", $3}' "$dir/ours.csv")
median_solid=$(awk -F, '/RedrawSolidFill.*_median/ {printf "%.0f", $3}' "$dir/ours.csv")
median_pattern=$(awk -F, '/RedrawLibraryPattern.*_median/ {printf "%.0f", $3}' "$dir/ours.csv")
qgis_solid=$(awk '$2 == "solid" {print $3}' "$dir/qgis.txt")
qgis_pattern=$(awk '$2 == "pattern" {print $3}' "$dir/qgis.txt")
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "solid fill:      ours ${ours_solid} ms (median ${median_solid}), QGIS ${qgis_solid} ms, ratio $(awk "BEGIN {printf \"%.2f\", $ours_solid / $qgis_solid}")"
echo "library pattern: ours ${ours_pattern} ms (median ${median_pattern}), QGIS ${qgis_pattern} ms, ratio $(awk "BEGIN {printf \"%.2f\", $ours_pattern / $qgis_pattern}")"
