#!/usr/bin/env bash
# Checks that the project's own C++ sources follow its .clang-format: clang-format --dry-run
# --Werror over every .cpp, .h and .inc outside the build folders. Run by tools/test.sh.
# Generated files pass as their generators write them: they keep their own layout inside
# "clang-format off" regions (tools/generate_opengl_api.py, tools/make_icon.py).
set -euo pipefail
cd "$(dirname "$0")/.."
find . \( -path './build*' -o -path './.git' \) -prune -o \
  \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' \) -print0 |
  sort -z | xargs -0 clang-format --dry-run --Werror
echo "sources follow .clang-format"
