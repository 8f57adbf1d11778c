#!/usr/bin/env bash
# Builds the program and uses every menu item and tool bar control of the map
# window on a copy of the demo project (build/tools/clickthrough): with each
# tool down and with nothing, one object or every object of each layer
# selected. It runs on the display there is, under Xvfb when there is none
# and xvfb-run is installed, and on the offscreen platform otherwise. The
# last line counts what was used; a crash ends it with the signal's status.
#
#   tools/clickthrough.sh [--quick]
set -euo pipefail

usage() {
  cat <<'EOF'
usage: tools/clickthrough.sh [--quick]
  Builds, then uses every menu item and tool bar control of the map window on
  a copy of the program folder and its demo project, on the display there is,
  under Xvfb without one (when xvfb-run is installed), or on the offscreen
  platform; --quick: a short round (the pick and draw tools).
EOF
}

for arg in "$@"; do
  case "$arg" in
    -h|--help) usage; exit 0 ;;
    --quick) ;;
    *) echo "clickthrough.sh: unknown argument \"$arg\"" >&2; usage >&2; exit 2 ;;
  esac
done
cd "$(dirname "$0")/.."
tools/build.sh
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
  exec build/tools/clickthrough "$@"
elif command -v xvfb-run >/dev/null; then
  exec xvfb-run -a build/tools/clickthrough "$@"
else
  QT_QPA_PLATFORM=offscreen exec build/tools/clickthrough "$@"
fi
