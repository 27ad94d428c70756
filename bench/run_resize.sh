#!/usr/bin/env bash
# Measures how long the game's picture lags its window after a burst of 60 resizes, on its own
# Xvfb with openbox (bench/resize_catchup.py). Builds the native preset's game first.
# Usage: bench/run_resize.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target VantrelGame >/dev/null
. tools/virtual_display.sh
trap stop_virtual_display EXIT
start_virtual_display 1280x1024x24
python3 bench/resize_catchup.py build/native/program/VantrelGame "${1:-5}"
