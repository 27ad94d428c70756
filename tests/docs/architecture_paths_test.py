#!/usr/bin/env python3
"""docs/architecture.md stays true: every file or folder it names in backticks exists, and the
README links to it. Usage: architecture_paths_test.py REPOSITORY"""
import os
import re
import sys


def main():
    root = sys.argv[1]
    with open(os.path.join(root, "docs", "architecture.md")) as f:
        text = f.read()
    named = sorted({m for m in re.findall(r"`([^`\s]+)`", text)
                    if "/" in m and re.match(r"^[\w.\-/]+$", m)})
    missing = [path for path in named if not os.path.exists(os.path.join(root, path))]
    for path in missing:
        print("FAIL docs/architecture.md names %s, which does not exist" % path)
    print("%d paths named, %d missing" % (len(named), len(missing)))
    with open(os.path.join(root, "README.md")) as f:
        linked = "docs/architecture.md" in f.read()
    if not linked:
        print("FAIL the README does not link docs/architecture.md")
    sys.exit(1 if missing or not linked or len(named) < 20 else 0)


if __name__ == "__main__":
    main()
