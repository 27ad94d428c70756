#!/usr/bin/env python3
"""What other X clients do to the game's window (run by on_virtual_display.sh on Xvfb +
openbox), on the game linked with the recording world registry (registry_order_e2e.py), whose
lines tell which registry calls ran and whether the OpenGL library was loaded.

Commands:
  destroyed GAME  another client destroys the main window (xdotool windowclose): the game ends
                  through its normal shutdown, the world freed once, the library unloaded after
  largest GAME    a request for a 32767 x 32767 window: the window manager holds it to the
                  largest size the game can present, and the game runs on and closes normally
"""
import subprocess
import sys

from e2e_support import (check, client_size, close_and_wait, end, failures,
                         find_viewable_window, run, wait_exit, wait_for)
from registry_order_e2e import Recording

# The largest client area the X11 backend asks the window manager for (x11_window.cpp).
LARGEST = (32704, 32767)


def start(game):
    process = subprocess.Popen([game], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    recording = Recording(process.stdout)
    window = find_viewable_window("^Vantrel Game", 30)
    check(window is not None, "the game window appears")
    check(wait_for(lambda: len(recording.since(0, "ProgramSingleLoop")) >= 10, 30) is not None,
          "steps run")
    return process, recording, window


def finish(process, recording):
    end(process)
    recording.reader.join(timeout=10)
    return [c.name for c in recording.snapshot()], process.stderr.read()


def shut_down_normally(names, calls, errors):
    check(names.count("ProgramDestroy") == 1,
          "the world is freed exactly once (%d)" % names.count("ProgramDestroy"))
    destroy = names.index("ProgramDestroy") if "ProgramDestroy" in names else None
    check(destroy is not None and calls[destroy].library_loaded,
          "the OpenGL library is still loaded when the world is freed")
    check(names[-2:] == ["ProgramDestroy", "end"] and not calls[-1].library_loaded,
          "nothing runs after it, and the library is unloaded by the end (%s)" % names[-3:])
    check(errors == "", "nothing on standard error: %r" % errors[-300:])


def destroyed(game):
    process, recording, window = start(game)
    status = None
    try:
        if window:
            run("xdotool", "windowclose", window)
            status = wait_exit(process, 20)
    finally:
        names, errors = finish(process, recording)
    check(status == 0, "the game ends with exit code 0 (%r)" % status)
    shut_down_normally(names, recording.snapshot(), errors)


def largest(game):
    process, recording, window = start(game)
    status = None
    try:
        if window:
            mark = len(recording.snapshot())
            run("xdotool", "windowsize", window, "32767", "32767")
            painted = wait_for(lambda: recording.since(mark, "ProgramSetFieldSize", LARGEST), 60)
            check(painted is not None, "the game paints at %d x %d" % LARGEST)
            check(client_size(window) == LARGEST, "the window manager held the window to %d x %d "
                  "(%r)" % (LARGEST + (client_size(window),)))
            # Steps after the paint at that size: its buffer swap came back.
            after = len(recording.snapshot())
            check(wait_for(lambda: len(recording.since(after, "ProgramSingleLoop")) >= 20, 60)
                  is not None, "the game runs on at that size")
            run("xdotool", "windowsize", window, "400", "300")
            status = close_and_wait(process, window, 30)
    finally:
        names, errors = finish(process, recording)
    check(status == 0, "closed as a user does, the game ends with exit code 0 (%r)" % status)
    shut_down_normally(names, recording.snapshot(), errors)


if __name__ == "__main__":
    {"destroyed": destroyed, "largest": largest}[sys.argv[1]](sys.argv[2])
    sys.exit(1 if failures else 0)
