#!/usr/bin/env bash
# Runs one wine_e2e.py check on a private virtual display (Xvfb + openbox), then ends every
# wine process of the run's prefix ($VANTREL_WINEPREFIX) and the display. It finds wine's
# loader for the Python checks ($VANTREL_WINE).
# Usage: wine_e2e.sh COMMAND ARGUMENTS...
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../tools/virtual_display.sh"
: "${VANTREL_WINEPREFIX:?the wine prefix of this test run}"
# NOTE: Debian's wine64 package keeps its loader in wine's own folder, not on PATH.
VANTREL_WINE="$(dpkg -L wine64 | grep -E '/wine64$' | grep -v /share/ | head -1)"
if [ ! -x "$VANTREL_WINE" ]; then
  echo "wine64 loader not found (dpkg -L wine64)" >&2
  exit 1
fi
export VANTREL_WINE
wineserver="$(dirname "$VANTREL_WINE")/wineserver"

finish() {
  # NOTE: wine's desktop process stays connected to this display until its server goes.
  WINEPREFIX="$VANTREL_WINEPREFIX" timeout 20 "$wineserver" -k 2>/dev/null || true
  WINEPREFIX="$VANTREL_WINEPREFIX" timeout 20 "$wineserver" -w 2>/dev/null || true
  stop_virtual_display
}
trap finish EXIT
start_virtual_display 1280x1024x24
timeout 600 python3 "$here/wine_e2e.py" "$@"
