#!/usr/bin/env bash
# Installs the Debian 12 packages that a purpose needs, when missing, through apt-get (with sudo
# when started by another user than root). Usage: tools/setup.sh [--list] [PURPOSE]...
#   game     building and running the game (what play.sh installs)
#   display  a virtual display, for play.sh without a screen and for the outbreak recorder
#   test     everything tools/test.sh needs: the two above, tests, the cross build, benchmarks
# Without a purpose it installs the test set. Before asking for sudo it says in one line what
# it installs and why, and it shows apt's progress. --list prints the purposes' packages, one a
# line, and installs nothing.
set -euo pipefail

game=(
  # a compiler and the build tools
  g++ make cmake ninja-build
  # the Linux game: Xlib, GLX and Mesa's software rasterizer
  libx11-dev libgl-dev libgl1-mesa-dri libglx-mesa0
)
display=(
  # a virtual display with a window manager, and the tools that find, shoot and close windows
  xvfb openbox xfonts-base x11-utils x11-apps xdotool wmctrl imagemagick
)
test=(
  # the second compiler, the unit tests and the benchmarks, and the check of the sources' format
  clang libgtest-dev libgmock-dev libbenchmark-dev clang-format
  # the exact reference of the trigonometry test
  libmpfr-dev
  # the end-to-end scripts and the installed desktop entry's check
  python3 desktop-file-utils
  # the Windows build and running it
  g++-mingw-w64-x86-64-posix wine64
  # checking the Debian package and its software-centre entry
  lintian appstream
  # profiling the benchmarks, and counting the start-up's instructions (bench/run_startup.sh)
  linux-perf valgrind
  # the README's sweeps of seed ranges over several processes or machines
  parallel
)

declare -A reasons=(
  [game]="to build and run the game"
  [display]="for a virtual display"
  [test]="to build and run every test"
)

list=false
if [ "${1:-}" = "--list" ]; then
  list=true
  shift
fi
purposes=("$@")
if [ ${#purposes[@]} -eq 0 ]; then
  purposes=(test)
fi
wanted=()
why=()
for purpose in "${purposes[@]}"; do
  case "$purpose" in
    game) wanted+=("${game[@]}") ;;
    display) wanted+=("${display[@]}") ;;
    test) wanted+=("${game[@]}" "${display[@]}" "${test[@]}") ;;
    *) echo "usage: $0 [--list] [game|display|test]..." >&2; exit 2 ;;
  esac
  why+=("${reasons[$purpose]}")
done
if $list; then
  printf '%s\n' "${wanted[@]}" | sort -u
  exit 0
fi

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
how="as root"
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
  how="through sudo"
fi
reason="$(printf '%s and ' "${why[@]}")"
echo "Installing ${#missing[@]} Debian packages ${reason% and } (apt-get ${how}): ${missing[*]}"
$sudo apt-get update
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
