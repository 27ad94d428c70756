#!/usr/bin/env python3
"""The sanitizer build of the game, played briefly on an X display (run by on_virtual_display.sh
on Xvfb + openbox): it clicks both buttons, resizes the window twice, clicks again and closes
the window as a user does. The game must end with exit code 0 and write nothing to standard
error: no AddressSanitizer or UndefinedBehaviorSanitizer report, and no leak beyond the OpenGL
driver's, which lsan.supp suppresses.
Usage: sanitized_game_e2e.py GAME UNLOADED_LIBRARY_MARKER LSAN_SUPPRESSIONS
"""
import os
import re
import subprocess
import sys
import tempfile

from e2e_support import (caption, check, client_size, close_and_wait, end, failures,
                         find_viewable_window, run, wait_for)

RATE_CAPTION = re.compile(r"FPS: \d+$")


def sanitizer_runtime(game):
    """The AddressSanitizer runtime the game was linked with; a preloaded library must come
    after it, or the runtime refuses to start."""
    found = re.search(r"=> (\S*libasan\.so\S*)", run("ldd", game).stdout)
    return found.group(1) if found else None


def main():
    game, marker, suppressions = sys.argv[1:4]
    runtime = sanitizer_runtime(game)
    if not check(runtime is not None, f"the game is linked with the AddressSanitizer runtime ({runtime})"):
        return
    environment = dict(os.environ,
                       ASAN_OPTIONS="detect_leaks=1",
                       LSAN_OPTIONS=f"suppressions={suppressions}:print_suppressions=0",
                       LD_PRELOAD=f"{runtime}:{marker}")
    with tempfile.TemporaryFile(mode="w+") as errors:
        process = subprocess.Popen([game], stderr=errors, env=environment)
        try:
            window = find_viewable_window("^Vantrel Game", 60)
            if not check(window is not None, "the game window is shown"):
                return
            check(wait_for(lambda: RATE_CAPTION.search(caption(window) or ""), 30) is not None,
                  f"the loop runs: the caption shows the frame rate ({caption(window)!r})")

            def click_around(width, height):
                for i, button in enumerate((1, 3, 1, 3, 1, 3)):
                    x, y = width * (i + 1) // 7, height * (6 - i) // 7
                    run("xdotool", "mousemove", "--window", window, str(x), str(y), "click", str(button))

            click_around(792, 673)
            for size in ((500, 400), (1000, 800)):
                run("xdotool", "windowsize", window, str(size[0]), str(size[1]))
                check(wait_for(lambda: client_size(window) == size, 20) is not None,
                      f"the window is resized to {size[0]} x {size[1]} ({client_size(window)})")
                click_around(*size)
            check(process.poll() is None, "the game still runs after the clicks and resizes")

            status = close_and_wait(process, window, 60)
            errors.seek(0)
            text = errors.read()
            check(status == 0, f"closing the window ends the game with exit code 0 ({status})")
            check(text == "", "nothing on standard error" + (f":\n{text}" if text else ""))
        finally:
            end(process)


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
