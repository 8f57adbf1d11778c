#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh
tools/fuzz.sh --build
cd build
ctest --output-on-failure -j "$(nproc)" "$@"
