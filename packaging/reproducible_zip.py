#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on the files' names and contents.

Every file under ROOT goes into ZIP under FOLDER/, in sorted order, with the time EPOCH (seconds
since 1970, UTC; zip cannot hold times before 1980), mode 0644 or 0755, and no extra fields
(no access or change times, no owner). Usage: reproducible_zip.py ZIP EPOCH ROOT FOLDER
"""
import os
import sys
import time
import zipfile

ZIP_EPOCH_FLOOR = 315532800  # 1980-01-01T00:00:00Z


def entries(root):
    found = []
    for directory, _, files in os.walk(root):
        for name in files:
            path = os.path.join(directory, name)
            found.append((os.path.relpath(path, root).replace(os.sep, "/"), path))
    return sorted(found)


def main():
    output, epoch, root, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    date_time = time.gmtime(max(epoch, ZIP_EPOCH_FLOOR))[:6]
    with zipfile.ZipFile(output, "w") as archive:
        for name, path in entries(root):
            info = zipfile.ZipInfo(folder + "/" + name, date_time)
            info.create_system = 3  # Unix, so the modes below mean what they say
            mode = 0o755 if os.access(path, os.X_OK) else 0o644
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as file:
                archive.writestr(info, file.read(), compresslevel=9)


if __name__ == "__main__":
    main()
