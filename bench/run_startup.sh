#!/usr/bin/env bash
# Measures the native game's start-up, exec to the first painted frame, against the game as it
# was before the framebuffer configurations were fetched once (commit 7326841, built where
# the benchmarks build an earlier commit), on a private Xvfb with openbox (bench/startup_time.py).
# Usage: bench/run_startup.sh [ROUNDS] [--without-instructions]
# (the second skips the instruction counts under callgrind, which take minutes; the test that
# keeps this script working runs it so). Exit code 77 when commit 7326841 is not in this clone.
set -euo pipefail
cd "$(dirname "$0")/.."

. bench/build_bench.sh
require_earlier 7326841
build_bench VantrelGame first_frame_probe
build_earlier "$earlier_commit" VantrelGame

. tools/virtual_display.sh
trap stop_virtual_display EXIT
start_virtual_display 1280x1024x24
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
timeout 1200 python3 bench/startup_time.py build/bench/bench/libfirst_frame_probe.so "${1:-10}" \
  ${2:-} "before (7326841)=$earlier_build/program/VantrelGame" "now=build/bench/program/VantrelGame"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
