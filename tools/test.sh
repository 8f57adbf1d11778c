#!/usr/bin/env bash
# Installs what is missing, builds everything (the tests too), and runs every
# test.
set -euo pipefail

usage() {
  cat <<'EOF2'
usage: tools/test.sh [ctest options]
  Installs the Debian packages that are missing, builds the program, the tools
  and the tests into build/, and runs the tests with ctest; options go to
  ctest (-L app: the tests of one folder, -R <name>: the tests whose names
  match).
EOF2
}

case "${1:-}" in
  -h|--help) usage; exit 0 ;;
esac
cd "$(dirname "$0")/.."
tools/build.sh
tools/fuzz.sh --build
cd build
echo "tolvane: running the tests"
ctest --output-on-failure -j "$(nproc)" "$@"
