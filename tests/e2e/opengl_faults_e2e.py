#!/usr/bin/env python3
"""The game with a broken OpenGL system library (run by on_virtual_display.sh).

The game binds its GLX calls to libGL.so.1 when it is loaded, as the Windows game binds
opengl32.dll's, and loads the same library by name for its entry-point groups. Each case puts
a broken libGL.so.1 first in LD_LIBRARY_PATH and records the message boxes in order (their
text is the box window's _VANTREL_MESSAGE_TEXT property) and the exit code:
  not a library, or one that lacks a function bound at load: the loader refuses to start it;
  no glXCreateNewContext: the context step fails in the failure boxes, the game runs on;
  no OpenGL 1.1 commands: the view stays without OpenGL, silently, and the game runs on;
  a context call that the X server refuses: the failure boxes show that refusal's error code.
Usage: opengl_faults_e2e.py GAME BROKEN_LIBGL_DIR WORK_DIR
"""
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import (caption, check, end, failures, press_return_until_gone, run,  # noqa: E402
                         wait_exit, wait_for)
from game_e2e import STORED_CAPTION  # noqa: E402


def windows_named(pattern):
    return run("xdotool", "search", "--onlyvisible", "--name", pattern).stdout.split()


def box_text(window):
    out = run("xprop", "-id", window, "-notype", "_VANTREL_MESSAGE_TEXT").stdout
    match = re.search(r'= "(.*)"$', out.strip())
    return match.group(1) if match else None


def answer_boxes(program, expected_count, title="VantrelGame"):
    """Reads and closes the game's message boxes one after the other; their texts in order."""
    texts = []
    for _ in range(expected_count):
        found = wait_for(lambda: windows_named("^%s$" % title), 30)
        if not found:
            break
        texts.append(box_text(found[0]))
        press_return_until_gone(found[0])
    return texts


def start(game, library_dir, work, tag, extra_env=None):
    env = dict(os.environ)
    env["LD_LIBRARY_PATH"] = library_dir
    env.update(extra_env or {})
    err = open(os.path.join(work, tag + ".err"), "w")
    return subprocess.Popen([game], env=env, stdout=subprocess.DEVNULL, stderr=err), err.name


def refused(game, library_dir, work, tag, why):
    program, err = start(game, library_dir, work, tag)
    code = wait_exit(program, 30)
    end(program)
    message = open(err).read().strip()
    check(code == 127, "%s: the loader refuses to start the game, exit code 127 (got %r)"
          % (tag, code))
    check(why in message, "%s: it says why: %r" % (tag, message))
    check(windows_named("^Vantrel Game") == [], "%s: no window, no box" % tag)


def runs_on(game, library_dir, work, tag, boxes, extra_env=None):
    program, err = start(game, library_dir, work, tag, extra_env)
    try:
        texts = answer_boxes(program, len(boxes))
        check(texts == boxes, "%s: the boxes, in order: %r" % (tag, texts))
        windows = wait_for(lambda: windows_named("^Vantrel Game "), 30)
        check(windows is not None, "%s: the main window is on the screen" % tag)
        if windows:
            # No context, so no frame is ever counted: the stored caption stays.
            check(caption(windows[0]) == STORED_CAPTION, "%s: the caption is the stored one" % tag)
            check(program.poll() is None, "%s: the game runs on" % tag)
            run("wmctrl", "-i", "-c", windows[0])
        code = wait_exit(program, 30)
        check(code == 0, "%s: closing the window ends the game with exit code 0 (got %r)"
              % (tag, code))
        check(windows_named("^VantrelGame$") == [], "%s: no further box" % tag)
        message = open(err).read().strip()
        check(message == "", "%s: nothing on standard error (%r)" % (tag, message))
    finally:
        end(program)


def main():
    game, broken, work = sys.argv[1], sys.argv[2], sys.argv[3]
    os.makedirs(work, exist_ok=True)
    not_a_library = os.path.join(work, "not-a-library")
    os.makedirs(not_a_library, exist_ok=True)
    with open(os.path.join(not_a_library, "libGL.so.1"), "w") as f:
        f.write("not a library\n")
    refused(game, not_a_library, work, "library that cannot be loaded", "libGL.so.1")
    refused(game, os.path.join(broken, "empty"), work, "library without any entry point",
            "undefined symbol: glX")
    runs_on(game, os.path.join(broken, "without_core"), work, "library without glXCreateNewContext",
            ["mOpenGLAPI.wglCreateContext( mDeviceContext ) failed.", "GetLastError: 127"])
    runs_on(game, os.path.join(broken, "without_110"), work, "library without the 1.1 commands", [])
    # The code in the box is the refused request's (X's BadCursor 6, BadColor 12), read when
    # the call failed.
    for call, code, text in (
            ("glXCreateNewContext", 6, "mOpenGLAPI.wglCreateContext( mDeviceContext ) failed."),
            ("glXMakeCurrent", 12,
             "mOpenGLAPI.wglMakeCurrent( mDeviceContext, mRenderingContext ) failed.")):
        runs_on(game, os.path.join(broken, "failing"), work, "%s refused" % call,
                [text, "GetLastError: %d" % code], {"VANTREL_LIBGL_FAIL": "%s:%d" % (call, code)})
    if failures:
        print("%d check(s) failed" % len(failures))
        sys.exit(1)


if __name__ == "__main__":
    main()
