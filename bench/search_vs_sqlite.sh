#!/usr/bin/env bash
# The search window's search (two Like conditions and an order by) on a
# 100,000-row layer table, side by side in one run with sqlite3 on the same
# rows imported into an SQLite table and with GDAL's ogrinfo -sql on the
# dBase file. The goal: within 1.5 times sqlite3's query time.
# Usage: bench/search_vs_sqlite.sh [build folder]   (configured with -DTOLVANE_BENCH=ON;
#        tools/deps.sh bench tests installs sqlite3 and ogrinfo)
set -euo pipefail
case "${1:-}" in -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//; 1s/^/usage: bench\/search_vs_sqlite.sh [build folder]\n/'; exit 0 ;; esac
cd "$(dirname "$0")/.."
build=${1:-build}
bench="$build/bench/bench_search"
[ -x "$bench" ] || { echo "No $bench: build with -DTOLVANE_BENCH=ON first" >&2; exit 2; }
command -v sqlite3 >/dev/null || { echo "sqlite3 is not installed (tools/deps.sh bench)" >&2; exit 2; }
command -v ogrinfo >/dev/null || { echo "ogrinfo is not installed (gdal-bin)" >&2; exit 2; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
echo "machine load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
TOLVANE_BENCH_DIR="$dir" "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null >"$dir/ours.csv"
# Our median wall and processor time, in milliseconds.
ours=$(awk -F, '/_median/ {printf "%.1f", $3}' "$dir/ours.csv")
ours_cpu=$(awk -F, '/_median/ {printf "%.1f", $4}' "$dir/ours.csv")
echo "ours (median of 5): $ours ms (processor $ours_cpu ms)"

query="SELECT * FROM parcels WHERE (STREET LIKE '%Шевченка%') AND (HOUSE LIKE '1%') ORDER BY STREET,HOUSE"
sqlite3 "$dir/parcels.db" ".import --csv $dir/parcels.csv parcels"

# Best of five query times that sqlite3 reports itself (no process start).
best=
for _ in 1 2 3 4 5; do
  t=$(printf '.timer on\n%s;\n' "$query" | sqlite3 "$dir/parcels.db" | sed -n 's/^Run Time: real \([0-9.]*\).*/\1/p' | tail -1)
  ms=$(awk -v t="$t" 'BEGIN { printf "%.1f", t * 1000 }')
  if [ -z "$best" ] || awk -v a="$ms" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$ms; fi
done
echo
echo "sqlite3 on the same rows (query alone, best of 5):  $best ms"
echo "  rows: $(sqlite3 "$dir/parcels.db" "SELECT COUNT(*) FROM ($query)"), ours: $(awk -F, '/_median/ {print $NF}' "$dir/ours.csv")"
echo "ratio (ours / sqlite3): $(awk -v a="$ours" -v b="$best" 'BEGIN { printf "%.2f", a / b }')"

. bench/best_ms.sh
echo "ogrinfo -sql on the dBase file (best of 5, process start included): $(best_ms ogrinfo -ro -q -oo ENCODING=CP1251 -sql "$query" "$dir/parcels.dbf") ms"
echo "  start only (--version): $(best_ms ogrinfo --version) ms"
