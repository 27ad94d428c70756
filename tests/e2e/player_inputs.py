#!/usr/bin/env python3
"""The player's inputs, proved bit for bit: the trace game driven as a player would, for
thousands of cycles, against the headless driver replaying the game's own event log.

A seeded player clicks (left, right, middle, double, with shift and ctrl, on a square's edges),
resizes in bursts, maximises and restores, shrinks the window until everyone touches and the
game is lost, covers and uncovers it with another window, and goes on clicking after game over.
The checks: exit code 0; the presses logged are exactly the presses sent; nothing before the
first cycle; every cycle has its draw; every size is followed by the draw of the same paint; the
last size after each burst is the client size; and the dump equals vantrel-sim --events of the
same log, byte for byte. The seed is printed; VANTREL_PLAYER_SEED=S repeats a run.

Run on Linux through on_virtual_display.sh (Usage: player_inputs.py TRACE_GAME VANTREL_SIM
OUT_DIR); the wine tests (wine_e2e.py inputs) play the Windows trace game with the same player
and checks.
"""
import os
import random
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import (Program, check, end, failures, find_viewable_window,  # noqa: E402
                         geometry, remove_stale, run, wait_for)
from game_e2e import Shot, single  # noqa: E402
from trace_e2e import compare  # noqa: E402

# A few thousand cycles; the player is done after about half of them even when the machine is
# slow, since the game cannot run more than 60 cycles a second.
CYCLES = 4000
SCREEN = (1280, 1024)
BUTTON_NAMES = {1: "left", 2: "middle", 3: "right"}
LINE = re.compile(r"^(0|[1-9][0-9]*) (?:size ([0-9]+) ([0-9]+)|draw|press (left|right|middle) "
                  r"(-?[0-9]+) (-?[0-9]+))$")


def player_seed():
    seed = int(os.environ.get("VANTREL_PLAYER_SEED") or random.SystemRandom().randrange(2**31))
    print("player seed %d (VANTREL_PLAYER_SEED=%d repeats this run)" % (seed, seed), flush=True)
    return seed


