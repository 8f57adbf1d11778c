#!/usr/bin/env bash
# A million polygons opened and drawn: tools/tolvane-render on a project of
# one layer against QGIS (Debian's python3-qgis) on the same shapefile,
# written by GDAL, in one run. Both draw 1920 x 1080 pixels of the whole
# layer, filled solid with hairline outlines, without antialiasing, and write
# a PNG. Prints the wall time of each program from its start to the written
# picture, QGIS's own time from opening the layer, and the ratio.
# Usage: bench/million_vs_qgis.sh [build folder] [count]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
count=${2:-1000000}
tool="$build/tools/tolvane-render"
[ -x "$tool" ] || { echo "No $tool: build first" >&2; exit 2; }
/usr/bin/python3 -c "import qgis.core, osgeo.ogr" 2>/dev/null || { echo "PyQGIS is not installed (python3-qgis)" >&2; exit 2; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
[ -n "${KEEP:-}" ] && trap - EXIT && echo "files in $dir"
mkdir -p "$dir/million"
/usr/bin/python3 bench/write_polygons.py "$dir/million/polygons.shp" "$count"

# The project: one polygon layer, filled solid, black hairline outlines, the
# view on the layer's middle at 1:1000 (0.25 mm a pixel).
{
  printf '!Tolvane v.2.2.0.2\r\n\r\n'
  printf 'X=240\r\nY=135\r\nScale=1000\r\nActiveLayer=0\r\nLayersCount=1\r\n\r\n'
  printf 'Layer=1\r\n{\r\n'
  printf '   FileName=polygons.shp\r\n   Name=polygons\r\n   MapType=1\r\n   ObjType=3\r\n'
  printf '   PenColor=0\r\n   PenStyle=1\r\n   PenWidth=0\r\n   PenMode=4\r\n'
  printf '   BrushColor=6994790\r\n   BrushType=1\r\n   Visible=True\r\n'
  printf '}\r\n'
} >"$dir/million.tvp"

now() { date +%s%N; }
t0=$(now)
"$tool" "$dir/million.tvp" "$dir/ours.png" --size 1920x1080 --scale 1000 --center 240,135 --program "$build/program"
t1=$(now)
qgis_inner=$(/usr/bin/python3 bench/qgis_first_picture.py "$dir/million/polygons.shp" "$dir/qgis.png" 2>/dev/null | awk '{print $2}')
t2=$(now)
ours=$(( (t1 - t0) / 1000000 ))
qgis=$(( (t2 - t1) / 1000000 ))
echo "$count polygons, start to picture: ours ${ours} ms, QGIS ${qgis} ms (${qgis_inner} ms from opening the layer), ratio $(awk "BEGIN {printf \"%.2f\", $ours / $qgis}")"
