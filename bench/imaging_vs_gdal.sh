#!/usr/bin/env bash
# The imaging routines drawing a 1920 x 1080 window of a 20,000 x 20,000
# TIFF sheet (LZW strips with differencing) and of a JPEG of it, zoomed in
# (full resolution) and zoomed out 1:8, side by side in one run with GDAL's
# gdal_translate (-srcwin, and -srcwin with -outsize) on the same files.
# Checks that GDAL reads the TIFF's windows, at full resolution and at 1:8,
# with the same pixels. The goal: no slower than GDAL.
# Usage: bench/imaging_vs_gdal.sh [build folder]   (configured with -DTOLVANE_BENCH=ON;
#        gdal_translate comes with gdal-bin)
set -euo pipefail
case "${1:-}" in -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//; 1s/^/usage: bench\/imaging_vs_gdal.sh [build folder]\n/'; exit 0 ;; esac
cd "$(dirname "$0")/.."
build=${1:-build}
bench="$build/bench/bench_raster"
[ -x "$bench" ] || { echo "No $bench: build with -DTOLVANE_BENCH=ON first" >&2; exit 2; }
command -v gdal_translate >/dev/null || { echo "gdal_translate is not installed (gdal-bin)" >&2; exit 2; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export TOLVANE_BENCH_DIR="$dir" QT_QPA_PLATFORM=offscreen
# The TIFF sheet (written by the TIFF reader's benchmark), then its JPEG.
"$bench" --benchmark_filter=BM_TiffWindowFullResolution --benchmark_min_time=0.01 >/dev/null
gdal_translate -q -of JPEG -co QUALITY=90 "$dir/sheet.tiff" "$dir/sheet.jpg"
echo "sheet.tiff: $(( $(stat -c %s "$dir/sheet.tiff") / 1048576 )) MB, sheet.jpg: $(( $(stat -c %s "$dir/sheet.jpg") / 1048576 )) MB"
echo "machine load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
"$bench" --benchmark_filter=BM_Imaging --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

. bench/best_ms.sh
echo
echo "gdal_translate (median of 5, process start included):"
for f in tiff jpg; do
  echo "  $f full resolution, -srcwin 9000 9000 1920 1080: $(median_ms gdal_translate -q -of PNM -srcwin 9000 9000 1920 1080 "$dir/sheet.$f" "$dir/gdal-$f.ppm") ms"
  echo "  $f 1:8, -srcwin 2000 5000 15360 8640 -outsize 1920 1080: $(median_ms gdal_translate -q -of PNM -srcwin 2000 5000 15360 8640 -outsize 1920 1080 "$dir/sheet.$f" "$dir/gdal8-$f.ppm") ms"
done
echo "  start only (--version): $(median_ms gdal_translate --version) ms"
echo "machine load: $(cut -d' ' -f1-3 /proc/loadavg)"

pixels() { tail -c $((1920 * 1080 * 3)) "$1" | md5sum | cut -d' ' -f1; }
same=1
for w in "full resolution window|gdal-tiff.ppm|imaging-window.ppm" "1:8 window|gdal8-tiff.ppm|imaging-eighth.ppm"; do
  IFS='|' read -r what peer own <<<"$w"
  if [ "$(pixels "$dir/$peer")" = "$(pixels "$dir/$own")" ]; then
    echo "TIFF $what: the same pixels as GDAL's"
  else
    echo "TIFF $what: the pixels differ from GDAL's" >&2
    same=0
  fi
done
[ $same = 1 ] || exit 1
