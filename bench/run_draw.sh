#!/usr/bin/env bash
# Builds the drawing benchmark in its own optimised folder (build/bench), runs it on its own
# Xvfb with Mesa's software rasteriser and prints a table: milliseconds per frame of
# ProgramDraw and of the bare loop that issues the same OpenGL calls, and our code's share.
# A second table gives turns of the game's loop (a cycle and a frame) at real levels in an
# outbreak (everyone alive, half infected), with the frame rate that the quickest turn allows.
# Extra arguments go to the benchmark program (for example --benchmark_filter=finish).
set -euo pipefail
cd "$(dirname "$0")/.."

. bench/build_bench.sh
build_bench vantrel_draw_bench

csv=build/bench/draw_results.csv
# Five repetitions in shuffled order; the table shows their medians.
LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/bench/bench/vantrel_draw_bench --benchmark_format=csv --benchmark_repetitions=5 \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
  "$@" 2>/dev/null >"$csv"
level_csv=build/bench/draw_levels.csv
grep -E '^("?name|"?level/)' "$csv" >"$level_csv" || true

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), load $(cut -d' ' -f1 /proc/loadavg)"
echo
echo "| persons | frame ends with | ProgramDraw, CPU (ms) | bare loop, CPU (ms) | our share (CPU) | ProgramDraw, wall (ms) | bare loop, wall (ms) |"
echo "|---:|---|---:|---:|---:|---:|---:|"
# Rows by population, then glFinish before the swap.
awk -F, '
  NR == 1 { gsub(/"/, ""); for (i = 1; i <= NF; ++i) column[$i] = i; next }
  {
    gsub(/"/, "", $1)
    if ($1 ~ /^level\//) next
    n = split($1, part, "/")
    # finish/<persons>/process_time_<aggregate>
    aggregate = part[n]; sub(/^process_time_/, "", aggregate)
    key = part[2] "|" part[1]
    if (aggregate == "median") {
      if (!(key in seen)) { seen[key] = 1; order[++rows] = key }
      for (name in column) value[key "|" name] = $column[name]
    } else if (aggregate == "stddev") {
      spread[key] = $column["share_pct"]
    }
  }
  END {
    for (r = 1; r <= rows; ++r) {
      key = order[r]
      split(key, part, "|")
      ending = part[2] == "finish" ? "glFinish" : "glFlush + glXSwapBuffers"
      printf "| %s | %s | %.3f | %.3f | %+.1f %% (sd %.1f) | %.3f | %.3f |\n", part[1], ending,
        value[key "|program_cpu_ms"], value[key "|bare_cpu_ms"], value[key "|share_pct"],
        spread[key], value[key "|program_wall_ms"], value[key "|bare_wall_ms"]
    }
  }' "$csv" | sort -t'|' -k2,2n -k3,3

echo
echo "| level | persons | turn, CPU (ms) | turn, wall (ms) | quickest turn, wall (ms) | frames per second (quickest) |"
echo "|---:|---:|---:|---:|---:|---:|"
# level/<n>/<persons>/process_time_median
awk -F, '
  NR == 1 { gsub(/"/, ""); for (i = 1; i <= NF; ++i) column[$i] = i; next }
  {
    gsub(/"/, "", $1)
    n = split($1, part, "/")
    if (part[n] != "process_time_median") next
    best = $column["step_best_wall_ms"]
    printf "| %s | %s | %.3f | %.3f | %.3f | %.0f |\n", part[2], part[3], $column["step_cpu_ms"],
      $column["step_wall_ms"], best, 1000 / best
  }' "$level_csv" | sort -t'|' -k2,2n
