#!/usr/bin/env bash
# Installs what is missing, configures and builds into build/ (the program
# folder is build/program), saying what it does.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: tools/build.sh [--program] [-D<cmake option>=<value>]...
  Installs the Debian packages that are missing, configures build/ and builds.
    --program  the program, its program folder build/program and the tools it
               needs only (what tools/run.sh starts)
    (default)  everything: the program, the tools and the tests
  -D options go to cmake: -DTOLVANE_BENCH=ON builds the benchmarks
  (tools/fuzz.sh builds the fuzz targets, in build-fuzz).
EOF
}

program_only=0
options=()
for arg in "$@"; do
  case "$arg" in
    -h|--help) usage; exit 0 ;;
    --program) program_only=1 ;;
    -D?*) options+=("$arg") ;;
    *) echo "build.sh: unknown argument \"$arg\"" >&2; usage >&2; exit 2 ;;
  esac
done
cd "$(dirname "$0")/.."
say() { echo "tolvane: $*"; }

if [ $program_only = 1 ]; then
  tools/deps.sh program
  # A new build tree builds no tests until tools/test.sh asks for them; a
  # tree that has them keeps them.
  [ -f build/CMakeCache.txt ] || options=(-DTOLVANE_TESTS=OFF "${options[@]}")
  targets=(--target tolvane setreg)
  what="the program and its program folder (build/program)"
else
  tools/deps.sh
  options=(-DTOLVANE_TESTS=ON "${options[@]}")
  targets=()
  what="the program, the tools and the tests"
fi
say "configuring the build (build/)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
[ -f build/program/tolvane ] || first=" (the first build takes a few minutes)"
say "building ${what}${first:-}"
cmake --build build "${targets[@]}"
