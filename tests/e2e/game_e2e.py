#!/usr/bin/env python3
"""End-to-end checks of the real game on an X display (run by on_virtual_display.sh).

Starts the binary, reads the caption, looks at screenshots, resizes the window, clicks persons
and closes the window the way a user does. Usage: game_e2e.py GAME SHOTS_DIR

The checks are ordered by the epidemic's clock, and none depends on how long an earlier one
took: the caption and patient zero are watched from the start on threads of their own; the
field is looked at when it is first painted; the resize counts every person in whatever state
(so deaths and burials do not matter) and comes before the click phase, whose retries take as
long as they take. Every wait ends on its condition; its timeout only bounds a failure.
"""
import os
import re
import subprocess
import sys
import threading
import time

from e2e_support import (caption, check, close_and_wait, end, failures, find_window,
                         is_viewable, run, wait_for)

STORED_CAPTION = "Vantrel Game (by Hollisk) version 0.12"
RATE_CAPTION = re.compile(
    r"^Vantrel Game \(by Hollisk\) version 0\.12 \(hardware acceleration disabled\) FPS: (\d+)$")


def channel_table(test):
    return bytes(1 if test(v) else 0 for v in range(256))


HIGH = channel_table(lambda v: v > 200)
LOW = channel_table(lambda v: v < 60)
LIT = channel_table(lambda v: v > 24)


class Shot:
    """A screenshot of the window's client area, with masks of the game's colours."""

    def __init__(self, window, path=None):
        before = time.monotonic()
        result = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"], capture_output=True,
                                timeout=30)
        result.check_returncode()
        # When the picture was taken, near enough: import grabs it early and then encodes.
        self.time = (before + time.monotonic()) / 2
        self.ppm = result.stdout
        # P6 <width> <height> 255, then the RGB bytes.
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", self.ppm)
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.pixels = self.ppm[-3 * self.width * self.height:]
        if path:
            self.save(path)

    def save(self, path):
        subprocess.run(["convert", "ppm:-", path], input=self.ppm, timeout=30)

    def rgb(self, x, y):
        i = 3 * (y * self.width + x)
        return self.pixels[i], self.pixels[i + 1], self.pixels[i + 2]

    def mask(self, colour):
        """One byte per pixel, 1 where the pixel has the colour."""
        channels = [self.pixels[i::3] for i in range(3)]
        tables = {
            "white": (HIGH, HIGH, HIGH),  # also the light grey of a dead person's cross
            "red": (HIGH, LOW, LOW),
            "blue": (LOW, LOW, HIGH),
        }
        n = self.width * self.height
        if colour == "lit":  # anything but the black field: every person in every state
            bits = 0
            for channel in channels:
                bits |= int.from_bytes(channel.translate(LIT), "little")
        else:
            bits = -1
            for channel, table in zip(channels, tables[colour]):
                bits &= int.from_bytes(channel.translate(table), "little")
        return bits.to_bytes(n, "little")

    def squares(self, colour):
        """Connected areas (4-neighbour) of pixels of one colour, as bounding boxes."""
        w, h = self.width, self.height
        mask = bytearray(self.mask(colour))
        boxes = []
        start = mask.find(1)
        while start >= 0:
            mask[start] = 0
            stack = [start]
            x0 = x1 = start % w
            y0 = y1 = start // w
            while stack:
                i = stack.pop()
                x, y = i % w, i // w
                x0, x1, y0, y1 = min(x0, x), max(x1, x), min(y0, y), max(y1, y)
                for n in (i - 1 if x > 0 else -1, i + 1 if x < w - 1 else -1, i - w, i + w):
                    if 0 <= n < w * h and mask[n]:
                        mask[n] = 0
                        stack.append(n)
            boxes.append((x0, y0, x1 - x0 + 1, y1 - y0 + 1))
            start = mask.find(1, start + 1)
        return boxes

    def non_black_fraction(self):
        return self.mask("lit").count(1) / (self.width * self.height)


def centre(box):
    x, y, w, h = box
    return x + w // 2, y + h // 2


def single(box):
    """A box the size of one person (overlapping persons merge into bigger areas)."""
    return 6 <= box[2] <= 10 and 6 <= box[3] <= 10


ICON_FOLDER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "program", "icon")


def icon_images(window):
    """The images of the window's _NET_WM_ICON as {size: [0xAARRGGBB, ...]} (square ones)."""
    out = run("xprop", "-id", window, "-notype", "-f", "_NET_WM_ICON", "32c",
              "_NET_WM_ICON").stdout
    if "=" not in out:
        return {}
    values = [int(v) for v in out.split("=", 1)[1].split(",")]
    images, i = {}, 0
    while i + 2 <= len(values):
        width, height = values[i], values[i + 1]
        images[width if width == height else (width, height)] = values[i + 2:i + 2 + width * height]
        i += 2 + width * height
    return images


