#!/usr/bin/env bash
# Installs what is missing, builds, and starts the map editor in its program
# folder on the bundled demo project.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "tolvane: no display is available (DISPLAY is not set); run it in a graphical session," >&2
  echo "or under Xvfb: xvfb-run -a tools/run.sh" >&2
  exit 2
fi
cd build/program
exec ./tolvane "$@"
