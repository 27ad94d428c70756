#!/usr/bin/env python3
"""End-to-end checks of the Windows build under wine (run by wine_e2e.sh on Xvfb + openbox).

Subcommands:
  prefix                      create the run's wine prefix afresh (the fixture of the others)
  toolkit PROBE SHOTS         the Win32 toolkit backend through win32_toolkit_probe.exe
  contract SUITE              the backend contract suite on the Win32 backend
  opengl PROBE                the OpenGL entry-point groups against wine's opengl32.dll
  game GAME SHOTS             the shipped game: the software pixel-format failure path
  softgame GAME STANDIN SHOTS the shipped game with a stand-in opengl32.dll that offers generic
                              formats: the first match chosen, drawing, clicks
  nosoftware GAME STANDIN SHOTS  the same stand-in offering no qualifying format: four boxes
  lasterror SOFTWARE_TRACE HARDWARE_TRACE STANDIN SHOTS
                              a failing WGL call's own last-error code reaches its box
  hwgame GAME SHOTS           the test build with hardware acceleration: drawing and clicks
  crosscheck NATIVE WINDOWS   the Linux and Windows builds compute the same sqrt, sin and cos
                              results and, through the world registry, the same worlds
  trace GAME SIM DUMPS        the Windows trace game's dumps equal the headless driver's
  softtrace GAME STANDIN SIM DUMPS  the same for the shipped layout's trace game, which draws
                              through the stand-in's generic formats
  no-opengl GAME SHOTS        the game without opengl32.dll: the loader refuses to start it
  fatal TRACE_GAME SHOTS      an error of the entry sequence is shown in a box, exit code 1
  inputs GAME SIM OUT         a player's clicks, resizes and covers, proved against the
                              headless driver's replay of the game's event log
  sim-outputs SIM NATIVE_SIM  vantrel-sim.exe: a file replaced whole, one file under two names
                              refused, a sweep in-process equal to the Linux build's
The prefix is $VANTREL_WINEPREFIX, wine's loader $VANTREL_WINE. Every wait has a timeout.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import caption, check, failures, run, wait_for  # noqa: E402
from game_e2e import RATE_CAPTION, Shot, click_until, drawn_icon, icon_images  # noqa: E402
from trace_e2e import CASES, compare, driver_state  # noqa: E402
import e2e_support  # noqa: E402
import player_inputs  # noqa: E402


# wine_e2e.sh finds wine's loader.
WINE = os.environ["VANTREL_WINE"]
WINESERVER = os.path.join(os.path.dirname(WINE), "wineserver")


def wine_environment(debug="+msgbox", disabled_dlls=(), standin=None):
    """standin: what the stand-in opengl32.dll beside the exe does (VANTREL_OPENGL32_STANDIN);
    None leaves wine's own opengl32.dll in charge."""
    env = dict(os.environ)
    env["WINEPREFIX"] = os.environ["VANTREL_WINEPREFIX"]
    env["WINEDEBUG"] = debug
    # No installer dialogs for .NET or the HTML engine in a fresh prefix.
    overrides = ",".join(("mscoree", "mshtml") + tuple(disabled_dlls)) + "="
    if standin is not None:
        overrides += ";opengl32=n,b"
        env["VANTREL_OPENGL32_STANDIN"] = standin
    env["WINEDLLOVERRIDES"] = overrides
    return env


class WineProgram(e2e_support.Program):
    """A Windows program under wine with its stdout and stderr in files."""

    def __init__(self, exe, args=(), tag="program", directory="/tmp", disabled_dlls=(),
                 standin=None):
        self.out_path = os.path.join(directory, tag + ".out")
        self.err_path = os.path.join(directory, tag + ".err")
        self.out = open(self.out_path, "w")
        self.err = open(self.err_path, "w")
        super().__init__(subprocess.Popen([WINE, exe, *args], stdout=self.out, stderr=self.err,
                                          env=wine_environment(disabled_dlls=disabled_dlls,
                                                               standin=standin)))

    def stdout(self):
        with open(self.out_path, errors="replace") as f:
            return f.read().replace("\r", "")

    def boxes(self):
        """The texts of the message boxes shown so far, in order (wine's +msgbox trace)."""
        with open(self.err_path, errors="replace") as f:
            return re.findall(r'MSGBOX_OnInit L"(.*)"', f.read())


def find_viewable_window(pattern, seconds=20):
    return e2e_support.find_viewable_window(pattern, seconds)


def find_window(pattern, seconds=20):
    return wait_for(lambda: e2e_support.find_window(pattern), seconds)


def dismiss_box(title, seconds=20):
    """Presses Return in the box titled title; true once that box has gone."""
    box = find_viewable_window("^" + re.escape(title) + "$", seconds)
    return box is not None and e2e_support.press_return_until_gone(box)


def close_and_wait(program, window, seconds=30):
    """Closes the window the way a user does; the exit code, or None if it did not end."""
    return e2e_support.close_and_wait(program.process, window, seconds)


