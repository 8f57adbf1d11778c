#!/usr/bin/env bash
# Installs what is missing, builds the program with its program folder, and
# starts the map editor there on the bundled demo project; on a virtual
# display when there is no display.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: tools/run.sh
  Installs the Debian packages that are missing, builds the map editor and its
  program folder build/program (not the tests: tools/test.sh), sets up the
  print system with its PDF printer when there is no printer (tools/deps.sh
  printer), and starts it there. Until the settings name a last project, that is the demo project
  build/program/Demo/demo.tvp. Without a display (DISPLAY is not set) it
  installs Xvfb and starts the editor on a virtual display, whose name it says.
EOF
}

case "${1:-}" in
  "") ;;
  -h|--help) usage; exit 0 ;;
  *) echo "run.sh: unknown argument \"$1\"" >&2; usage >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
tools/build.sh --program
# Printing and print previews need a printer: where the print system offers
# none, CUPS's PDF printer (its files land in ~/PDF). Without it the program
# still runs, without printing.
tools/deps.sh printer || echo "tolvane: no printer could be set up: the map editor runs without printing"
display=1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  display=0
  tools/deps.sh display
fi
# The program opens the last project of the settings store when its window is
# first shown; until one is named there, that is the demo project. A project
# the user opened since stays the one named.
build/tools/setreg --if-absent 'HKEY_LOCAL_MACHINE\SOFTWARE\Tolvane 2' LastOpenTvpFile \
  "$PWD/build/program/Demo/demo.tvp"
cd build/program
if [ $display = 1 ]; then
  echo "tolvane: starting the map editor (build/program/tolvane)"
  exec ./tolvane
fi
echo "tolvane: no display (DISPLAY is not set): starting the map editor on a virtual display (Xvfb)"
exec xvfb-run -a sh -c 'echo "tolvane: the virtual display is $DISPLAY (a picture of it:" \
  "DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY xwd -root -out screen.xwd)"; exec ./tolvane'
