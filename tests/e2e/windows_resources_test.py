#!/usr/bin/env python3
"""The Windows executable carries its icon and its version block.

Reads the exe's resource directory with x86_64-w64-mingw32-objdump -p, finds every image of
program/icon/vantrel-game.ico in it byte for byte, and parses the VS_VERSIONINFO block: the
product, author and version must be the words of the caption in program/UnitMain.h.
Usage: windows_resources_test.py EXE...
"""
import os
import re
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import check, failures  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16


def resource_types(exe):
    listing = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], capture_output=True,
                             text=True, timeout=60).stdout
    table = listing.split("The .rsrc Resource Directory section:")[-1]
    # The type table's entries are the least indented ones under the section heading.
    return {int(m.group(1), 16) for m in re.finditer(r"^\S+   Entry: ID: (0x[0-9a-f]+)", table,
                                                     re.M)}


def ico_images(path):
    data = open(path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    images = []
    for i in range(count):
        width, _, _, _, _, _, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images.append((width or 256, data[offset:offset + size]))
    return kind, images


def version_block(exe):
    """(fixed file info as (major, minor), {string name: value}) of the exe's version block."""
    data = open(exe, "rb").read()
    key = "VS_VERSION_INFO".encode("utf-16-le") + b"\0\0"
    start = data.find(key) - 6
    if start < 0:
        return None, {}

    def align(offset):
        return start + ((offset - start + 3) & ~3)

    def node(offset):
        length, value_length, kind = struct.unpack_from("<HHH", data, offset)
        end_key = offset + 6
        while data[end_key:end_key + 2] != b"\0\0":
            end_key += 2
        name = data[offset + 6:end_key].decode("utf-16-le")
        value_at = align(end_key + 2)
        value_size = value_length * 2 if kind == 1 else value_length
        value = data[value_at:value_at + value_size]
        children, child = [], align(value_at + value_size)
        while child < offset + length:
            children.append(node(child))
            child = align(child + struct.unpack_from("<H", data, child)[0])
        return name, kind, value, children

    _, _, fixed, children = node(start)
    signature, _, file_ms = struct.unpack_from("<III", fixed, 0)
    version = (file_ms >> 16, file_ms & 0xFFFF) if signature == 0xFEEF04BD else None
    strings = {}
    for name, _, _, tables in children:
        if name == "StringFileInfo":
            for _, _, _, entries in tables:
                for entry_name, _, value, _ in entries:
                    strings[entry_name] = value.decode("utf-16-le").rstrip("\0")
    return version, strings


def main():
    header = open(os.path.join(ROOT, "program", "UnitMain.h")).read()
    caption = re.search(r'kStoredCaption = "([^"]*)"', header).group(1)
    kind, images = ico_images(os.path.join(ROOT, "program", "icon", "vantrel-game.ico"))
    check(kind == 1 and sorted(size for size, _ in images) == [16, 32, 48, 256],
          "the .ico holds 16, 32, 48 and 256 pixel images")
    for exe in sys.argv[1:]:
        name = os.path.basename(exe)
        types = resource_types(exe)
        check({RT_ICON, RT_GROUP_ICON, RT_VERSION} <= types,
              f"{name}: icon, icon group and version resources ({sorted(types)})")
        data = open(exe, "rb").read()
        check(all(image in data for _, image in images),
              f"{name}: every image of the icon, byte for byte")
        version, strings = version_block(exe)
        check(version == (0, 12), f"{name}: file version 0.12 in the fixed block ({version})")
        words = "%s (by %s) version %s" % (strings.get("ProductName"), strings.get("CompanyName"),
                                           strings.get("ProductVersion"))
        check(words == caption, f"{name}: product, author and version are the caption's ({words!r})")
        check(strings.get("ProductName") == "Vantrel Game" and
              strings.get("FileDescription") == "Vantrel Game" and
              strings.get("FileVersion") == "0.12" and
              strings.get("OriginalFilename") == "VantrelGame.exe",
              f"{name}: the version strings ({strings})")


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