class Player:
    """Sends a player's inputs to the game's window and remembers every press sent.

    Points are in client coordinates and always on the part of the client area that is on the
    screen, where a press reaches the game. shoot(window, size) gives a screenshot of the field
    and the offset from its pixels to client coordinates, or None where none can be had.
    """

    def __init__(self, window, rng, shoot):
        self.window = window
        self.rng = rng
        self.shoot = shoot
        self.presses = []  # (button name, x, y), in the order sent
        self.bursts = []   # (index of the press that follows the burst, client size then)

    def visible(self):
        left, top, width, height = geometry(self.window)
        return (max(0, -left), max(0, -top), min(width, SCREEN[0] - left),
                min(height, SCREEN[1] - top))

    def point(self):
        x0, y0, x1, y1 = self.visible()
        return self.rng.randrange(x0, max(x0 + 1, x1)), self.rng.randrange(y0, max(y0 + 1, y1))

    def press(self, button, x, y, modifier=None, double=False):
        command = ["xdotool"]
        command += ["keydown", modifier] if modifier else []
        command += ["mousemove", "--window", self.window, str(x), str(y), "click"]
        command += ["--repeat", "2", "--delay", "60"] if double else []
        command += [str(button)]
        command += ["keyup", modifier] if modifier else []
        run(*command)
        self.presses += [(BUTTON_NAMES[button], x, y)] * (2 if double else 1)

    def clicks(self, count, buttons=(1, 2, 3)):
        for _ in range(count):
            self.press(self.rng.choice(buttons), *self.point())

    def settled_size(self):
        """The client size once two reads 0.3 s apart agree (the window manager is done)."""
        sizes = []

        def steady():
            sizes.append(geometry(self.window)[2:])
            return len(sizes) >= 2 and sizes[-1] == sizes[-2]

        wait_for(steady, 10, step=0.3)
        return sizes[-1]

    def after_resize(self):
        """Marks the end of a resize: a press that the log shows after the last size."""
        size = self.settled_size()
        self.bursts.append((len(self.presses), size))
        self.press(2, *self.point())
        return size

    def burst(self, count, smallest=(150, 120), largest=(1100, 900)):
        command = ["xdotool"]
        for _ in range(count):
            size = [self.rng.randint(smallest[i], largest[i]) for i in (0, 1)]
            command += ["windowsize", self.window, str(size[0]), str(size[1])]
        started = time.monotonic()
        run(*command)
        took = time.monotonic() - started
        return self.after_resize(), took

    def resize(self, width, height):
        run("xdotool", "windowsize", self.window, str(width), str(height))
        return self.after_resize()

    def maximise(self, on):
        run("wmctrl", "-i", "-r", self.window, "-b",
            ("add" if on else "remove") + ",maximized_vert,maximized_horz")
        return self.after_resize()

    def field(self):
        """A screenshot of the field and its offset to client coordinates, or (None, None)."""
        size = geometry(self.window)[2:]
        return self.shoot(self.window, size) or (None, None)

    def edges(self):
        """Right presses on the corners of a quarantined person's square, and just outside:
        a person found standing still (or crawling) is quarantined first, which stops it."""
        for _ in range(6):
            a, offset = self.field()
            time.sleep(0.3)  # the baseline of the speed measurement
            b, _ = self.field()
            if a is None or b is None:
                return 0
            before = [s for s in a.squares("white") if single(s)]
            still = [s for s in b.squares("white") if single(s) and any(
                abs(s[0] - t[0]) <= 2 and abs(s[1] - t[1]) <= 2 for t in before)]
            if not still:
                continue
            x, y, w, h = still[0]
            self.press(1, x + w // 2 + offset[0], y + h // 2 + offset[1])
            time.sleep(0.3)  # for the paint that shows it
            c, _ = self.field()
            blue = [s for s in (c.squares("blue") if c else []) if single(s) and
                    abs(s[0] - x) <= 3 and abs(s[1] - y) <= 3]
            if not blue:
                continue
            x, y, w, h = blue[0]
            corners = [(px + offset[0], py + offset[1]) for px, py in (
                (x, y), (x + w - 1, y), (x + w - 1, y + h - 1), (x, y + h - 1),
                (x - 1, y - 1), (x + w, y + h))]
            # A point just outside a square on the field's edge would be on the window's
            # frame, where a press opens the window manager's menu instead of reaching the game.
            x0, y0, x1, y1 = self.visible()
            if not all(x0 <= cx < x1 and y0 <= cy < y1 for cx, cy in corners):
                continue
            for cx, cy in corners:
                self.press(3, cx, cy)
            return len(corners)
        return 0

    def lost(self, seconds, picture):
        """Waits for the game-over overlay: the whole field in one colour, a new one in every
        frame (a window that is merely light stays the same)."""
        def covered():
            shot, _ = self.field()
            if shot is None or shot.non_black_fraction() < 0.9:
                return None
            return shot

        def flashing():
            first = covered()
            second = first and covered()
            middle = lambda shot: shot.rgb(shot.width // 2, shot.height // 2)  # noqa: E731
            if second and middle(first) != middle(second):
                second.save(picture)
                return True
            return False
        return wait_for(flashing, seconds, step=0.5)


class Cover:
    """Another program's window, dragged over the game and away again."""

    def __init__(self):
        # Its complaint about a missing bitmap of its own is no concern here.
        self.process = subprocess.Popen(["xlogo", "-geometry", "300x220+0+0"],
                                        stderr=subprocess.DEVNULL)
        self.window = find_viewable_window("^xlogo$", 20)

    def drag_over(self, game_window, rng, steps=12):
        left, top, width, height = geometry(game_window)
        run("xdotool", "windowmap", "--sync", self.window, timeout=10)
        # NOTE: openbox raises a window that is asked to become active, not one that asks to
        # be raised; the game has been clicked since, so it is on top until then.
        run("xdotool", "windowactivate", "--sync", self.window, timeout=10)
        check(run("xdotool", "getactivewindow").stdout.strip() == self.window,
              "the second window is on top of the game")
        for _ in range(steps):
            x = rng.randint(left - 150, left + max(0, width - 150))
            y = rng.randint(top - 100, top + max(0, height - 100))
            run("xdotool", "windowmove", self.window, str(max(0, x)), str(max(0, y)))
            time.sleep(0.05)
        run("xdotool", "windowunmap", "--sync", self.window, timeout=10)

    def close(self):
        end(self.process)


def play(window, rng, shoot, report, pictures):
    """The whole session; returns the Player with what it sent. report(text) prints progress."""
    player = Player(window, rng, shoot)
    cover = Cover()
    try:
        check(cover.window is not None, "a second window to cover the game with")
        report("clicks on the first field")
        player.clicks(25)
        for button in (1, 3, 2):
            player.press(button, *player.point(), double=True)
        for modifier in ("shift", "ctrl"):
            for button in (1, 3):
                player.press(button, *player.point(), modifier=modifier)
        report("edge presses: %d" % player.edges())
        for count in (40, 25, 60):
            size, took = player.burst(count)
            report("a burst of %d sizes in %.2f s, ending at %dx%d" % (count, took, *size))
            player.clicks(5)
        report("maximised: %dx%d" % player.maximise(True))
        player.clicks(5)
        report("restored: %dx%d" % player.maximise(False))
        if cover.window:
            cover.drag_over(window, rng)
            report("covered and uncovered")
        player.clicks(5)
        # So small that everyone touches; right presses along it infect all, and none survives.
        size = player.resize(120, 4)
        report("tiny: %dx%d" % size)
        for x in range(2, size[0], 5):
            player.press(3, x, 1)
        run("xdotool", "windowmove", window, "0", "0")
        report("large: %dx%d" % player.resize(1200, 950))
        player.clicks(10)
        check(player.lost(60, pictures + "-lost.png") is not None,
              "the game is lost: the overlay flashes")
        report("after game over")
        player.clicks(15)
        player.press(1, *player.point(), double=True)
        size, took = player.burst(30)
        report("a burst of 30 sizes in %.2f s, ending at %dx%d" % (took, *size))
        if cover.window:
            cover.drag_over(window, rng)
        player.clicks(5)
        player.maximise(True)
        player.clicks(5)
        player.maximise(False)
        player.clicks(5)
    finally:
        cover.close()
    return player


def read_lines(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def check_run(label, code, events_path, dump_path, sim, seed, cycles, player):
    """Every check of the run; returns the counts (presses, sizes, draws) of its log."""
    check(code == 0, "%s: the trace game ends through its shutdown with exit code 0 (got %r)"
          % (label, code))
    raw = read_lines(events_path)
    if not check(raw is not None, "%s: the event log was written" % label):
        return None
    check(raw.endswith(b"\n") and b"\r" not in raw and raw.isascii(),
          "%s: the log is ASCII with LF line ends" % label)
    lines = raw.decode("ascii", "replace").split("\n")[:-1]
    parsed = [LINE.match(line) for line in lines]
    bad = [line for line, match in zip(lines, parsed) if not match]
    check(not bad, "%s: every line has one of the three forms (%r)" % (label, bad[:3]))
    events = [(int(m.group(1)), m) for m in parsed if m]
    counts = [c for c, _ in events]
    check(counts == sorted(counts), "%s: the cycle counts never go back" % label)
    check(not counts or counts[0] >= 1, "%s: nothing before the first cycle" % label)
    check(lines[-1:] == ["%d draw" % cycles],
          "%s: the log ends with the last step's paint (%r)" % (label, lines[-1:]))
    drawn = {c for c, m in events if m.group(0).endswith(" draw")}
    missing = [k for k in range(1, cycles + 1) if k not in drawn]
    check(not missing, "%s: every cycle has its draw (missing: %r)" % (label, missing[:5]))
    sizes = [i for i, (_, m) in enumerate(events) if m.group(2) is not None]
    unpainted = [lines[i] for i in sizes
                 if i + 1 >= len(events) or lines[i + 1] != "%d draw" % events[i][0]]
    check(not unpainted, "%s: every size is followed by the draw of the same paint (%r)"
          % (label, unpainted[:3]))
    logged = [(m.group(4), int(m.group(5)), int(m.group(6))) for _, m in events if m.group(4)]
    first = next((i for i, (a, b) in enumerate(zip(logged, player.presses)) if a != b), None)
    check(logged == player.presses,
          "%s: the presses logged are exactly the %d presses sent (logged %d; first difference "
          "at %r: %r / %r)" % (label, len(player.presses), len(logged), first,
                              logged[first] if first is not None else None,
                              player.presses[first] if first is not None else None))
    # The last size before the press that followed each resize is the client size then.
    press_lines = [i for i, (_, m) in enumerate(events) if m.group(4)]
    for index, size in player.bursts:
        if index >= len(press_lines):
            continue
        before = [i for i in sizes if i < press_lines[index]]
        last = tuple(map(int, events[before[-1]][1].group(2, 3))) if before else None
        check(last == tuple(size), "%s: the last size logged before press %d is the client "
              "size %dx%d (%r)" % (label, index, size[0], size[1], last))
    curve = events_path + ".csv"
    expected = subprocess.run([sim, "--seed", str(seed), "--steps", str(cycles), "--events",
                               events_path, "--csv", curve], capture_output=True, timeout=120)
    check(expected.returncode == 0, "%s: vantrel-sim replays the log (%r)"
          % (label, expected.stderr[-300:]))
    compare(dump_path, expected.stdout, label, "vantrel-sim --events of the same log")
    # The run's power against one fault: had every press taken effect a cycle late (before
    # the next cycle's paint), the dump would differ.
    late, pending = [], []
    for line, (count, match) in zip(lines, events):
        late += ["%d%s" % (count, p[p.index(" "):]) for p in pending if int(p.split()[0]) < count]
        pending = [p for p in pending if int(p.split()[0]) >= count]
        (pending if match.group(4) else late).append(line)
    late_path = events_path + ".late"
    with open(late_path, "w") as f:
        f.write("".join(line + "\n" for line in late))
    delayed = subprocess.run([sim, "--seed", str(seed), "--steps", str(cycles), "--events",
                              late_path], capture_output=True, timeout=120).stdout
    check(delayed != expected.stdout, "%s: presses a cycle late would change the dump, so the "
          "run would see that fault" % label)
    # The step the game was lost in, from the replay's counts: what came after it counts too.
    with open(curve) as f:
        lost = next((int(row.split(",")[0]) for row in f.read().splitlines()[1:]
                     if row.endswith(",1")), None)
    after = [(c, m) for c, m in events if lost is not None and c > lost]
    check(lost is not None and any(m.group(4) for _, m in after) and
          any(m.group(2) for _, m in after),
          "%s: the game was lost (in step %r) and presses and sizes followed" % (label, lost))
    def tally(part):
        return (sum(1 for _, m in part if m.group(4)), sum(1 for _, m in part if m.group(2)),
                sum(1 for _, m in part if m.group(0).endswith(" draw")))
    totals = tally(events)
    print("%s: the log holds %d presses, %d sizes and %d draws over %d cycles (%d draws beyond "
          "one a cycle); after the game was lost in step %r: %d presses, %d sizes, %d draws"
          % ((label,) + totals + (cycles, totals[2] - cycles, lost) + tally(after)), flush=True)
    return totals


def drive(start, find_window, shoot, sim, out_dir, label, startup_seconds=30):
    """Starts the game with start(seed, cycles, dump, events) (an e2e_support.Program),
    plays, and checks the run."""
    rng = random.Random(player_seed())
    seed = rng.randrange(2**32)
    os.makedirs(out_dir, exist_ok=True)
    dump = os.path.join(out_dir, label + "-dump.txt")
    events = os.path.join(out_dir, label + "-events.txt")
    remove_stale(dump, events)
    print("%s: game seed %d, %d cycles" % (label, seed, CYCLES), flush=True)
    game = start(seed, CYCLES, dump, events)
    try:
        window = find_window(startup_seconds)
        if not check(window is not None, "%s: the game window appears" % label):
            return None
        started = time.monotonic()
        player = play(window, rng, shoot, lambda text: print("%s: %s (%.1f s)" % (
            label, text, time.monotonic() - started), flush=True), os.path.join(out_dir, label))
        # Every press must reach the game before its last step: it is still running after
        # a second more (a queued press costs one step).
        time.sleep(1)
        check(game.poll() is None, "%s: the player was done %.0f s after the start, before the "
              "game's %d cycles ran out" % (label, time.monotonic() - started, CYCLES))
        code = game.wait(CYCLES / 10 + 60)
        return check_run(label, code, events, dump, sim, seed, CYCLES, player)
    finally:
        game.kill()


def main():
    game, sim, out_dir = sys.argv[1:4]

    def start(seed, cycles, dump, events):
        return Program(subprocess.Popen([game, "--seed", str(seed), "--cycles", str(cycles),
                                         "--dump", dump, "--events", events]))

    drive(start,
          lambda seconds: find_viewable_window("^Vantrel Game", seconds),
          lambda window, size: (Shot(window), (0, 0)), sim, out_dir, "Linux")
    if failures:
        print("%d check(s) failed" % len(failures))
        sys.exit(1)


if __name__ == "__main__":
    main()
