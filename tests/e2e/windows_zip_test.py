#!/usr/bin/env python3
"""The README's Windows zip command, run twice from two fresh copies of the checkout in
different folders (no compiler cache): the exe, the zip and SHA256SUMS must be byte for byte
the same. Also checks the zip's contents (the exe, the licence, the how-to-play text with the
photosensitivity warning, in one folder), that every entry carries SOURCE_DATE_EPOCH as its
time, and that the exe has no PE time stamp. Usage: windows_zip_test.py WORK_DIR
"""
import calendar
import filecmp
import os
import struct
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import check, failures  # noqa: E402
from fresh_checkout import ROOT, fresh_copy  # noqa: E402

# Verbatim from the README (tests/docs/readme_commands_test.py holds the README to it).
README_ZIP = "cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release && cmake --build build/win64 --target package"  # noqa: E501
FOLDER = "VantrelGame-0.12-win64"
ZIP = FOLDER + ".zip"
EPOCH = 1765324800  # 2025-12-10T00:00:00Z


def build(source):
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(EPOCH), CCACHE_DISABLE="1")
    env.pop("CMAKE_CXX_COMPILER_LAUNCHER", None)
    result = subprocess.run(["bash", "-c", README_ZIP], cwd=source, env=env,
                            capture_output=True, text=True, timeout=1200)
    if not check(result.returncode == 0, f"the README's zip command works in {source}"):
        print(result.stdout[-3000:], result.stderr[-3000:])
        return None
    return os.path.join(source, "build", "win64")


def pe_time_stamp(path):
    with open(path, "rb") as file:
        data = file.read(4096)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    # The COFF header follows the "PE\0\0" signature: machine, sections, then the time stamp.
    return data[pe:pe + 4], struct.unpack_from("<I", data, pe + 8)[0]


def main():
    work = sys.argv[1]
    os.makedirs(work, exist_ok=True)
    with tempfile.TemporaryDirectory(dir=work) as scratch:
        builds = [build(fresh_copy(os.path.join(scratch, name))) for name in ("one", "copy-two")]
        if None in builds:
            return
        first, second = builds
        exe = os.path.join("program", "VantrelGame.exe")
        for name in (exe, ZIP, "SHA256SUMS"):
            check(filecmp.cmp(os.path.join(first, name), os.path.join(second, name),
                              shallow=False), f"both builds give the same bytes: {name}")
        signature, stamp = pe_time_stamp(os.path.join(first, exe))
        check(signature == b"PE\0\0" and stamp == 0, f"no PE time stamp ({stamp})")
        sums = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=first, capture_output=True,
                              text=True)
        check(sums.returncode == 0 and sums.stdout.strip() == f"{ZIP}: OK",
              f"SHA256SUMS checks the zip {sums.stdout.strip()!r}")
        with zipfile.ZipFile(os.path.join(first, ZIP)) as archive:
            infos = archive.infolist()
            names = [info.filename for info in infos]
            check(names == [f"{FOLDER}/HOW-TO-PLAY.txt", f"{FOLDER}/LICENSE.txt",
                            f"{FOLDER}/VantrelGame.exe"], f"the zip holds {names}")
            times = {calendar.timegm(info.date_time + (0, 0, 0)) for info in infos}
            check(times == {EPOCH} and all(not info.extra for info in infos),
                  "every entry has SOURCE_DATE_EPOCH as its time and no other times")
            check(archive.read(f"{FOLDER}/VantrelGame.exe") ==
                  open(os.path.join(first, exe), "rb").read(), "the exe is the one built")
            check(archive.read(f"{FOLDER}/LICENSE.txt") ==
                  open(os.path.join(ROOT, "LICENSE"), "rb").read(), "the licence is the MIT one")
            how_to = archive.read(f"{FOLDER}/HOW-TO-PLAY.txt").decode()
            check("flashes rapidly" in how_to and "photosensitive" in how_to,
                  "the how-to-play text warns of the flashing")


if __name__ == "__main__":
    main()
    print(f"{len(failures)} failed")
    sys.exit(1 if failures else 0)
