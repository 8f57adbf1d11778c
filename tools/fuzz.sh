#!/usr/bin/env bash
# Builds the fuzz targets (clang, ASan and UBSan) into build-fuzz and runs them.
#   tools/fuzz.sh [target] [seconds]  runs the target, or every target in turn,
#                                     for that long each (default 600), its
#                                     corpus kept in build-fuzz/fuzz/corpus
#   tools/fuzz.sh --build             builds only (nothing without clang)
#   tools/fuzz.sh --short <target>    the tests' bounded run: 20 s, seed 1
# What a run finds is left in build-fuzz/fuzz/findings/<target>; the run
# then fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-fuzz
out=$build/fuzz

build() {
  if ! command -v clang++ >/dev/null; then
    echo "clang++ is missing (tools/deps.sh installs it): the fuzz targets are not built"
    return 0
  fi
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DTOLVANE_FUZZ=ON -DTOLVANE_TESTS=OFF -DCMAKE_BUILD_TYPE=Fuzz \
      -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  fi
  cmake --build "$build" --target fuzz_targets
}

targets() {
  sed -n 's/^tolvane_fuzz(\([a-z0-9_]*\).*/\1/p' fuzz/CMakeLists.txt
}

# run <target> <seconds> <corpus folder> [libFuzzer options...]
run() {
  local name=$1 seconds=$2 corpus=$3
  shift 3
  local exe=$out/fuzz_$name findings=$out/findings/$name
  if [ ! -x "$exe" ]; then
    echo "No fuzz target $exe: build it with tools/fuzz.sh --build" >&2
    return 1
  fi
  mkdir -p "$corpus" "$findings"
  local seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  # The first folder takes what the run adds; the seeds stay as they are.
  # An input that runs 20 s is a hang; 2 GB is the most one may take. A
  # smaller quarantine of freed memory keeps the readers that open many files
  # quick.
  if ! ASAN_OPTIONS=quarantine_size_mb=64 UBSAN_OPTIONS=print_stacktrace=1 \
      LSAN_OPTIONS=suppressions=$root/fuzz/lsan.supp "$exe" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$@" "$corpus" "${seeds[@]}"; then
    echo "fuzz_$name found a fault; the input is in $findings" >&2
    return 1
  fi
}

case "${1:-}" in
  --build)
    build
    ;;
  --short)
    name=${2:?"usage: tools/fuzz.sh --short <target>"}
    # A fresh corpus and a fixed seed: the same run every time.
    rm -rf "$out/short/$name"
    run "$name" 20 "$out/short/$name" -seed=1
    ;;
  *)
    build
    seconds=${2:-600}
    if [ -n "${1:-}" ]; then
      run "$1" "$seconds" "$out/corpus/$1"
    else
      for name in $(targets); do
        run "$name" "$seconds" "$out/corpus/$name"
      done
    fi
    ;;
esac
