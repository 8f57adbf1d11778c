#!/usr/bin/env bash
# The program's own TIFF reader on a 20,000 x 20,000 RGB sheet in LZW strips
# with horizontal differencing: a 1920 x 1080 window decoded at full
# resolution and at 1:8, side by side in one run with GDAL's gdal_translate
# (-srcwin, and -srcwin with -outsize) on the same file. Checks that GDAL
# reads the full resolution window with the same pixels. The goal: no slower
# than GDAL.
# Usage: bench/tiff_vs_gdal.sh [build folder]   (configured with -DTOLVANE_BENCH=ON;
#        gdal_translate comes with gdal-bin)
set -euo pipefail
case "${1:-}" in -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//; 1s/^/usage: bench\/tiff_vs_gdal.sh [build folder]\n/'; exit 0 ;; esac
cd "$(dirname "$0")/.."
build=${1:-build}
bench="$build/bench/bench_raster"
[ -x "$bench" ] || { echo "No $bench: build with -DTOLVANE_BENCH=ON first" >&2; exit 2; }
command -v gdal_translate >/dev/null || { echo "gdal_translate is not installed (gdal-bin)" >&2; exit 2; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
echo "machine load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
TOLVANE_BENCH_DIR="$dir" "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
echo "sheet.tiff: $(( $(stat -c %s "$dir/sheet.tiff") / 1048576 )) MB"

. bench/best_ms.sh
echo
echo "gdal_translate (best of 5, process start included):"
echo "  full resolution, -srcwin 9000 9000 1920 1080: $(best_ms gdal_translate -q -of PNM -srcwin 9000 9000 1920 1080 "$dir/sheet.tiff" "$dir/gdal.ppm") ms"
echo "  1:8, -srcwin 2000 5000 15360 8640 -outsize 1920 1080: $(best_ms gdal_translate -q -of PNM -srcwin 2000 5000 15360 8640 -outsize 1920 1080 "$dir/sheet.tiff" "$dir/gdal8.ppm") ms"
echo "  start only (--version): $(best_ms gdal_translate --version) ms"
echo "machine load: $(cut -d' ' -f1-3 /proc/loadavg)"

# The same pixels: the rows of both pictures after their headers.
pixels() { tail -c $((1920 * 1080 * 3)) "$1" | md5sum | cut -d' ' -f1; }
if [ "$(pixels "$dir/gdal.ppm")" = "$(pixels "$dir/window.ppm")" ]; then
  echo "full resolution window: the same pixels as GDAL's"
else
  echo "full resolution window: the pixels differ from GDAL's" >&2
  exit 1
fi
