#!/usr/bin/env bash
# Runs trace_e2e.py on a private virtual display (Xvfb + openbox).
# Usage: trace_e2e.sh TRACE_GAME VANTREL_SIM DUMP_DIR [GLX_PROBE]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../tools/virtual_display.sh"
trap stop_virtual_display EXIT
start_virtual_display 1280x1024x24
timeout 300 python3 "$here/trace_e2e.py" "$@"
