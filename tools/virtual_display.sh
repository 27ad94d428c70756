# Sourced by play.sh and the end-to-end tests: starts and stops a virtual X display (Xvfb)
# with the openbox window manager, so windows get frames and can be closed like a user does.
# start_virtual_display sets DISPLAY and VIRTUAL_DISPLAY_PIDS; stop_virtual_display ends them.

start_virtual_display() {
  local size="${1:-1280x1024x24}"
  local number
  for number in $(seq 90 130); do
    if [ ! -e "/tmp/.X${number}-lock" ] && [ ! -e "/tmp/.X11-unix/X${number}" ]; then
      break
    fi
  done
  Xvfb ":${number}" -screen 0 "$size" -nolisten tcp >/dev/null 2>&1 &
  VIRTUAL_DISPLAY_PIDS="$!"
  export DISPLAY=":${number}"
  local waited=0
  until xdpyinfo >/dev/null 2>&1; do
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -ge 100 ]; then
      echo "Xvfb did not start on $DISPLAY" >&2
      return 1
    fi
  done
  openbox --sm-disable >/dev/null 2>&1 &
  VIRTUAL_DISPLAY_PIDS="$! $VIRTUAL_DISPLAY_PIDS"
  # openbox is ready once it has claimed the screen (it names itself on the root window).
  waited=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -ge 100 ]; then
      echo "openbox did not start on $DISPLAY" >&2
      return 1
    fi
  done
}

stop_virtual_display() {
  local pid
  for pid in ${VIRTUAL_DISPLAY_PIDS:-}; do
    kill "$pid" 2>/dev/null || true
  done
  # Wait for the server to go, so the next one can take a display number cleanly.
  for pid in ${VIRTUAL_DISPLAY_PIDS:-}; do
    timeout 5 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -9 "$pid" 2>/dev/null || true
  done
  VIRTUAL_DISPLAY_PIDS=""
}
