#!/usr/bin/env python3
"""tools/record_outbreak.sh on a short recording: an animated GIF of the real game's window.

Records six seconds of the built game and reads the GIF back with ImageMagick: one frame per
capture at the window's size, the persons moving from frame to frame, all white at the start
and patient zero's red in a later frame, the last frame held.
Usage: record_outbreak_test.py GAME OUTPUT_DIR
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import check, failures  # noqa: E402

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")


def frames(gif):
    """Every frame as it is shown (coalesced), as raw RGB bytes."""
    size = subprocess.run(["identify", "-format", "%W %H %T\n", gif], capture_output=True,
                          text=True, timeout=60).stdout.split("\n")
    info = [line.split() for line in size if line]
    width, height = int(info[0][0]), int(info[0][1])
    raw = subprocess.run(["convert", gif, "-coalesce", "-depth", "8", "rgb:-"],
                         capture_output=True, timeout=120).stdout
    step = width * height * 3
    return width, height, [int(i[2]) for i in info], [raw[i:i + step] for i in range(0, len(raw), step)]


def count(frame, wanted):
    return sum(1 for i in range(0, len(frame), 3) if wanted(frame[i], frame[i + 1], frame[i + 2]))


def main():
    game, folder = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    gif = os.path.join(folder, "outbreak.gif")
    result = subprocess.run([os.path.join(ROOT, "tools", "record_outbreak.sh"), "-g", game, "-s", "6",
                             "-i", "0.5", "-o", gif], capture_output=True, text=True, timeout=150)
    print(result.stdout + result.stderr)
    if not check(result.returncode == 0 and os.path.isfile(gif), "the script writes the GIF"):
        return
    width, height, delays, shots = frames(gif)
    check((width, height) == (792, 673), f"frames of the window's size ({width} x {height})")
    check(len(shots) == 13, f"one frame per capture, 0 to 6 s every 0.5 s ({len(shots)})")
    check(delays[:-1] == [8] * (len(delays) - 1) and delays[-1] == 200,
          f"played at 12.5 frames a second, the last held for 2 s ({sorted(set(delays))})")
    white = [count(f, lambda r, g, b: r > 200 and g > 200 and b > 200) for f in shots]
    red = [count(f, lambda r, g, b: r > 200 and g < 60 and b < 60) for f in shots]
    check(white[0] > 2000 and red[0] == 0, f"the start: white persons, nobody red ({white[0]}, {red[0]})")
    check(any(red[1:]), f"patient zero turns red in a later frame ({red})")
    check(all(a != b for a, b in zip(shots, shots[1:-1])), "the persons move between frames")
    check(os.path.getsize(gif) < 2_000_000, f"small ({os.path.getsize(gif)} bytes)")


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
