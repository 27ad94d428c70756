#!/usr/bin/env bash
# Measures what tools/setup.sh would install on a stock Debian 12 GNOME desktop: packages and
# installed megabytes for the game's set (play.sh) and for the test set (test.sh). Needs only
# apt's package lists (apt-get update) and runs as any user; it installs nothing.
#
# The stock desktop is modelled as the installer leaves it with "Debian desktop environment",
# "GNOME" and "standard system utilities" ticked: every package of priority required,
# important or standard, and task-gnome-desktop with its recommends, all resolved by
# apt-get -s against an empty system. Those packages are written as installed into a dpkg
# status file of its own, and each set is then resolved by apt-get -s against that status
# (without recommends, as setup.sh installs), summing Installed-Size of what it would add.
set -euo pipefail
cd "$(dirname "$0")/.."

work="$(mktemp -d "${TMPDIR:-/tmp}/install-sets.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# "Inst name (version ...)" lines of apt-get -s, as name=version.
installs() {
  grep '^Inst ' | awk '{ version = $3; gsub(/[()]/, "", version); print $2 "=" version }'
}

base=$(apt-cache dumpavail | awk -v RS= '/\nPriority: (required|important|standard)\n/ {
  match($0, /^Package: [^\n]+/); print substr($0, 10, RLENGTH - 9) }' | sort -u)
# shellcheck disable=SC2086
apt-get -s -o Dir::State::status=/dev/null install $base task-gnome-desktop 2>/dev/null |
  installs >"$work/desktop"
xargs apt-cache show --no-all-versions <"$work/desktop" 2>/dev/null |
  awk '/^Package: / { print; print "Status: install ok installed"; next } { print }' \
    >"$work/status"
echo "stock desktop: $(wc -l <"$work/desktop") packages"

for purpose in game test; do
  # shellcheck disable=SC2046
  apt-get -s --no-install-recommends -o Dir::State::status="$work/status" install \
    $(tools/setup.sh --list "$purpose") 2>/dev/null | installs >"$work/$purpose"
  kilobytes=$(xargs apt-cache show --no-all-versions <"$work/$purpose" 2>/dev/null |
    awk '/^Installed-Size:/ { sum += $2 } END { print sum + 0 }')
  echo "$purpose set: $(wc -l <"$work/$purpose") packages, $((kilobytes / 1024)) MB installed"
done
