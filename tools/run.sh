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
# The program opens the last project of the settings store when its window is
# first shown; until one is named there, that is the demo project. A project
# the user opened since stays the one named.
build/tools/setreg --if-absent 'HKEY_LOCAL_MACHINE\SOFTWARE\Tolvane 2' LastOpenTvpFile \
  "$PWD/build/program/Demo/demo.tvp"
cd build/program
exec ./tolvane "$@"
