#!/usr/bin/env bash
# Records the real game on a virtual display (Xvfb with openbox) from its start through an
# outbreak (patient zero, the spreading, the crosses of the dead and the graves) into a small
# animated GIF, as the README shows it. Nothing is drawn by hand: every frame is a capture of
# the game's window, taken every INTERVAL seconds and played back faster.
#
# Usage: tools/record_outbreak.sh [-g GAME] [-s SECONDS] [-i INTERVAL] [-o OUTPUT.gif]
#   -g GAME      the game to record (default: build the game, Release, and record that)
#   -s SECONDS   how long to record the game (default 40)
#   -i INTERVAL  seconds between two captures (default 0.5); the GIF shows each for 1/12 s
#   -o OUTPUT    the GIF to write (default docs/outbreak.gif)
set -euo pipefail
cd "$(dirname "$0")/.."

game=""
seconds=40
interval=0.5
output="docs/outbreak.gif"
while getopts "g:s:i:o:" option; do
  case "$option" in
    g) game="$OPTARG" ;;
    s) seconds="$OPTARG" ;;
    i) interval="$OPTARG" ;;
    o) output="$OPTARG" ;;
    *) sed -n '7,11p' "$0" >&2; exit 2 ;;
  esac
done
if [ -z "$game" ]; then
  tools/setup.sh game display
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF >/dev/null
  cmake --build build/release --target VantrelGame
  game="$PWD/build/release/program/VantrelGame"
fi

frames="$(mktemp -d "${TMPDIR:-/tmp}/outbreak-frames.XXXXXX")"
game_pid=""
finish() {
  if [ -n "$game_pid" ]; then
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
  fi
  stop_virtual_display
  rm -rf "$frames"
}
. tools/virtual_display.sh
trap finish EXIT
start_virtual_display 1280x1024x24

"$game" &
game_pid=$!
window=$(find_game_window)
viewable() { xwininfo -id "$window" 2>/dev/null | grep -q "Map State: IsViewable"; }
if [ -z "$window" ] || ! wait_until_virtual_display 10 viewable; then
  echo "The game window did not appear." >&2
  exit 1
fi
# The window is mapped before the game's first paint; the recording starts with the persons.
painted() {
  [ "$(xwd -silent -id "$window" | convert xwd:- -format '%[fx:maxima>0]' info: 2>/dev/null)" = 1 ]
}
if ! wait_until_virtual_display 10 painted; then
  echo "The game did not paint its window." >&2
  exit 1
fi

# xwd is the fastest grab here (no encoding while recording); each capture is timed from the
# start, so a slow grab shortens the next pause instead of stretching the recording.
count=$(awk -v s="$seconds" -v i="$interval" 'BEGIN { print int(s / i + 0.5) + 1 }')
start=$(date +%s.%N)
for n in $(seq 0 $((count - 1))); do
  xwd -silent -id "$window" -out "$(printf '%s/%04d.xwd' "$frames" "$n")"
  pause=$(awk -v s="$start" -v n="$n" -v i="$interval" -v now="$(date +%s.%N)" \
    'BEGIN { p = s + (n + 1) * i - now; print (p > 0 ? p : 0) }')
  sleep "$pause"
done

wmctrl -i -c "$window"
timeout 5 tail --pid="$game_pid" -f /dev/null || true

# The game's few colours fit a small palette; unchanged pixels become transparent in each
# frame, which keeps a mostly black field small. The last frame stays up for two seconds.
mkdir -p "$(dirname "$output")"
convert -delay 8 "$frames"/*.xwd -dither None -colors 16 \
  \( +clone -set delay 200 \) +swap +delete \
  -layers OptimizeTransparency -loop 0 "$output"
echo "Recorded $count frames over $seconds s: $output ($(stat -c %s "$output") bytes)"
