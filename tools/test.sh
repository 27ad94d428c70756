#!/usr/bin/env bash
# Installs what is missing, checks the sources' format (tools/check_format.sh), builds, and
# runs every test: the unit tests of the sanitizer build and a short game of its own, then the
# unit tests of a clang Release build (another compiler, optimised as users build), then the
# Windows build, then all tests (unit and end-to-end, among them the Windows programs under
# wine) of the native build. Exits non-zero on any failure; the last lines are ctest's summary
# of the native run.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
tools/check_format.sh

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize
# The sanitizer build of the game itself, on a virtual display: exit code 0, standard error empty.
ctest --preset sanitize-game

cmake --preset clang >/dev/null
cmake --build --preset clang
ctest --preset clang

# The Windows build first: the native build's end-to-end tests run its programs under wine.
cmake --preset windows >/dev/null
cmake --build --preset windows

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native