def drawn_icon(size):
    """The icon as tools/make_icon.py drew it, from its PNG, as 0xAARRGGBB values."""
    path = os.path.join(ICON_FOLDER, f"vantrel-game-{size}.png")
    raw = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], capture_output=True,
                         timeout=20).stdout
    return [(a << 24) | (r << 16) | (g << 8) | b
            for r, g, b, a in zip(raw[0::4], raw[1::4], raw[2::4], raw[3::4])]


class CaptionWatcher:
    """Reads the caption every few hundredths of a second and keeps every change with its
    time, so the caption checks see the first seconds whatever the main thread does. The time
    of a change is the earliest it can have happened: when the read before, which still saw the
    old caption, began. So a slow read (a busy machine) never makes the game look late."""

    def __init__(self, window):
        self.window = window
        self.changes = []  # (time, caption)
        self.lock = threading.Lock()
        self.stopped = threading.Event()
        self.thread = threading.Thread(target=self.watch, daemon=True)
        self.thread.start()

    def watch(self):
        previous = time.monotonic()
        while not self.stopped.is_set():
            started = time.monotonic()
            text = caption(self.window)
            with self.lock:
                if text is not None and (not self.changes or self.changes[-1][1] != text):
                    self.changes.append((previous, text))
            previous = started
            self.stopped.wait(0.03)

    def snapshot(self):
        with self.lock:
            return list(self.changes)

    def first_rate(self):
        return next(((t, c) for t, c in self.snapshot() if RATE_CAPTION.match(c)), None)

    def stop(self):
        self.stopped.set()
        self.thread.join(timeout=10)


class PatientZeroWatcher:
    """Looks for the first red square from the moment the window is shown, on its own thread,
    until one is seen or the time is up."""

    def __init__(self, window, shots, seconds):
        self.window = window
        self.shots = shots
        self.deadline = time.monotonic() + seconds
        self.seen = None  # the shot with the first red square
        self.thread = threading.Thread(target=self.watch, daemon=True)
        self.thread.start()

    def watch(self):
        while time.monotonic() < self.deadline:
            shot = Shot(self.window)
            if shot.squares("red"):
                self.seen = shot
                shot.save(os.path.join(self.shots, "patient-zero.png"))
                return
            time.sleep(0.2)

    def wait(self):
        self.thread.join()
        return self.seen


def slow_persons(window, fastest=12.0, clear_of=None):
    """Single white squares that move at most fastest pixels per second, slowest first.

    Each is (speed, (x, y) at time t, (vx, vy) in pixels per second, t), measured between two
    screenshots half a second apart. Most persons walk too fast to be hit by a click whose
    delivery takes a moment, and a few stand still (speed 0) or crawl. With clear_of, persons
    with a square of that colour near them are left out.
    """
    a = Shot(window)
    time.sleep(0.5)  # the baseline of the speed measurement, not a wait for anything
    b = Shot(window)
    dt = max(b.time - a.time, 0.01)
    before = [centre(box) for box in a.squares("white") if single(box)]
    others = [centre(box) for box in b.squares(clear_of)] if clear_of else []
    found = []
    for box in b.squares("white"):
        if not single(box) or not before:
            continue
        cx, cy = centre(box)
        px, py = min(before, key=lambda p: abs(cx - p[0]) + abs(cy - p[1]))
        vx, vy = (cx - px) / dt, (cy - py) / dt
        speed = (vx * vx + vy * vy) ** 0.5
        if speed <= fastest and all(abs(cx - ox) > 20 or abs(cy - oy) > 20 for ox, oy in others):
            found.append((speed, (cx, cy), (vx, vy), b.time))
    found.sort(key=lambda person: person[0])
    return found


def click_until(window, shots, button, colour, tag, avoid=(), click_window=None, offset=(0, 0)):
    """Clicks slow persons until one turns the colour; returns where it clicked (client).

    The screenshots come from window; the clicks go to click_window (the same by default) at
    the screenshot's point plus offset. Where the person will be is extrapolated from its
    measured velocity, and the colour is looked for where the person is when it is checked.
    """
    click_window = click_window or window
    for attempt in range(8):
        candidates = [p for p in slow_persons(window, clear_of=colour)
                      if all(abs(p[1][0] + offset[0] - a[0]) > 20 or
                             abs(p[1][1] + offset[1] - a[1]) > 20 for a in avoid)]
        if not candidates:
            continue
        _, (x, y), (vx, vy), seen = candidates[0]

        def at(moment):
            return round(x + vx * (moment - seen)), round(y + vy * (moment - seen))

        point = at(time.monotonic())
        client = (point[0] + offset[0], point[1] + offset[1])
        run("xdotool", "mousemove", "--window", click_window, str(client[0]), str(client[1]),
            "click", str(button))

        def turned():
            # A quarantined person stops where it was clicked; an infected one walks on.
            shot = Shot(window)
            places = (point, at(shot.time))
            hit = any(abs(centre(b)[0] - px) <= 8 and abs(centre(b)[1] - py) <= 8
                      for b in shot.squares(colour) for px, py in places)
            return shot if hit else None

        shot = wait_for(turned, 3, step=0.2)
        if shot:
            shot.save(os.path.join(shots, f"{tag}{attempt}-after.png"))
            return client
    return None


