#!/usr/bin/env bash
# Runs player_inputs.py against the Linux trace game on a private virtual display (Xvfb +
# openbox). Usage: inputs_e2e.sh TRACE_GAME VANTREL_SIM OUT_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../tools/virtual_display.sh"
trap stop_virtual_display EXIT
start_virtual_display 1280x1024x24
timeout 500 python3 "$here/player_inputs.py" "$@"
