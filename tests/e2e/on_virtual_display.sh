#!/usr/bin/env bash
# Runs one end-to-end Python script on a private virtual display (Xvfb + openbox), bounded by
# a timeout, and ends the display afterwards whatever happened.
# Usage: on_virtual_display.sh SECONDS SCRIPT ARGUMENTS...
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../tools/virtual_display.sh"
seconds="$1"
shift
trap stop_virtual_display EXIT
start_virtual_display 1280x1024x24
timeout "$seconds" python3 "$@"