def main():
    game, shots = sys.argv[1], sys.argv[2]
    os.makedirs(shots, exist_ok=True)
    spawned = time.monotonic()
    process = subprocess.Popen([game])
    watcher = None
    try:
        window = wait_for(lambda: find_window("^Vantrel Game"), 30, step=0.02)
        if not check(window is not None, "the game window appears within 30 s"):
            return
        appeared = time.monotonic()
        first = caption(window)
        watcher = CaptionWatcher(window)
        # The rate replaces it no earlier than a second after the start (the frames are counted
        # from the window's creation), so a read begun within that second must see the stored one.
        check(first == STORED_CAPTION or appeared - spawned >= 1.0,
              f"the first caption is the stored one ({first!r}, read {appeared - spawned:.2f} s "
              "after the start)")
        icons = icon_images(window)
        check(sorted(icons) == [16, 32, 48, 64] and
              all(icons[size] == drawn_icon(size) for size in icons),
              f"_NET_WM_ICON holds the game's icon at 16, 32, 48 and 64 pixels ({sorted(icons)})")
        if not check(wait_for(lambda: is_viewable(window), 30) is not None,
                     "the window is shown"):
            return
        patient_zero = PatientZeroWatcher(window, shots, 10)

        # The field as first painted: about 100 white squares on black.
        def painted():
            s = Shot(window)
            return s if len(s.squares("white")) >= 80 else None

        shot = wait_for(painted, 10, step=0.1) or Shot(window)
        shot.save(os.path.join(shots, "field.png"))
        whites = shot.squares("white")
        singles = [b for b in whites if single(b)]
        check((shot.width, shot.height) == (792, 673),
              f"the client area is 792 x 673 ({shot.width} x {shot.height})")
        check(80 <= len(whites) <= 100 and len(singles) >= 70,
              f"about 100 white squares of 6 to 10 pixels ({len(whites)} areas, "
              f"{len(singles)} single squares)")
        check(shot.non_black_fraction() < 0.05, "the rest of the field is black")

        # The caption, from the watcher's record.
        first_rate = wait_for(watcher.first_rate, 10)
        check(first_rate is not None and first_rate[0] - appeared <= 2.0,
              "the frames-per-second caption follows within two seconds"
              + (f" ({first_rate[0] - appeared:.2f} s)" if first_rate else ""))
        if first_rate is not None:
            # The first interval includes the start-up; the steady rate shows in the next ones.
            def steady():
                if time.monotonic() < first_rate[0] + 1.1:
                    return None
                match = RATE_CAPTION.match(watcher.snapshot()[-1][1])
                rate = int(match.group(1)) if match else -1
                return rate if 45 <= rate <= 75 else None

            rate = wait_for(steady, 10)
            check(rate is not None, f"the measured rate is between 45 and 75 "
                                    f"({[c for _, c in watcher.snapshot()][-3:]})")

        check(patient_zero.wait() is not None,
              "a red square (patient zero) appears within ten seconds of the window being shown")

        # Every resize re-scatters the persons over the new field. Counted in every state (a
        # dead person's cross and a buried one's brown point too), so it does not matter how
        # far the epidemic has come.
        for width, height in ((500, 400), (1000, 800)):
            run("xdotool", "windowsize", window, str(width), str(height))

            def scattered():
                s = Shot(window)
                if (s.width, s.height) != (width, height):
                    return None
                persons = s.squares("lit")
                beyond = [b for b in persons if b[0] > 792 or b[1] > 673]
                enough = len(persons) >= 75 and (width <= 792 or len(beyond) >= 5)
                return (s, persons, beyond) if enough else None

            found = wait_for(scattered, 10, step=0.1)
            if found:
                shot, persons, beyond = found
            else:
                shot = Shot(window)
                persons = shot.squares("lit")
                beyond = [b for b in persons if b[0] > 792 or b[1] > 673]
            shot.save(os.path.join(shots, f"resized-{width}x{height}.png"))
            check((shot.width, shot.height) == (width, height),
                  f"the client area becomes {width} x {height} ({shot.width} x {shot.height})")
            check(len(persons) >= 75,
                  f"the persons are re-scattered inside {width} x {height} "
                  f"({len(persons)} visible)")
            if width > 792:
                check(len(beyond) >= 5,
                      f"persons use the part beyond the old field ({len(beyond)} there)")

        infected = click_until(window, shots, 3, "red", "right")
        check(infected is not None, f"a right click on a white square turns it red ({infected})")
        avoid = [infected] if infected else []
        quarantined = click_until(window, shots, 1, "blue", "left", avoid)
        check(quarantined is not None,
              f"a left click on another white square turns it blue ({quarantined})")

        status = close_and_wait(process, window)
        check(status == 0, f"closing the window ends the game with exit code 0 ({status})")
    finally:
        if watcher is not None:
            watcher.stop()
        end(process)
    print(f"screenshots in {shots}")


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
