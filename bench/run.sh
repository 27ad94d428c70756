#!/usr/bin/env bash
# Builds the benchmarks in their own optimised folder (build/bench), runs them and prints a
# table: milliseconds per cycle during a full outbreak, grid pass vs straightforward pass,
# with Think + Move alone as the floor. Extra arguments go to the benchmark program
# (for example --benchmark_filter=scaled). A second table times whole vantrel-sim runs with
# the correctly rounded sine and cosine against glibc's.
set -euo pipefail
cd "$(dirname "$0")/.."

. bench/build_bench.sh
build_bench vantrel_bench

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

# What the correctly rounded sine and cosine cost: whole vantrel-sim runs, against a comparison
# build with glibc's functions (whose persons differ; it exists only for this table).
cmake -S . -B build/bench-glibc -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF \
  -DVANTREL_GLIBC_TRIGONOMETRY_FOR_COMPARISON=ON >/dev/null
build_bench vantrel-sim
cmake --build build/bench-glibc --target vantrel-sim >/dev/null
echo
python3 - build/bench/tools/vantrel-sim build/bench-glibc/tools/vantrel-sim <<'PYTHON'
import os, resource, subprocess, sys

ours, glibc = sys.argv[1], sys.argv[2]
runs = [("100", ["--seed", "1", "--steps", "100000"]),
        ("20000", ["--seed", "1", "--persons", "20000", "--steps", "2000"])]

def cpu_seconds(program, arguments):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run([program] + arguments, stdout=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)

print("| persons | steps | glibc sin/cos (s) | correctly rounded (s) | cost |")
print("|---:|---:|---:|---:|---:|")
for persons, arguments in runs:
    # Alternate the two programs and keep each one's best of five: the least disturbed run.
    best = {ours: float("inf"), glibc: float("inf")}
    for _ in range(5):
        for program in (glibc, ours):
            best[program] = min(best[program], cpu_seconds(program, arguments))
    print("| %s | %s | %.3f | %.3f | %+.0f%% |" % (persons, arguments[arguments.index("--steps") + 1],
          best[glibc], best[ours], 100.0 * (best[ours] / best[glibc] - 1.0)))
PYTHON
