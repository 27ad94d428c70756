#!/usr/bin/env python3
"""End-to-end checks of the real game on an X display (run by game_e2e.sh on Xvfb + openbox).

Starts the binary, reads the caption, looks at screenshots, clicks persons, resizes and closes
the window the way a user does. Every wait has a timeout. Usage: game_e2e.py GAME SHOTS_DIR
"""
import os
import re
import subprocess
import sys
import time

STORED_CAPTION = "Vantrel Game (by Hollisk) version 0.12"
RATE_CAPTION = re.compile(
    r"^Vantrel Game \(by Hollisk\) version 0\.12 \(hardware acceleration disabled\) FPS: (\d+)$")

failures = []


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message, flush=True)
    if not condition:
        failures.append(message)
    return condition


def run(*args, timeout=10):
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout)


def caption(window):
    result = run("xdotool", "getwindowname", window)
    return result.stdout.rstrip("\n") if result.returncode == 0 else None


class Shot:
    """A screenshot of the window's client area as RGB rows."""

    def __init__(self, window, path):
        before = time.monotonic()
        run("import", "-window", window, path, timeout=20).check_returncode()
        # When the picture was taken, near enough: import grabs it early and then encodes.
        self.time = (before + time.monotonic()) / 2
        size = run("identify", "-format", "%w %h", path).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True,
                             timeout=20).stdout
        self.pixels = raw
        self.path = path

    def rgb(self, x, y):
        i = 3 * (y * self.width + x)
        return self.pixels[i], self.pixels[i + 1], self.pixels[i + 2]

    def squares(self, colour):
        """Connected areas (4-neighbour) of pixels of one colour, as bounding boxes."""
        wanted = {
            "white": lambda r, g, b: r > 200 and g > 200 and b > 200,
            "red": lambda r, g, b: r > 200 and g < 60 and b < 60,
            "blue": lambda r, g, b: r < 60 and g < 60 and b > 200,
        }[colour]
        w, h = self.width, self.height
        mask = bytearray(w * h)
        p = self.pixels
        for i in range(w * h):
            if wanted(p[3 * i], p[3 * i + 1], p[3 * i + 2]):
                mask[i] = 1
        boxes = []
        for start in range(w * h):
            if not mask[start]:
                continue
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
        return boxes

    def non_black_fraction(self):
        p = self.pixels
        lit = sum(1 for i in range(0, len(p), 3) if p[i] or p[i + 1] or p[i + 2])
        return lit / (self.width * self.height)


def centre(box):
    x, y, w, h = box
    return x + w // 2, y + h // 2


def single(box):
    """A box the size of one person (overlapping persons merge into bigger areas)."""
    return 6 <= box[2] <= 10 and 6 <= box[3] <= 10


def slow_persons(window, shots, tag, fastest=12.0, clear_of=None):
    """Single white squares that move at most fastest pixels per second, slowest first.

    Each is (speed, (x, y) at time t, (vx, vy) in pixels per second, t), measured between two
    screenshots taken one after the other. Most persons walk too fast to be hit by a click
    whose delivery takes a moment, and a few stand still (speed 0) or crawl. With clear_of,
    persons with a square of that colour near them are left out.
    """
    a = Shot(window, os.path.join(shots, tag + "-a.png"))
    b = Shot(window, os.path.join(shots, tag + "-b.png"))
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
        name = f"{tag}{attempt}"
        candidates = [p for p in slow_persons(window, shots, name, clear_of=colour)
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
            shot = Shot(window, os.path.join(shots, f"{name}-after.png"))
            places = (point, at(shot.time))
            return any(abs(centre(b)[0] - px) <= 8 and abs(centre(b)[1] - py) <= 8
                       for b in shot.squares(colour) for px, py in places)

        if wait_for(turned, 3, step=0.2):
            return client
    return None


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


def wait_for(predicate, seconds, step=0.05):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return None


def main():
    game, shots = sys.argv[1], sys.argv[2]
    os.makedirs(shots, exist_ok=True)
    process = subprocess.Popen([game])
    try:
        def find_window():
            found = run("xdotool", "search", "--name", "^Vantrel Game").stdout.split()
            return found[0] if found else None

        window = wait_for(find_window, 10)
        if not check(window is not None, "the game window appears within 10 s"):
            return
        appeared = time.monotonic()
        first = caption(window)
        check(first == STORED_CAPTION, f"the first caption is the stored one ({first!r})")
        icons = icon_images(window)
        check(sorted(icons) == [16, 32, 48, 64] and
              all(icons[size] == drawn_icon(size) for size in icons),
              f"_NET_WM_ICON holds the game's icon at 16, 32, 48 and 64 pixels ({sorted(icons)})")

        rate_caption = wait_for(lambda: RATE_CAPTION.match(caption(window) or ""), 2.0)
        check(rate_caption is not None and time.monotonic() - appeared <= 2.0,
              "the frames-per-second caption follows within two seconds")
        # The first interval includes the start-up; the steady rate shows in the next ones.
        time.sleep(1.1)
        steady = RATE_CAPTION.match(caption(window) or "")
        rate = int(steady.group(1)) if steady else -1
        check(45 <= rate <= 75, f"the measured rate is between 45 and 75 ({rate})")

        shot = Shot(window, os.path.join(shots, "field.png"))
        whites = shot.squares("white")
        singles = [b for b in whites if single(b)]
        check((shot.width, shot.height) == (792, 673),
              f"the client area is 792 x 673 ({shot.width} x {shot.height})")
        check(80 <= len(whites) <= 100 and len(singles) >= 70,
              f"about 100 white squares of 6 to 10 pixels ({len(whites)} areas, "
              f"{len(singles)} single squares)")
        check(shot.non_black_fraction() < 0.05, "the rest of the field is black")

        red = wait_for(lambda: Shot(window, os.path.join(shots, "patient-zero.png")).squares("red"),
                       10, step=0.5)
        check(bool(red), "a red square (patient zero) appears within ten seconds of the start")

        infected = click_until(window, shots, 3, "red", "right")
        check(infected is not None, f"a right click on a white square turns it red ({infected})")
        avoid = [infected] if infected else []
        quarantined = click_until(window, shots, 1, "blue", "left", avoid)
        check(quarantined is not None,
              f"a left click on another white square turns it blue ({quarantined})")

        for width, height in ((500, 400), (1000, 800)):
            run("xdotool", "windowsize", window, str(width), str(height))

            def resized():
                s = Shot(window, os.path.join(shots, f"resized-{width}x{height}.png"))
                return s if (s.width, s.height) == (width, height) else None

            shot = wait_for(resized, 5, step=0.2)
            if not check(shot is not None, f"the client area becomes {width} x {height}"):
                continue
            time.sleep(0.3)
            shot = Shot(window, os.path.join(shots, f"resized-{width}x{height}.png"))
            persons = shot.squares("white") + shot.squares("red") + shot.squares("blue")
            check(len(persons) >= 75,
                  f"the persons are re-scattered inside {width} x {height} ({len(persons)} visible)")
            if width > 792:
                beyond = [b for b in persons if b[0] > 792 or b[1] > 673]
                check(len(beyond) >= 5,
                      f"persons use the part beyond the old field ({len(beyond)} there)")

        run("wmctrl", "-i", "-c", window)
        try:
            status = process.wait(timeout=2)
            check(status == 0, f"closing the window ends the game with exit code 0 ({status})")
        except subprocess.TimeoutExpired:
            check(False, "closing the window ends the game within two seconds")
    finally:
        if process.poll() is None:
            process.kill()
            process.wait(timeout=5)
    print(f"screenshots in {shots}")


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
