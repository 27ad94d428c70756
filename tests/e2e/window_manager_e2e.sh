#!/usr/bin/env bash
# Runs one window_manager_e2e.py command against the game with the recording world registry on
# a private virtual display (Xvfb + openbox). Usage: window_manager_e2e.sh COMMAND GAME_BINARY
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../tools/virtual_display.sh"
trap stop_virtual_display EXIT
start_virtual_display 1280x1024x24
timeout 170 python3 "$here/window_manager_e2e.py" "$1" "$2"
