#!/usr/bin/env bash
# Whole vantrel-sim runs: this tree's driver against an earlier one (default: commit 7326841,
# before the direction reuse, the one-pass cycle and the paint without persons), both built
# optimised in folders of their own. First both must print the same bytes over many seeded runs
# (levels, clicks, resizes, game over); then it alternates timed runs and prints a table.
# Usage: bench/run_sim.sh [--rounds N] [--quick] [--baseline COMMIT]
# (--quick: 5 seeds instead of 40 and no million-person world). Exit code 77 when the earlier
# commit is not in this clone.
set -euo pipefail
cd "$(dirname "$0")/.."

baseline=7326841
arguments=()
while (($#)); do
  case "$1" in
    --baseline) baseline="$2"; shift 2 ;;
    *) arguments+=("$1"); shift ;;
  esac
done

# The earlier driver from the repository's history.
. bench/build_bench.sh
require_earlier "$baseline"
build_bench vantrel-sim
build_earlier "$earlier_commit" vantrel-sim

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
python3 bench/sim_speed.py "$earlier_build/tools/vantrel-sim" build/bench/tools/vantrel-sim \
  "${earlier_commit:0:7}" ${arguments[@]+"${arguments[@]}"}
