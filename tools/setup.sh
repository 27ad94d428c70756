#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and playing need, when missing.
# Runs apt-get as root (through sudo when started by another user).
set -euo pipefail

packages=(
  # build and unit tests, and the check of the sources' format
  g++ clang cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev clang-format
  # the exact reference of the trigonometry test
  libmpfr-dev
  # the Linux game: Xlib, GLX and Mesa's software rasterizer
  libx11-dev libgl-dev libgl1-mesa-dri libglx-mesa0
  # a virtual display and the tools that drive and inspect windows in the end-to-end tests
  xvfb x11-utils x11-apps xdotool wmctrl openbox imagemagick xfonts-base python3
  # checking the installed desktop entry
  desktop-file-utils
  # the Windows build and running it
  g++-mingw-w64-x86-64-posix wine64 zip
  # profiling the benchmarks, and counting the start-up's instructions (bench/run_startup.sh)
  linux-perf valgrind
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
