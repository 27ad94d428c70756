#!/usr/bin/env python3
"""The committed OpenGL tables are exactly what tools/generate_opengl_api.py makes of the
installed glcorearb.h and mingw-w64 gl.h: run it into a scratch folder and compare every file
it writes byte for byte with the repository's copy.
Usage: generate_opengl_api_test.py
"""
import filecmp
import os
import subprocess
import sys
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")

with tempfile.TemporaryDirectory() as scratch:
    written = subprocess.run([sys.executable, os.path.join(ROOT, "tools", "generate_opengl_api.py"),
                              "--output", scratch],
                             capture_output=True, text=True, check=True).stdout.split()
    differing = [path for path in written
                 if not filecmp.cmp(os.path.join(scratch, path), os.path.join(ROOT, path),
                                    shallow=False)]
    print(f"{len(written)} files generated; differing from the repository: {differing or 'none'}")
    sys.exit(1 if differing or len(written) < 7 else 0)
