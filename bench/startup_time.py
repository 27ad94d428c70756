#!/usr/bin/env python3
"""Exec-to-first-painted-frame of two builds of the game (run by run_startup.sh on Xvfb +
openbox). Each round starts each game once, alternating, with first_frame_probe preloaded: it
notes the time when the first buffer swap has reached the X server, and ends the game. Prints
every round and, per game, the median and the best of the wall time from exec to that frame,
the CPU time the game used until then, and its framebuffer-configuration fetches; then the
instructions each game executed until that frame, counted by callgrind once (they do not
depend on how busy the machine is).
Usage: startup_time.py PROBE ROUNDS [--without-instructions] LABEL=GAME...
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time


def once(game, probe, path):
    if os.path.exists(path):
        os.remove(path)
    env = dict(os.environ, LD_PRELOAD=probe, VANTREL_FIRST_FRAME_FILE=path)
    started = time.monotonic_ns()
    subprocess.run([game], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=60)
    with open(path) as f:
        frame, cpu, fetches = (int(v) for v in f.read().split())
    return (frame - started) / 1e6, cpu / 1e6, fetches


def instructions(game, probe, path):
    """The instructions the game executes until its first frame, under callgrind."""
    out = path + ".callgrind"
    env = dict(os.environ, LD_PRELOAD=probe, VANTREL_FIRST_FRAME_FILE=path)
    subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out, game], env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=600)
    with open(out) as f:
        return int(re.search(r"^(?:summary|totals): (\d+)", f.read(), re.M).group(1))


def main():
    probe, rounds = sys.argv[1], int(sys.argv[2])
    count_instructions = "--without-instructions" not in sys.argv
    games = [argument.split("=", 1) for argument in sys.argv[3:] if "=" in argument]
    results = {label: [] for label, _ in games}
    path = os.path.join(tempfile.mkdtemp(prefix="startup."), "frame")
    for n in range(rounds):
        for label, game in games:
            wall, cpu, fetches = once(game, probe, path)
            results[label].append((wall, cpu, fetches))
            print("round %d %s: %.1f ms to the first frame, %.1f ms CPU, %d fetches"
                  % (n + 1, label, wall, cpu, fetches), flush=True)
    print()
    print("| game | exec to first frame, median (ms) | best (ms) | CPU until then, median (ms) "
          "| configuration fetches |")
    print("|---|---:|---:|---:|---:|")
    for label, _ in games:
        walls = [r[0] for r in results[label]]
        cpus = [r[1] for r in results[label]]
        print("| %s | %.0f | %.0f | %.0f | %d |" % (label, statistics.median(walls), min(walls),
                                                    statistics.median(cpus),
                                                    results[label][-1][2]))
    if not count_instructions:
        return
    print()
    print("| game | instructions until the first frame (callgrind) |")
    print("|---|---:|")
    for label, game in games:
        print("| %s | %.0f million |" % (label, instructions(game, probe, path) / 1e6), flush=True)


if __name__ == "__main__":
    main()
