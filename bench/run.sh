#!/usr/bin/env bash
# Builds the benchmarks in their own optimised folder (build/bench), runs them and prints a
# table: milliseconds per cycle during a full outbreak, grid pass vs straightforward pass,
# with Think + Move alone as the floor. Extra arguments go to the benchmark program
# (for example --benchmark_filter=scaled).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF \
  -DVANTREL_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench --target vantrel_bench >/dev/null

csv=build/bench/results.csv
# NOTE: Google Benchmark calls its CSV output deprecated but still writes it; it needs no
# JSON reader here.
build/bench/bench/vantrel_bench --benchmark_format=csv "$@" 2>/dev/null >"$csv"

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
echo
awk -F, '
  /^"(think_move|cycle_grid|cycle_straightforward)\// {
    gsub(/"/, "", $1)
    split($1, part, "/")
    key = part[2] "/" part[3]
    if (!(key in seen)) { seen[key] = 1; order[++rows] = key }
    ms[part[1] "|" key] = $4    # CPU time, in milliseconds: other work on the machine inflates wall time
  }
  function show(value) { return value == "" ? "-" : sprintf("%.3f", value) }
  END {
    print "| field | persons | Think + Move (ms) | cycle, grid (ms) | cycle, straightforward (ms) | speed-up |"
    print "|---|---:|---:|---:|---:|---:|"
    for (r = 1; r <= rows; ++r) {
      key = order[r]
      split(key, part, "/")
      grid = ms["cycle_grid|" key]
      plain = ms["cycle_straightforward|" key]
      speedup = (grid != "" && plain != "" && grid > 0) ? sprintf("%.0fx", plain / grid) : "-"
      printf "| %s | %s | %s | %s | %s | %s |\n", part[1], part[2], show(ms["think_move|" key]),
        show(grid), show(plain), speedup
    }
  }' "$csv"
