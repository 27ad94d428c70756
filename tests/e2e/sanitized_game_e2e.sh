#!/usr/bin/env bash
# Runs sanitized_game_e2e.py against the sanitizer build of the game on a private virtual
# display (Xvfb + openbox).
# Usage: sanitized_game_e2e.sh GAME UNLOADED_LIBRARY_MARKER LSAN_SUPPRESSIONS
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../tools/virtual_display.sh"
trap stop_virtual_display EXIT
start_virtual_display 1280x1024x24
timeout 150 python3 "$here/sanitized_game_e2e.py" "$@"
