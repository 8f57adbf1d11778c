#!/usr/bin/env bash
# Runs the database engine benchmarks and, in the same run and on the same
# 100,000-row table, times GDAL's ogrinfo on the like search and on a full scan.
# Usage: bench/db_vs_ogrinfo.sh [build folder]   (configured with -DTOLVANE_BENCH=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bench="$build/bench/bench_db"
[ -x "$bench" ] || { echo "No $bench: build with -DTOLVANE_BENCH=ON first" >&2; exit 2; }
command -v ogrinfo >/dev/null || { echo "ogrinfo is not installed (gdal-bin)" >&2; exit 2; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
TOLVANE_BENCH_DIR="$dir" "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

. bench/best_ms.sh

table="$dir/big.dbf"
echo
echo "ogrinfo on the same table (best of 5, process start included):"
echo "  start only (--version):              $(best_ms ogrinfo --version) ms"
echo "  like search (-where ... LIKE):       $(best_ms ogrinfo -ro -so -where "STREET LIKE '%Шевченка%'" "$table" big) ms"
echo "    rows found: $(ogrinfo -ro -so -where "STREET LIKE '%Шевченка%'" "$table" big | sed -n 's/^Feature Count: //p')"
echo "  full scan (-sql COUNT, SUM):         $(best_ms ogrinfo -ro -q -sql 'SELECT COUNT(*), SUM(AREA) FROM big' "$table") ms"
