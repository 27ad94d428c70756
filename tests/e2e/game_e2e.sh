#!/usr/bin/env bash
# Runs game_e2e.py against the real game on a private virtual display (Xvfb + openbox).
# Usage: game_e2e.sh GAME_BINARY SCREENSHOT_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../tools/virtual_display.sh"
trap stop_virtual_display EXIT
start_virtual_display 1280x1024x24
timeout 120 python3 "$here/game_e2e.py" "$1" "$2"
