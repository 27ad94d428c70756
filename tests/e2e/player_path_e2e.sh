#!/usr/bin/env bash
# Runs player_path_test.py on a private virtual display (Xvfb + openbox): the README's commands
# for players, from a fresh copy of the checkout. Usage: player_path_e2e.sh WORK_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../tools/virtual_display.sh"
trap stop_virtual_display EXIT
start_virtual_display 1280x1024x24
timeout 1700 python3 "$here/player_path_test.py" "$@"
