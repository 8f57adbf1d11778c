# Sourced by the benchmark scripts: best_ms COMMAND ARGS... prints the best
# of five wall times of the command in milliseconds (process start included).
best_ms() {
  local best=
  for _ in 1 2 3 4 5; do
    local t0 t1 ms
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

# median_ms COMMAND ARGS... prints the median and the best of five wall times
# of the command in milliseconds, "median (best)" (process start included).
median_ms() {
  local times=()
  for _ in 1 2 3 4 5; do
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%d (best %d)", t[3], t[1] }'
}
