#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests of the sanitizer
# build, then all tests (unit and end-to-end) of the native build. Exits non-zero on any
# failure; the last lines are ctest's summary of the native run.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native
