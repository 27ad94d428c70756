#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it on your display. Without a usable
# display it runs the game on a virtual one for a few seconds instead, saves a screenshot,
# closes the game the way a user does and tells you where the screenshot is.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native --target VantrelGame
game="$PWD/build/native/program/VantrelGame"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$game"
fi

echo "No usable display (DISPLAY='${DISPLAY:-}'): running the game on a virtual one."
. tools/virtual_display.sh
trap stop_virtual_display EXIT
start_virtual_display

"$game" &
game_pid=$!
window=$(find_game_window)
if [ -z "$window" ]; then
  echo "The game window did not appear." >&2
  kill "$game_pid" 2>/dev/null || true
  exit 1
fi

sleep 4
screenshot="$PWD/build/native/screenshot.png"
import -window "$window" "$screenshot"
echo "Caption: $(xdotool getwindowname "$window")"

wmctrl -i -c "$window"
status=0
timeout 5 tail --pid="$game_pid" -f /dev/null || { kill "$game_pid" 2>/dev/null || true; }
wait "$game_pid" || status=$?
echo "The game ended with exit code $status."
echo "Screenshot: $screenshot"
exit "$status"
