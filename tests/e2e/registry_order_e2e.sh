#!/usr/bin/env bash
# Runs registry_order_e2e.py against the game with the recording world registry on a private
# virtual display (Xvfb + openbox). Usage: registry_order_e2e.sh GAME_BINARY
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../tools/virtual_display.sh"
trap stop_virtual_display EXIT
start_virtual_display 1280x1024x24
timeout 150 python3 "$here/registry_order_e2e.py" "$1"
