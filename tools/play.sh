#!/usr/bin/env bash
# Installs what building and running the game needs, when missing, builds the game and the
# headless driver vantrel-sim (Release, no tests) and starts the game on your display. Without
# a usable display it also installs a virtual one, runs the game there for a few seconds, saves
# a screenshot, closes the game the way a user does and tells you where the screenshot is.
set -euo pipefail
cd "$(dirname "$0")/.."

# A display answers when xdpyinfo reaches it; without xdpyinfo, a set DISPLAY is taken on trust.
display_usable() {
  [ -n "${DISPLAY:-}" ] || return 1
  if command -v xdpyinfo >/dev/null; then
    xdpyinfo >/dev/null 2>&1
  fi
}

if display_usable; then
  tools/setup.sh game
else
  tools/setup.sh game display
fi
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target VantrelGame vantrel-sim
game="$PWD/build/release/program/VantrelGame"

if display_usable; then
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
screenshot="$PWD/build/release/screenshot.png"
import -window "$window" "$screenshot"
echo "Caption: $(xdotool getwindowname "$window")"

wmctrl -i -c "$window"
status=0
timeout 5 tail --pid="$game_pid" -f /dev/null || { kill "$game_pid" 2>/dev/null || true; }
wait "$game_pid" || status=$?
echo "The game ended with exit code $status."
echo "Screenshot: $screenshot"
exit "$status"
