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
cd "$(dirname "$0")/.."
tools/build.sh
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
  exec build/tools/clickthrough "$@"
elif command -v xvfb-run >/dev/null; then
  exec xvfb-run -a build/tools/clickthrough "$@"
else
  QT_QPA_PLATFORM=offscreen exec build/tools/clickthrough "$@"
fi