def windows_path(path):
    # wine maps the drive Z: to the root of the file system.
    return "Z:" + path.replace("/", "\\")


# ---- prefix ---------------------------------------------------------------------------------

def make_prefix():
    prefix = os.environ["VANTREL_WINEPREFIX"]
    subprocess.run(["rm", "-rf", prefix], check=True)
    result = subprocess.run([WINE, "wineboot", "-i"], env=wine_environment("-all"),
                            capture_output=True, text=True, timeout=240)
    subprocess.run([WINESERVER, "-w"], env=wine_environment("-all"), timeout=60)
    check(result.returncode == 0 and os.path.isdir(os.path.join(prefix, "drive_c")),
          "wine prefix created at " + prefix)


# ---- toolkit ------------------------------------------------------------------------------

def toolkit(probe, shots):
    os.makedirs(shots, exist_ok=True)
    program = WineProgram(probe, ["--box", "--throw-paint"], "toolkit", shots)
    try:
        # A message box before the loop: its text, then the loop only starts once it is closed.
        check(wait_for(lambda: program.boxes() == ["Probe box before the loop."], 30),
              "the message box shows its UTF-16 text")
        plain_box = find_viewable_window("^ToolkitProbe$")
        check(plain_box is not None, "the message box is titled with the application's title")
        if plain_box:
            Shot(plain_box, os.path.join(shots, "box-plain.png"))
        check(dismiss_box("ToolkitProbe"), "Return closes the message box")
        check(wait_for(lambda: "box_closed" in program.stdout(), 10), "the box returned")

        # The third paint throws: the error box, with a stop icon, then the loop goes on.
        check(wait_for(lambda: len(program.boxes()) == 2, 30), "an error in a paint reaches a box")
        check(program.boxes()[1:] == ["Probe error from a paint."], "the error box shows the error text")
        error_box = find_viewable_window("^ToolkitProbe$")
        if error_box:
            icon = Shot(error_box, os.path.join(shots, "box-error.png")).squares("red")
            check(any(w >= 10 and h >= 10 for _, _, w, h in icon), "the error box has a stop icon")
        check(dismiss_box("ToolkitProbe"), "Return closes the error box")

        window = find_viewable_window("^Toolkit probe")
        check(window is not None, "the form is on the screen")
        # Idle turns repaint back to back, so the caption counts paints without any input.
        counts = []

        def paints_grow():
            match = re.search(r"paints (\d+)$", caption(window) or "")
            if match:
                counts.append(int(match.group(1)))
            return len(counts) >= 2 and counts[-1] > counts[0] + 10

        check(wait_for(paints_grow, 10), "the idle hook keeps the loop painting without input")

        log = program.stdout()
        style = re.search(r"class_style=0x([0-9a-f]+) window_style=0x([0-9a-f]+)", log)
        check(style is not None, "the control's window was created")
        if style:
            class_style, window_style = int(style.group(1), 16), int(style.group(2), 16)
            check(class_style & 0x20 and not class_style & 0x80, "class style CS_OWNDC, no CS_PARENTDC")
            check(window_style & 0x06000000 == 0x06000000, "window style WS_CLIPCHILDREN | WS_CLIPSIBLINGS")
        check("size 400x300" in log, "WM_SIZE reaches the control with its size")
        check("first_paint same_dc=1" in log, "the paint hands over the window's own DC")
        # Showing the form paints nothing: the first paint is the first turn's.
        check("first_hook message paints_before=0" in log or "first_hook idle paints_before=0" in log,
              "the control is first painted in the loop's first turn, after its hook (%r)"
              % re.findall(r"first_hook .*", log))
        check(log.find("first_hook") < log.find("first_paint"),
              "the first hook runs before the first paint")
        shot = Shot(window, os.path.join(shots, "probe.png"))
        check(shot.rgb(100, 150) == (255, 255, 255) and shot.rgb(300, 150) == (64, 64, 64),
              "the control's paint covers the client area")

        for button, x, y, name, colour in ((1, 100, 100, "left", (0, 0, 255)),
                                           (3, 300, 200, "right", (255, 0, 0)),
                                           (2, 150, 250, "middle", (0, 255, 0))):
            run("xdotool", "mousemove", "--window", window, str(x), str(y), "click", str(button))
            line = "mouse %s %d %d double=0" % (name, x, y)
            check(wait_for(lambda: line in program.stdout(), 10), "%s press at client (%d, %d)" % (name, x, y))
            check(wait_for(lambda: Shot(window, os.path.join(shots, name + ".png")).rgb(x, y) == colour, 5),
                  "the %s press is painted at its place" % name)

        run("xdotool", "mousemove", "--window", window, "250", "50", "click", "--repeat", "2",
            "--delay", "80", "1")
        check(wait_for(lambda: "mouse left 250 50 double=1" in program.stdout(), 10),
              "a double click raises a second press marked double")
        presses = re.findall(r"mouse left 250 50 double=(\d)", program.stdout())
        check(presses == ["0", "1"], "a double click is exactly two presses")
        hooks = [int(n) for n in re.findall(r"mouse \w+ \d+ \d+ double=\d idle=\d+ messages=(\d+)",
                                            program.stdout())]
        check(len(hooks) >= 2 and all(b > a for a, b in zip(hooks, hooks[1:])),
              "every press went through the message hook first")

        code = close_and_wait(program, window)
        check(code == 0, "closing the form ends the loop with exit code 0 (got %r)" % code)
        log = program.stdout()
        check(re.search(r"loop_ended.*\ndestroy paints=\d+\nform_class_registered=0\nexit\n",
                        log) is not None,
              "WM_DESTROY reaches the control after the loop, freeing the application "
              "unregisters the window classes, then the program ends")
        check(len(program.boxes()) == 2, "no further boxes")
        desktop = re.search(r"desktop (-?\d+) (-?\d+) (\d+) (\d+)", log)
        # NOTE: right after showing, wine may briefly report the frame at the window manager's
        # first guess; the rectangle at the end of the loop is the settled one.
        placed = re.search(r"loop_ended .* rect (-?\d+) (-?\d+) (\d+) (\d+)", log)
        if check(desktop is not None and placed is not None, "desktop and placement logged"):
            dl, dt, dw, dh = map(int, desktop.groups())
            left, top, ww, wh = map(int, placed.groups())
            check((left, top) == (max(dl + dw // 2 - ww // 2, dl), max(dt + dh // 2 - wh // 2, dt)),
                  "the form is centred on the desktop (%d, %d, %dx%d)" % (left, top, ww, wh))
    finally:
        program.kill()


# ---- contract -----------------------------------------------------------------------------

def contract(suite):
    """The suite prints a line per case and a summary; every case must say ok."""
    directory = os.environ.get("TMPDIR") or "/tmp"
    program = WineProgram(suite, [], "contract", directory)
    try:
        code = program.wait(240)
        log = program.stdout()
        print(log, end="")
        cases = re.findall(r"^case (\S+) (ok|FAIL.*)$", log, re.M)
        summary = re.search(r"^contract win32: (\d+) cases, (\d+) failed$", log, re.M)
        check(summary is not None and int(summary.group(1)) == len(cases) > 0,
              "the suite ran to its end: a line for each of its cases")
        for name, result in cases:
            check(result == "ok", "%s: %s" % (name, result))
        check(code == 0, "the suite ends with exit code 0 (got %r)" % code)
    finally:
        program.kill()


# ---- opengl -------------------------------------------------------------------------------

def opengl(probe):
    program = WineProgram(probe, [], "opengl", "/tmp" if not os.environ.get("TMPDIR") else os.environ["TMPDIR"])
    try:
        code = program.wait(60)
        log = program.stdout()
        print(log, end="")
        check(code == 0, "the OpenGL probe ends with exit code 0")
        check("library loaded=1" in log, "opengl32.dll is loaded")
        check("initialize 110=1 core=1 100=1" in log, "the 1.1 group initializes with its predecessors")
        check("group core names=5 found=5" in log, "the five WGL core entry points resolve")
        check("group 100 names=48 found=48" in log and "group 110 names=288 found=288" in log,
              "all 336 OpenGL 1.1 commands resolve")
        check("extensions before_context=0" in log, "the extension group fails without a current context")
        check("extensions after_context=1 swap=1 get_swap=1" in log,
              "the extension group succeeds once a context is current")
        check("exports current_context_matches=1 current_dc_matches=1" in log,
              "the load-time exports see the context the variables made current")
        check(re.search(r"generic_double=0 software_match=0", log) is not None,
              "wine offers no double-buffered generic format (why the shipped game fails here)")
        check("missing_core create=0 error=127 make_current=0 error=127" in log,
              "without its core entry points the binding's context calls fail with "
              "ERROR_PROC_NOT_FOUND instead of crashing")
        check("unloaded=1" in log, "the library unloads")
    finally:
        program.kill()


# ---- the game -----------------------------------------------------------------------------

SOFTWARE_FAILURE = ["FindSoftwareRendererPixelFormat32BitColors failed.", "GetLastError: N",
                    "SelectPixelFormat failed.", "GetLastError: N"]


def normalised(boxes):
    return [re.sub(r"^GetLastError: \d+$", "GetLastError: N", text) for text in boxes]


def game(exe, shots):
    os.makedirs(shots, exist_ok=True)
    title = os.path.splitext(os.path.basename(exe))[0]
    program = WineProgram(exe, [], "game", shots)
    try:
        for index in range(4):
            check(wait_for(lambda: len(program.boxes()) > index, 60), "box %d appears" % (index + 1))
            check(dismiss_box(title), "box %d closes on Return" % (index + 1))
        check(normalised(program.boxes()) == SOFTWARE_FAILURE,
              "the software pixel-format failure is reported in four boxes: %r" % program.boxes())
        window = find_viewable_window("^Vantrel Game ")
        check(window is not None, "the main window is on the screen")
        check(wait_for(lambda: RATE_CAPTION.match(caption(window) or "") is not None, 15),
              "the loop runs: the caption shows the frame rate (%r)" % caption(window))
        # wine hands the window class's icon to the window manager as _NET_WM_ICON.
        icons = icon_images(window) if window else {}
        check(icons.get(32) == drawn_icon(32),
              "the window shows the exe's own icon, not the generic one (%r)" % sorted(icons))
        code = close_and_wait(program, window)
        check(code == 0, "closing the window ends the game with exit code 0 (got %r)" % code)
        check(normalised(program.boxes()) == SOFTWARE_FAILURE, "no other box appeared")
    finally:
        program.kill()


# ---- the shipped game with a stand-in opengl32.dll ---------------------------------------

def beside_standin(exe, standin, work):
    """A folder of its own holding a copy of exe with the stand-in opengl32.dll beside it, so
    that only this run loads it; the path of the copy and of the stand-in's log."""
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    shutil.copy(exe, work)
    shutil.copy(standin, os.path.join(work, "opengl32.dll"))
    return os.path.join(work, os.path.basename(exe)), os.path.join(work, "opengl32-standin.log")


def standin_log(path):
    """The stand-in's log: the formats it offered by role, every format as the caller saw it
    (number -> dwFlags and bits), the formats set and the calls it failed."""
    offered, described, set_formats, failed = {}, {}, [], []
    if os.path.exists(path):
        for line in open(path, errors="replace"):
            words = line.split()
            if words[:1] == ["offer"]:
                offered[words[2]] = int(words[1])
            elif words[:1] == ["describe"]:
                fields = dict(word.split("=") for word in words[2:])
                described[int(words[1])] = {k: int(v, 0) for k, v in fields.items()}
            elif words[:1] == ["set_pixel_format"]:
                set_formats.append(int(words[1]))
            elif words[:1] == ["fail"]:
                failed.append((words[1], int(words[2])))
    return offered, described, set_formats, failed


def software_matches(described):
    """The formats the software-renderer search accepts, in number order: generic, not
    accelerated, double-buffered 32-bit RGBA window formats (the game's rule, said again)."""
    wanted = 0x4 | 0x1 | 0x20 | 0x40  # window, double buffer, OpenGL, generic
    return [n for n, d in sorted(described.items())
            if d["flags"] & wanted == wanted and not d["flags"] & 0x1000 and d["color"] == 32
            and d["red"] == d["green"] == d["blue"] == d["alpha"] == 8]


def exported_names(dll):
    dump = run("x86_64-w64-mingw32-objdump", "-p", dll, timeout=60).stdout
    table = dump.split("[Ordinal/Name Pointer] Table", 1)[-1].split("\n\n", 1)[0]
    return set(re.findall(r"^\s*\[\s*\d+\] (\S+)$", table, re.MULTILINE))


def softgame(exe, standin, shots):
    os.makedirs(shots, exist_ok=True)
    # Wine's own opengl32.dll, the 64-bit one, as Debian's libwine package installs it.
    real = next((line for line in run("dpkg", "-L", "libwine").stdout.splitlines()
                 if line.endswith("/x86_64-windows/opengl32.dll")), None)
    ours, theirs = exported_names(standin), exported_names(real) if real else set()
    check(len(theirs) > 300 and ours == theirs,
          "the stand-in exports exactly what wine's opengl32.dll exports (%d names; missing %r, "
          "extra %r)" % (len(theirs), sorted(theirs - ours)[:5], sorted(ours - theirs)[:5]))

    game_exe, log = beside_standin(exe, standin, os.path.join(shots, "run"))
    program = WineProgram(game_exe, [], "softgame", shots, standin="generic")
    try:
        window = find_viewable_window("^Vantrel Game ", 60)
        check(window is not None, "the main window is on the screen")
        offered, described, set_formats, _ = standin_log(log)
        print("stand-in offered %r of %d formats; set %r" % (offered, len(described), set_formats))
        matches = software_matches(described)
        check(len(matches) >= 2 and matches[0] != 1 and offered.get("first") == matches[0]
              and offered.get("later") == matches[1],
              "the stand-in offers a first generic software format other than number 1 and a "
              "later one (%r)" % matches[:2])
        check(offered.get("accelerated", 10 ** 6) < matches[0] and
              offered.get("other", 10 ** 6) < matches[0],
              "before the first match it offers an accelerated one and a generic one that fails "
              "another condition (%r)" % offered)
        check(set_formats == [matches[0]] if matches else False,
              "SetPixelFormat gets the first match, not a later or an accelerated one (%r)"
              % set_formats)
        check(wait_for(lambda: RATE_CAPTION.match(caption(window) or "") is not None, 15),
              "the caption shows the frame rate (%r)" % caption(window))
        target, offset = drawn_field(shots)
        if target:
            # Patient zero falls ill 100 to 199 cycles after the start: about 2 to 3.5 s.
            zero = wait_for(lambda: Shot(target).squares("red"), 15, step=0.2)
            if zero:
                Shot(target, os.path.join(shots, "patient-zero.png"))
            check(bool(zero), "a red square (patient zero) appears after its delay")
        infect_and_close(program, window, target, offset, shots)
    finally:
        program.kill()


def nosoftware(exe, standin, shots):
    """The stand-in offers generic formats, but the accelerated one and the one that fails
    another condition do not qualify: the failure boxes, as with wine's own library."""
    os.makedirs(shots, exist_ok=True)
    game_exe, log = beside_standin(exe, standin, os.path.join(shots, "run"))
    title = os.path.splitext(os.path.basename(exe))[0]
    program = WineProgram(game_exe, [], "nosoftware", shots, standin="none")
    try:
        for index in range(4):
            if not check(wait_for(lambda: len(program.boxes()) > index, 60),
                         "box %d appears" % (index + 1)):
                break
            check(dismiss_box(title), "box %d closes on Return" % (index + 1))
        boxes = program.boxes()
        check(normalised(boxes) == SOFTWARE_FAILURE and boxes[1] == boxes[3],
              "four boxes, both with the code of the failure: %r" % boxes)
        offered, described, set_formats, _ = standin_log(log)
        check(set(offered) == {"accelerated", "other"} and software_matches(described) == [],
              "the stand-in offered generic formats, none of which qualifies (%r)" % offered)
        check(set_formats == [], "no pixel format was set (%r)" % set_formats)
        window = find_viewable_window("^Vantrel Game ")
        check(window is not None, "the main window is on the screen")
        code = close_and_wait(program, window)
        check(code == 0, "closing the window ends the game with exit code 0 (got %r)" % code)
        check(len(program.boxes()) == 4, "no other box appeared")
    finally:
        program.kill()


# The failing call, the code it leaves, and the boxes in order: the second of each pair shows
# that call's code, although the box before it has set the thread's code anew.
LAST_ERROR_CASES = [
    ("software", "wglDescribePixelFormat", 1234,
     ["FindSoftwareRendererPixelFormat32BitColors failed.", "GetLastError: 1234",
      "SelectPixelFormat failed.", "GetLastError: 1234"]),
    ("software", "wglSetPixelFormat", 2345, ["SetPixelFormat failed.", "GetLastError: 2345"]),
    ("software", "wglCreateContext", 3456,
     ["mOpenGLAPI.wglCreateContext( mDeviceContext ) failed.", "GetLastError: 3456"]),
    ("software", "wglMakeCurrent", 5678,
     ["mOpenGLAPI.wglMakeCurrent( mDeviceContext, mRenderingContext ) failed.",
      "GetLastError: 5678"]),
    ("software", "wglDeleteContext", 6789,
     ["mOpenGLAPI.wglDeleteContext( mRenderingContext ) failed.", "GetLastError: 6789"]),
    ("hardware", "wglChoosePixelFormat", 7890,
     ["ChoosePixelFormat failed.", "GetLastError: 7890", "SelectPixelFormat failed.",
      "GetLastError: 7890"]),
]


def lasterror(software_trace, hardware_trace, standin, shots):
    """Each case runs a trace game (which ends by itself after its cycles) with the stand-in
    failing one call, answers the boxes as they come and reads their texts."""
    os.makedirs(shots, exist_ok=True)
    for layout, call, code, expected in LAST_ERROR_CASES:
        exe = software_trace if layout == "software" else hardware_trace
        work = os.path.join(shots, call)
        game_exe, log = beside_standin(exe, standin, work)
        title = os.path.splitext(os.path.basename(exe))[0]
        program = WineProgram(game_exe, ["--seed", "5", "--cycles", "60", "--dump",
                                         windows_path(os.path.join(work, "dump.txt"))],
                              call, work, standin="generic fail=%s:%d" % (call, code))
        try:
            for index in range(len(expected)):
                if not wait_for(lambda: len(program.boxes()) > index, 60):
                    break
                dismiss_box(title)
            exit_code = program.wait(60)
            check(program.boxes() == expected, "%s failing with %d: the boxes %r" %
                  (call, code, program.boxes()))
            check(standin_log(log)[3][:1] == [(call, code)], "%s: the stand-in failed it with %d"
                  % (call, code))
            check(exit_code == 0, "%s: the game runs on and ends with exit code 0 (got %r)"
                  % (call, exit_code))
        finally:
            program.kill()


def gl_window(size, seconds=20):
    """NOTE: wine draws GL of a child window into an X window of its own, outside the form's,
    kept off the screen at (-1, -1) or so. Screenshots of it are clipped to the screen, so a
    screenshot's pixel (x, y) is the view's pixel (x, y) plus the returned offset."""
    pattern = re.compile(r"^\s+(0x[0-9a-f]+) .*\)\s+%dx%d\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)$"
                         % size)
    found = []

    def look():
        tree = run("xwininfo", "-root", "-tree").stdout
        found[:] = [(m.group(1), (max(0, -int(m.group(2))), max(0, -int(m.group(3)))))
                    for m in map(pattern.match, tree.splitlines()) if m]
        return bool(found)

    return found if wait_for(look, seconds) else []


def drawn_field(shots):
    """wine's X window that holds the game's 792 x 673 drawing, and its offset (gl_window),
    once it shows white squares; checks that the field is black with about 100 of them.
    (None, (0, 0)) when it never shows."""
    found = []

    def drawn():
        for candidate, candidate_offset in gl_window((792, 673)):
            if Shot(candidate, os.path.join(shots, "gl.png")).squares("white"):
                found[:] = [(candidate, candidate_offset)]
                return True
        return False

    check(wait_for(drawn, 20, step=0.2), "the OpenGL drawing is found in its own X window")
    if not found:
        return None, (0, 0)
    target, offset = found[0]
    shot = Shot(target, os.path.join(shots, "field.png"))
    white = shot.squares("white")
    check(70 <= len(white) <= 100, "about 100 white squares on black (%d)" % len(white))
    check(shot.non_black_fraction() < 0.2, "the field is black")
    return target, offset


def infect_and_close(program, window, target, offset, shots):
    """A right click turns a white square red on the drawing found in target (when found);
    closing the window then ends the game cleanly, and no message box appeared."""
    if target:
        infected = click_until(target, shots, 3, "red", "right", click_window=window,
                               offset=offset)
        check(infected is not None, "a right click on a white square turns it red (%r)"
              % (infected,))
    code = close_and_wait(program, window)
    check(code == 0, "closing the window ends the game with exit code 0 (got %r)" % code)
    check(program.boxes() == [], "no message box: %r" % program.boxes())


def hwgame(exe, shots):
    os.makedirs(shots, exist_ok=True)
    program = WineProgram(exe, [], "hwgame", shots)
    try:
        window = find_viewable_window("^Vantrel Game ", 60)
        check(window is not None, "the main window is on the screen")
        check(wait_for(lambda: RATE_CAPTION.match(caption(window) or "") is not None, 15),
              "the caption shows the frame rate")
        target, offset = drawn_field(shots)
        infect_and_close(program, window, target, offset, shots)
    finally:
        program.kill()


# ---- cross-check --------------------------------------------------------------------------

def crosscheck(native, windows):
    linux = subprocess.run([native], capture_output=True, text=True, timeout=120).stdout
    result = subprocess.run([WINE, windows], capture_output=True, text=True, timeout=300,
                            env=wine_environment("-all"))
    win = result.stdout.replace("\r", "")
    lines_l, lines_w = linux.splitlines(), win.splitlines()
    check(len(lines_l) == len(lines_w) and len(lines_l) > 40000, "both builds print the same lines")
    math_l = [l.split() for l in lines_l if l.startswith("math ")]
    math_w = [l.split() for l in lines_w if l.startswith("math ")]
    sqrt_diff = sum(1 for a, b in zip(math_l, math_w) if a[4] != b[4])
    check(sqrt_diff == 0, "sqrt agrees bit for bit (%d differences)" % sqrt_diff)
    sin_diff = sum(1 for a, b in zip(math_l, math_w) if a[2] != b[2])
    cos_diff = sum(1 for a, b in zip(math_l, math_w) if a[3] != b[3])
    check(sin_diff == 0 and cos_diff == 0,
          "sin and cos agree bit for bit (%d sin, %d cos differences of %d)"
          % (sin_diff, cos_diff, len(math_l)))
    persons_l = [l for l in lines_l if not l.startswith("math ")]
    persons_w = [l for l in lines_w if not l.startswith("math ")]
    states = [l for l in persons_l if l.startswith("state ")]
    check(len(states) == 6 and "over=1" in states[-1],
          "the world's state is written every 1000 steps, through level changes to game over")
    first = next((i for i, (a, b) in enumerate(zip(persons_l, persons_w)) if a != b), None)
    check(first is None, "the worlds agree bit for bit (first difference: %r / %r)"
          % ((persons_l[first], persons_w[first]) if first is not None else (None, None)))


def no_opengl(exe, shots):
    """The game imports four functions of opengl32.dll, so without the DLL it cannot start: the
    system's loader refuses it before any of its code runs (wine says so on stderr; Windows
    shows its own "was not found" dialog). The Linux game does the same without libGL.so.1."""
    os.makedirs(shots, exist_ok=True)
    program = WineProgram(exe, [], "no-opengl", shots, disabled_dlls=("opengl32",))
    try:
        code = program.wait(60)
        with open(program.err_path, errors="replace") as f:
            err = f.read()
        print("exit code %r; loader: %r" % (code, re.findall(r"err:module:.*", err)))
        check(code not in (None, 0), "the game does not start without opengl32.dll (exit code %r)"
              % code)
        check(re.search(r"Library OPENGL32\.dll .* not found", err) is not None,
              "the loader names the missing opengl32.dll")
        check(program.boxes() == [] and program.stdout() == "", "none of the game's code ran")
        check(find_window("^Vantrel Game", 2) is None, "no window appeared")
    finally:
        program.kill()


def fatal(exe, shots):
    """A program without a console that fails before its loop must still say so: the trace
    build, given a bad command line or a file it cannot write, shows the fatal-error report in
    a box and exits with 1."""
    os.makedirs(shots, exist_ok=True)
    title = os.path.splitext(os.path.basename(exe))[0]
    program = WineProgram(exe, ["--seed", "1", "--cycles", "many", "--dump", "Z:\\tmp\\x"],
                          "fatal", shots)
    try:
        check(wait_for(lambda: len(program.boxes()) == 1, 60), "the fatal-error report appears")
        check(program.boxes() == ["Fatal error: --cycles needs a whole number of at least 1, "
                                  "not many"], "it says what went wrong: %r" % program.boxes())
        box = find_viewable_window("^" + re.escape(title) + "$")
        if box:
            icon = Shot(box, os.path.join(shots, "fatal.png")).squares("red")
            check(any(w >= 10 and h >= 10 for _, _, w, h in icon), "the box has a stop icon")
        check(program.wait(1) is None, "the program waits until the report has been seen")
        check(dismiss_box(title), "Return closes the box")
        code = program.wait(30)
        check(code == 1, "then the program ends with exit code 1 (got %r)" % code)
        check(find_window("^Vantrel Game", 1) is None, "no main window was ever shown")
    finally:
        program.kill()
    # Outputs that cannot be written: refused before the window opens, or reported after the
    # game's normal shutdown when the write itself fails; then exit code 1, never a hang.
    for arguments, report, window_shown in (
            (["--cycles", "5", "--dump", "Z:\\nonexistent-folder\\x.txt"],
             r"Fatal error: cannot write the --dump file 'Z:\\\\nonexistent-folder\\\\x\.txt': .+",
             False),
            (["--cycles", "30", "--dump", "Z:\\dev\\full"],
             r"Fatal error: could not write the --dump file 'Z:\\\\dev\\\\full': .+", True)):
        program = WineProgram(exe, ["--seed", "1"] + arguments, "unwritable", shots)
        try:
            shown = window_shown and find_viewable_window("^Vantrel Game", 20) is not None
            check(wait_for(lambda: len(program.boxes()) == 1, 60), "%r: the report appears"
                  % arguments)
            # NOTE: wine's trace writes each backslash of the text twice.
            text = "".join(program.boxes()).replace("\\\\", "\\")
            check(re.fullmatch(report, text) is not None,
                  "%r: it names the file, its backslashes escaped (%r)" % (arguments, text))
            check(dismiss_box(title), "Return closes the box")
            code = program.wait(30)
            check(code == 1, "%r: then the program ends with exit code 1 (got %r)"
                  % (arguments, code))
            if window_shown:
                check(shown, "%r: the game ran before the write failed" % arguments)
            else:
                check(find_window("^Vantrel Game", 1) is None,
                      "%r: the refusal came before the window opened" % arguments)
        finally:
            program.kill()


# ---- trace --------------------------------------------------------------------------------

def trace(exe, sim, dumps):
    """The cases of trace_e2e.py against the Windows trace game (hardware-accelerated layout)."""
    os.makedirs(dumps, exist_ok=True)
    for seed, steps, _ in CASES:
        expected = driver_state(sim, seed, steps)
        dump = os.path.join(dumps, "windows-%d-%d.txt" % (seed, steps))
        events = os.path.join(dumps, "windows-%d-%d-events.txt" % (seed, steps))
        e2e_support.remove_stale(dump, events)
        program = WineProgram(exe, ["--seed", str(seed), "--cycles", str(steps), "--dump",
                                    windows_path(dump), "--events", windows_path(events)],
                              "trace-%d" % seed, dumps)
        try:
            code = program.wait(steps / 10 + 90)
            check(code == 0, "seed %d: the Windows trace game ends through its shutdown with exit "
                  "code 0 (got %r)" % (seed, code))
            check(program.boxes() == [], "seed %d: no message box (%r)" % (seed, program.boxes()))
            compare(dump, expected, "seed %d, %d steps, Windows" % (seed, steps))
            compare(dump, driver_state(sim, seed, steps, events),
                    "seed %d, %d steps, Windows, replayed from its event log" % (seed, steps))
        finally:
            program.kill()


def softtrace(exe, standin, sim, dumps):
    """The cases of trace_e2e.py against the shipped layout's trace game, drawing through the
    stand-in's first generic format."""
    os.makedirs(dumps, exist_ok=True)
    for seed, steps, _ in CASES:
        expected = driver_state(sim, seed, steps)
        game_exe, log = beside_standin(exe, standin, os.path.join(dumps, "software-%d" % seed))
        dump = os.path.join(dumps, "software-%d-%d.txt" % (seed, steps))
        e2e_support.remove_stale(dump)
        program = WineProgram(game_exe, ["--seed", str(seed), "--cycles", str(steps), "--dump",
                                         windows_path(dump)],
                              "software-trace-%d" % seed, dumps, standin="generic")
        try:
            code = program.wait(steps / 10 + 90)
            check(code == 0, "seed %d: the software trace game ends with exit code 0 (got %r)"
                  % (seed, code))
            check(program.boxes() == [], "seed %d: no message box (%r)" % (seed, program.boxes()))
            offered, described, set_formats, _ = standin_log(log)
            check(set_formats == software_matches(described)[:1] == [offered.get("first")],
                  "seed %d: it draws on the first generic software format (%r)"
                  % (seed, set_formats))
            compare(dump, expected, "seed %d, %d steps, Windows software layout" % (seed, steps))
        finally:
            program.kill()


# ---- inputs -------------------------------------------------------------------------------

def inputs(exe, sim, out_dir):
    """player_inputs.py's player and checks against the Windows trace game."""
    def start(seed, cycles, dump, events):
        return WineProgram(exe, ["--seed", str(seed), "--cycles", str(cycles), "--dump",
                                 windows_path(dump), "--events", windows_path(events)],
                           "inputs", out_dir)

    found = {}  # client size -> wine's X window for the view's OpenGL there, and its offset

    def shoot(window, size):
        """The field from wine's own X window for the view's OpenGL (gl_window), which it keeps
        just off the screen; the form's windows of that size are on it."""
        if size not in found:
            off_screen = [c for c in gl_window(size, 5) if c[1] != (0, 0)]
            if len(off_screen) != 1:
                return None
            found[size] = off_screen[0]
        return Shot(found[size][0]), found[size][1]

    player_inputs.drive(start, lambda seconds: find_viewable_window("^Vantrel Game ", seconds),
                        shoot, sim, out_dir, "Windows", startup_seconds=60)


def sim_outputs(sim, native):
    folder = tempfile.mkdtemp(prefix="vantrel-sim-wine-")
    keep = os.path.join(folder, "keep.csv")
    with open(keep, "w") as file:
        file.write("old")

    def windows(*arguments):
        result = subprocess.run([WINE, sim, *arguments], capture_output=True, text=True,
                                timeout=300, cwd=folder, env=wine_environment("-all"))
        return result.returncode, result.stdout.replace("\r", ""), result.stderr

    code, _, _ = windows("--seed", "3", "--steps", "300", "--csv", "keep.csv", "--no-state")
    expected = subprocess.run([native, "--seed", "3", "--steps", "300", "--csv", "-",
                               "--no-state"], capture_output=True, text=True, timeout=120).stdout
    with open(keep) as file:
        written = file.read()
    check(code == 0 and written == expected, "an existing file is replaced by the whole CSV")
    check(sorted(os.listdir(folder)) == ["keep.csv"], "no temporary file is left beside it")
    code, _, error = windows("--seed", "1", "--steps", "5", "--csv", "keep.csv", "--plot",
                             ".\\KEEP.csv")
    with open(keep) as file:
        check(code == 2 and "the same file" in error and file.read() == written,
              f"one file under two names is refused and left alone ({code}, {error.strip()})")
    code, _, error = windows("--seeds", "1..4", "--steps", "800", "--jobs", "2")
    check(code == 2 and error.count("\n") == 1 and "--jobs 2" in error,
          f"more than one job is refused in one line ({error.strip()})")
    code, rows, _ = windows("--seeds", "1..4", "--steps", "800")
    linux = subprocess.run([native, "--seeds", "1..4", "--steps", "800", "--jobs", "1"],
                           capture_output=True, text=True, timeout=120).stdout
    check(code == 0 and rows == linux and rows.count("\n") == 5,
          "a sweep runs in-process and its rows are the Linux build's")


# The check each command runs; the command line's further arguments are the check's.
COMMANDS = {"prefix": make_prefix, "toolkit": toolkit, "contract": contract, "opengl": opengl,
            "game": game, "hwgame": hwgame, "crosscheck": crosscheck, "no-opengl": no_opengl,
            "fatal": fatal, "trace": trace, "softgame": softgame, "nosoftware": nosoftware,
            "lasterror": lasterror, "softtrace": softtrace, "inputs": inputs,
            "sim-outputs": sim_outputs}


def main():
    command = sys.argv[1]
    if command not in COMMANDS:
        raise SystemExit("unknown command " + command)
    COMMANDS[command](*sys.argv[2:])
    if failures:
        print("%d check(s) failed" % len(failures))
        sys.exit(1)


if __name__ == "__main__":
    main()
