#!/usr/bin/env python3
"""The committed icon files are exactly what tools/make_icon.py draws: run it into a scratch
folder and compare every file byte for byte with the repository's copy.
Usage: make_icon_test.py
"""
import filecmp
import os
import subprocess
import sys
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")

with tempfile.TemporaryDirectory() as scratch:
    written = subprocess.run([sys.executable, os.path.join(ROOT, "tools", "make_icon.py"), scratch],
                             capture_output=True, text=True, check=True).stdout.split()
    differing = [path for path in written
                 if not filecmp.cmp(os.path.join(scratch, path), os.path.join(ROOT, path),
                                    shallow=False)]
    print(f"{len(written)} files drawn; differing from the repository: {differing or 'none'}")
    sys.exit(1 if differing or len(written) < 8 else 0)
