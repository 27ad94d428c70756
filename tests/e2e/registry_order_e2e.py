#!/usr/bin/env python3
"""The order of the world registry's calls in the real game, on an X display (run by
on_virtual_display.sh on Xvfb + openbox).

The game under test is the real one (entry point, main window, toolkit loop, OpenGL view and
shutdown) linked with a recording stand-in of the world registry, which prints every call with
whether the OpenGL library is loaded, and a last line after main has returned. The script
resizes the window, presses each mouse button over it, closes it as a user does, and then checks
the order of the calls. Usage: registry_order_e2e.py GAME
"""
import subprocess
import sys
import threading

from e2e_support import (check, close_and_wait, end, failures, find_window, is_viewable, run,
                         wait_for)


class Call:
    def __init__(self, line):
        words = line.split()
        self.name = words[1]
        self.arguments = tuple(int(w) for w in words[2:-1])
        self.library_loaded = words[-1] == "library=1"

    def __repr__(self):
        return " ".join([self.name] + [str(a) for a in self.arguments])


class Recording:
    """The registry calls as the game prints them, read while it runs."""

    def __init__(self, stream):
        self.calls = []
        self.other = []
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self.read, args=(stream,), daemon=True)
        self.reader.start()

    def read(self, stream):
        for line in stream:
            with self.lock:
                if line.startswith("registry "):
                    self.calls.append(Call(line))
                else:
                    self.other.append(line.rstrip("\n"))

    def snapshot(self):
        with self.lock:
            return list(self.calls)

    def since(self, mark, name, arguments=None):
        return [c for c in self.snapshot()[mark:]
                if c.name == name and (arguments is None or c.arguments == arguments)]


def first_index(calls, name):
    return next((i for i, c in enumerate(calls) if c.name == name), None)


def click_calls(calls):
    return [c for c in calls if c.name in ("ProgramQuarantine", "ProgramInfect")]


def press(window, x, y, button, repeat=1):
    run("xdotool", "mousemove", "--window", window, str(x), str(y), "click", "--repeat",
        str(repeat), "--delay", "120", str(button))


def main():
    game = sys.argv[1]
    process = subprocess.Popen([game], stdout=subprocess.PIPE, text=True)
    recording = Recording(process.stdout)
    try:
        window = wait_for(lambda: find_window("^Vantrel Game"), 30)
        if not check(window is not None, "the game window appears"):
            return
        check(wait_for(lambda: is_viewable(window), 30) is not None, "the window is shown")
        check(wait_for(lambda: len(recording.since(0, "ProgramSingleLoop")) >= 10, 30),
              "steps run")

        # A resize reaches the field with the new client size, at the next paint.
        mark = len(recording.snapshot())
        run("xdotool", "windowsize", window, "500", "400")
        check(wait_for(lambda: recording.since(mark, "ProgramSetFieldSize", (500, 400)), 20),
              "after a resize to 500 x 400 a paint sets the field to 500 x 400")

        # Each press maps to one call, with the position in view pixels.
        for button, point, name in ((1, (100, 50), "ProgramQuarantine"),
                                    (3, (200, 60), "ProgramInfect")):
            mark = len(recording.snapshot())
            press(window, point[0], point[1], button)
            found = wait_for(lambda: recording.since(mark, name, point), 20)
            check(found is not None, f"button {button} at {point} calls {name}{point}")

        # A middle press calls nothing; the left press after it shows it has been handled.
        mark = len(recording.snapshot())
        press(window, 300, 70, 2)
        press(window, 20, 30, 1)
        found = wait_for(lambda: recording.since(mark, "ProgramQuarantine", (20, 30)), 20)
        check(found is not None, "the left press after the middle one calls ProgramQuarantine")

        # Both presses of a double click count.
        mark = len(recording.snapshot())
        press(window, 150, 90, 1, repeat=2)
        found = wait_for(lambda: len(recording.since(mark, "ProgramQuarantine", (150, 90))) >= 2,
                         20)
        check(found is not None, "a left double click calls ProgramQuarantine twice")

        # Closed as a user closes it.
        status = close_and_wait(process, window)
        check(status == 0, f"closing the window ends the game with exit code 0 ({status})")
    finally:
        end(process)
        recording.reader.join(timeout=10)

    calls = recording.snapshot()
    names = [c.name for c in calls]
    print(f"{len(calls)} registry calls recorded", flush=True)
    for line in recording.other:
        print("game: " + line)

    # Start-up.
    check(names[:2] == ["ProgramCreate", "ProgramStartup"],
          f"ProgramCreate, then ProgramStartup, before anything else ({names[:3]})")
    check(names.count("ProgramCreate") == 1 and names.count("ProgramStartup") == 1,
          "ProgramCreate and ProgramStartup run once each")
    first_step = first_index(calls, "ProgramSingleLoop")
    first_size = first_index(calls, "ProgramSetFieldSize")
    first_draw = first_index(calls, "ProgramDraw")
    check(first_step is not None and first_size is not None and first_step < first_size,
          f"the first ProgramSingleLoop ({first_step}) comes before the first "
          f"ProgramSetFieldSize ({first_size})")
    check(first_step is not None and first_draw is not None and first_step < first_draw,
          f"the first ProgramSingleLoop ({first_step}) comes before the first ProgramDraw "
          f"({first_draw})")
    if first_size is not None:
        check(calls[first_size].arguments == (792, 673),
              f"the first paint sets the field to 792 x 673 ({calls[first_size]})")

    # One call per press, none for the middle button, counted once the game has ended.
    pressed = [repr(c) for c in click_calls(calls)]
    check(pressed == ["ProgramQuarantine 100 50", "ProgramInfect 200 60", "ProgramQuarantine 20 30",
                      "ProgramQuarantine 150 90", "ProgramQuarantine 150 90"],
          f"exactly one call per left or right press, none for the middle one ({pressed})")

    # Presses are handled after the step their message triggered: since the last cycle only
    # that step's paint (a draw, maybe a resize before it) has run.
    for index, call in enumerate(calls):
        if call.name not in ("ProgramQuarantine", "ProgramInfect"):
            continue
        step = max((i for i in range(index) if names[i] == "ProgramSingleLoop"), default=None)
        between = names[step + 1:index] if step is not None else None
        check(between is not None and "ProgramDraw" in between and
              set(between) <= {"ProgramDraw", "ProgramSetFieldSize"},
              f"{call} follows a whole step: a cycle, then its paint ({between})")

    # Shutdown.
    check(names.count("ProgramDestroy") == 1,
          f"ProgramDestroy runs exactly once ({names.count('ProgramDestroy')})")
    check(names[-2:] == ["ProgramDestroy", "end"],
          f"ProgramDestroy is the last call, after the last step ({names[-4:]})")
    destroy = first_index(calls, "ProgramDestroy")
    check(destroy is not None and calls[destroy].library_loaded,
          "the OpenGL library is still loaded when ProgramDestroy runs")
    check(bool(calls) and calls[-1].name == "end" and not calls[-1].library_loaded,
          "the OpenGL library is unloaded by the end of the program")


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
