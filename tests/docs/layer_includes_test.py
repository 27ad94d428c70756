#!/usr/bin/env python3
"""The layers depend downward only (docs/architecture.md, Layers): every #include "layer/..."
of a source file is of its own layer or one it may use, and the simulation and pacing layers
include no system header beyond the C++ standard library's (no platform, X11, GL or POSIX
header). The libraries alone would not catch a wrong-way include: test programs link several
layers at once. Usage: layer_includes_test.py REPOSITORY"""
import os
import re
import sys

# What each layer may include: whole layers, or single headers of another layer.
ALLOWED = {
    "runtime": {"runtime"},
    "platform": {"platform", "runtime"},
    "pacing": {"pacing", "runtime", "platform/platform_time.h"},
    "opengl": {"opengl", "platform", "runtime"},
    # Drawing goes through the OpenGL 1.0/1.1 entry-point variables, nothing else of opengl.
    "simulation": {"simulation", "pacing", "runtime",
                   "opengl/unit_opengl_api_100_routines_version_011.h",
                   "opengl/unit_opengl_api_110_routines_version_011.h"},
    "program": {"program", "simulation", "pacing", "opengl", "platform", "runtime"},
    "tools": {"tools", "simulation", "pacing", "opengl", "platform", "runtime"},
}
PORTABLE = {"simulation", "pacing"}
STANDARD_HEADER = re.compile(r"^[a-z_]+$")  # <vector>, <cstdio>: no extension, no folder


def main():
    root = sys.argv[1]
    wrong = []
    checked = 0
    for layer, allowed in ALLOWED.items():
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in files:
                if not name.endswith((".cpp", ".h", ".inc")):
                    continue
                path = os.path.join(folder, name)
                shown = os.path.relpath(path, root)
                checked += 1
                with open(path, errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        local = re.match(r'\s*#\s*include\s+"([^"]+)"', line)
                        system = re.match(r"\s*#\s*include\s+<([^>]+)>", line)
                        if local:
                            target = local.group(1)
                            if target.split("/")[0] not in allowed and target not in allowed:
                                wrong.append("%s:%d includes %s" % (shown, number, target))
                        elif system and layer in PORTABLE and \
                                not STANDARD_HEADER.match(system.group(1)):
                            wrong.append("%s:%d includes the system header <%s>"
                                         % (shown, number, system.group(1)))
    for entry in wrong:
        print("FAIL " + entry)
    print("%d files checked, %d wrong-way includes" % (checked, len(wrong)))
    sys.exit(1 if wrong or checked < 100 else 0)


if __name__ == "__main__":
    main()
