#!/usr/bin/env python3
"""How long the game's picture lags its window after a burst of resizes (run by
run_resize.sh on Xvfb + openbox).

Each round starts the game, resizes its window 60 times in one quick burst, among small sizes, and then
once to a large size; it then takes screenshots until a person is drawn in the part of the
window that only the large size has. The time from the end of the burst to that screenshot is
the catch-up time: how long the game takes to work off the size notices queued before the
last. The same rounds with the large size alone give the floor of the measure. Prints one
line per round and the medians.
Usage: resize_catchup.py GAME [ROUNDS]
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from e2e_support import find_viewable_window  # noqa: E402
from game_e2e import Shot, run  # noqa: E402

SMALL = [(300 + 2 * (k % 30), 250 + (k % 20)) for k in range(60)]
LARGE = (900, 700)


def persons_beyond(shot, left, top):
    return [b for b in shot.squares("white") if b[0] > left or b[1] > top]


def measure_once(game, work, burst_sizes):
    """One round on a fresh game: the outbreak of a long-running one, crowded into the small
    sizes, would end in game over, whose overlay hides the persons."""
    program = subprocess.Popen([game], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = find_viewable_window("^Vantrel Game", 30)
        run("xdotool", "windowsize", "--sync", window, "300", "250", timeout=20)
        time.sleep(1)
        burst = ["xdotool"]
        for w, h in burst_sizes:
            burst += ["windowsize", window, str(w), str(h)]
        burst += ["windowsize", window, str(LARGE[0]), str(LARGE[1])]
        subprocess.run(burst, check=True, timeout=30)
        sent = time.monotonic()
        while time.monotonic() - sent < 15:
            shot = Shot(window, os.path.join(work, "shot.png"))
            if shot.width >= LARGE[0] - 50 and persons_beyond(shot, 400, 320):
                return shot.time - sent
        return None
    finally:
        program.kill()
        program.wait()


def main():
    game = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    work = tempfile.mkdtemp(prefix="resize-catchup.")
    # The floor of this measure (screenshots take a while): the large size alone, no burst.
    for label, burst_sizes in (("one resize", []), ("60 resizes, then one", SMALL)):
        results = []
        for n in range(rounds):
            caught = measure_once(game, work, burst_sizes)
            results.append(caught)
            print("%s, round %d: %s" % (label, n + 1, "%.2f s" % caught if caught is not None
                                        else "no catch-up within 15 s"), flush=True)
        done = [r for r in results if r is not None]
        if done:
            print("%s: median catch-up %.2f s over %d rounds" % (label, statistics.median(done),
                                                                len(done)))


if __name__ == "__main__":
    main()
