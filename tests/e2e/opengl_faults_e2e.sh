#!/usr/bin/env bash
# Runs opengl_faults_e2e.py on a private virtual display (Xvfb + openbox).
# Usage: opengl_faults_e2e.sh GAME BROKEN_LIBGL_DIR WORK_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../tools/virtual_display.sh"
trap stop_virtual_display EXIT
start_virtual_display 1280x1024x24
timeout 240 python3 "$here/opengl_faults_e2e.py" "$@"
