#!/usr/bin/env bash
# The program's own TIFF reader on a 20,000 x 20,000 RGB sheet in LZW strips
# with horizontal differencing: a 1920 x 1080 window decoded at full
# resolution and at 1:8, side by side in one run with GDAL's RasterIO in its
# process on the same windows (bench_gdal_window: open, read, close; also
# with freed memory kept by the allocator for both) and with gdal_translate
# (-srcwin, and -srcwin with -outsize). Checks that GDAL reads the full
# resolution window with the same pixels. The goal: no slower than GDAL's
# RasterIO.
# Usage: bench/tiff_vs_gdal.sh [build folder]   (configured with -DTOLVANE_BENCH=ON;
#        gdal_translate comes with gdal-bin, bench_gdal_window is built when
#        GDAL's development files are installed: TOLVANE_WITH_BENCH=1 tools/deps.sh)
set -euo pipefail
case "${1:-}" in -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//; 1s/^/usage: bench\/tiff_vs_gdal.sh [build folder]\n/'; exit 0 ;; esac
cd "$(dirname "$0")/.."
build=${1:-build}
bench="$build/bench/bench_raster"
loop="$build/bench/bench_gdal_window"
[ -x "$bench" ] || { echo "No $bench: build with -DTOLVANE_BENCH=ON first" >&2; exit 2; }
command -v gdal_translate >/dev/null || { echo "gdal_translate is not installed (gdal-bin)" >&2; exit 2; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
echo "machine load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
# The sheet is written first, outside the timed runs.
TOLVANE_BENCH_DIR="$dir" "$bench" --benchmark_filter=BM_TiffWindowFullResolution --benchmark_min_time=0.01 >/dev/null 2>&1
echo "sheet.tiff: $(( $(stat -c %s "$dir/sheet.tiff") / 1048576 )) MB"
# Median wall and processor time of ours, in milliseconds.
ours() { awk -F, -v name="$1" -v col="$2" 'index($1, name "/real_time_median") {printf "%.1f", $col}' "$dir/ours.csv"; }
field() { echo "$1" | tr ' ' '\n' | sed -n "s/^$2=//p" | awk '{printf "%.1f", $1}'; }

# Ours and GDAL's RasterIO in one pass: medians of 7 runs each.
compare() {
  TOLVANE_BENCH_DIR="$dir" "$bench" --benchmark_filter=BM_Tiff --benchmark_repetitions=7 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null >"$dir/ours.csv"
  if [ ! -x "$loop" ]; then
    echo "  No $loop (GDAL's development files missing): ours only"
    echo "  full resolution: ours $(ours BM_TiffWindowFullResolution 3) ms, 1:8: ours $(ours BM_TiffWindowOneEighth 3) ms"
    return
  fi
  full=$("$loop" "$dir/sheet.tiff" 9000 9000 1920 1080 1920 1080 7 "$dir/gdal-loop.ppm")
  eighth=$("$loop" "$dir/sheet.tiff" 2000 5000 15360 8640 1920 1080 7)
  for w in full eighth; do
    if [ $w = full ]; then what="full resolution"; name=BM_TiffWindowFullResolution; line=$full
    else what="1:8"; name=BM_TiffWindowOneEighth; line=$eighth; fi
    o=$(ours $name 3) oc=$(ours $name 4) g=$(field "$line" median_ms) gc=$(field "$line" cpu_median_ms)
    echo "  $what: ours $o ms (processor $oc ms), GDAL's RasterIO $g ms (processor $gc ms), ratio $(awk "BEGIN {printf \"%.2f\", $o / $g}")"
  done
}

echo
echo "Medians of 7, each run opening the file:"
compare
# Both sides again with glibc keeping the memory they free (as in a program
# that runs on): where the system is slow to give pages, GDAL's strip
# blocks, freed at each close, cost it most of its time otherwise.
echo "The same, freed memory kept by the allocator (MALLOC_TRIM_THRESHOLD_, MALLOC_MMAP_THRESHOLD_):"
MALLOC_TRIM_THRESHOLD_=2000000000 MALLOC_MMAP_THRESHOLD_=1000000000 MALLOC_TOP_PAD_=200000000 compare

. bench/best_ms.sh
echo
echo "gdal_translate (best of 5, process start included):"
echo "  full resolution, -srcwin 9000 9000 1920 1080: $(best_ms gdal_translate -q -of PNM -srcwin 9000 9000 1920 1080 "$dir/sheet.tiff" "$dir/gdal.ppm") ms"
echo "  1:8, -srcwin 2000 5000 15360 8640 -outsize 1920 1080: $(best_ms gdal_translate -q -of PNM -srcwin 2000 5000 15360 8640 -outsize 1920 1080 "$dir/sheet.tiff" "$dir/gdal8.ppm") ms"
echo "  start only (--version): $(best_ms gdal_translate --version) ms"
echo "machine load: $(cut -d' ' -f1-3 /proc/loadavg)"

# The same pixels: the rows of the pictures after their headers.
pixels() { tail -c $((1920 * 1080 * 3)) "$1" | md5sum | cut -d' ' -f1; }
same=1
for peer in "$dir/gdal.ppm" ${full:+"$dir/gdal-loop.ppm"}; do
  [ "$(pixels "$peer")" = "$(pixels "$dir/window.ppm")" ] || same=0
done
if [ $same = 1 ]; then
  echo "full resolution window: the same pixels as GDAL's"
else
  echo "full resolution window: the pixels differ from GDAL's" >&2
  exit 1
fi
