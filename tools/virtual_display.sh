# Sourced by play.sh and the end-to-end tests: starts and stops a virtual X display (Xvfb)
# with the openbox window manager, so windows get frames and can be closed like a user does.
# start_virtual_display sets DISPLAY and VIRTUAL_DISPLAY_PIDS; stop_virtual_display ends them.
# Xvfb picks its own free display number (-displayfd), so runs side by side never share one.

# Waits up to $1 seconds for the command in the remaining arguments to succeed.
wait_until_virtual_display() {
  local tenths=$(($1 * 10))
  shift
  until "$@"; do
    tenths=$((tenths - 1))
    if [ "$tenths" -le 0 ]; then
      return 1
    fi
    sleep 0.1
  done
}

# Prints the id of the game's main window ("Vantrel Game ..."), waiting up to 10 s for it;
# prints nothing when it does not appear.
find_game_window() {
  local found=""
  for _ in $(seq 1 100); do
    found=$(xdotool search --name "^Vantrel Game" 2>/dev/null | head -n 1 || true)
    [ -n "$found" ] && break
    sleep 0.1
  done
  echo "$found"
}

virtual_display_number_known() {
  grep -qE '^[0-9]+$' "$VIRTUAL_DISPLAY_DIR/number" 2>/dev/null
}

virtual_display_window_manager_ready() {
  # openbox is ready once it has claimed the screen (it names itself on the root window).
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"
}

start_virtual_display() {
  local size="${1:-1280x1024x24}"
  VIRTUAL_DISPLAY_DIR="$(mktemp -d "${TMPDIR:-/tmp}/virtual-display.XXXXXX")"
  # NOTE: Xvfb writes the number to the descriptor once it accepts connections, not before.
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$VIRTUAL_DISPLAY_DIR/number" \
    >"$VIRTUAL_DISPLAY_DIR/xvfb.log" 2>&1 &
  VIRTUAL_DISPLAY_PIDS="$!"
  if ! wait_until_virtual_display 30 virtual_display_number_known; then
    echo "Xvfb did not start:" >&2
    cat "$VIRTUAL_DISPLAY_DIR/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$(cat "$VIRTUAL_DISPLAY_DIR/number")"
  openbox --sm-disable >"$VIRTUAL_DISPLAY_DIR/openbox.log" 2>&1 &
  VIRTUAL_DISPLAY_PIDS="$! $VIRTUAL_DISPLAY_PIDS"
  # Generous: on a loaded machine openbox's first font and theme lookups can take seconds.
  if ! wait_until_virtual_display 60 virtual_display_window_manager_ready; then
    echo "openbox did not start on $DISPLAY:" >&2
    cat "$VIRTUAL_DISPLAY_DIR/openbox.log" >&2
    return 1
  fi
}

stop_virtual_display() {
  local pid
  for pid in ${VIRTUAL_DISPLAY_PIDS:-}; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in ${VIRTUAL_DISPLAY_PIDS:-}; do
    timeout 10 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -9 "$pid" 2>/dev/null || true
  done
  VIRTUAL_DISPLAY_PIDS=""
  if [ -n "${VIRTUAL_DISPLAY_DIR:-}" ]; then
    rm -rf "$VIRTUAL_DISPLAY_DIR"
    VIRTUAL_DISPLAY_DIR=""
  fi
}
