"""What the end-to-end scripts share: checks that are counted, tool runs with a timeout, waits
that end on a condition (with a timeout only as the bound for a failure), the windows' captions
and places, and the programs under test, waited for and ended."""
import os
import re
import subprocess
import time

failures = []


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message, flush=True)
    if not condition:
        failures.append(message)
    return condition


def run(*args, timeout=20):
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout)


def remove_stale(*paths):
    """Removes what an earlier run left at paths, so that the checks read this run's files."""
    for path in paths:
        if os.path.exists(path):
            os.remove(path)


def wait_for(predicate, seconds, step=0.05):
    """The first true value of predicate, polled until it comes or seconds have passed."""
    deadline = time.monotonic() + seconds
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(step)


def find_window(name_pattern):
    """The first window whose WM_NAME matches, or None."""
    found = run("xdotool", "search", "--name", name_pattern).stdout.split()
    return found[0] if found else None


def is_viewable(window):
    return "IsViewable" in run("xwininfo", "-id", window).stdout


def find_viewable_window(name_pattern, seconds):
    """The first window whose WM_NAME matches, once it is mapped (wine names a window before
    it maps it), or None after seconds."""
    window = wait_for(lambda: find_window(name_pattern), seconds)
    if window is not None and wait_for(lambda: is_viewable(window), 10):
        return window
    return None


def caption(window):
    """The window's WM_NAME, or None when it cannot be read (the window has gone)."""
    result = run("xdotool", "getwindowname", window)
    return result.stdout.rstrip("\n") if result.returncode == 0 else None


def geometry(window):
    """The window's client area on the screen: (left, top, width, height), or None."""
    info = run("xwininfo", "-id", window).stdout
    values = [re.search(pattern + r":\s+(-?\d+)", info) for pattern in
              ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
    return tuple(int(v.group(1)) for v in values) if all(values) else None


def client_size(window):
    """The window's client size (width, height), or None."""
    found = geometry(window)
    return found[2:] if found else None


def window_exists(window):
    return run("xdotool", "getwindowname", window).returncode == 0


def press_return_until_gone(window):
    """Presses Return in a window (a message box) until it has gone; true when it went."""
    # NOTE: a key pressed before the window manager has handed the box the focus goes to
    # another window; then the box is still there and takes a second try.
    for _ in range(2):
        run("timeout", "5", "xdotool", "windowfocus", "--sync", window, timeout=10)
        run("xdotool", "key", "Return")
        if wait_for(lambda: not window_exists(window), 10):
            return True
    return False


def close_and_wait(process, window, seconds=15):
    """Closes the window as a user does (WM_DELETE_WINDOW through the window manager) and waits
    for the process to end; returns its exit status, or None when it did not end."""
    # NOTE: a close request that reaches openbox before it manages the window is dropped;
    # then the window is still there and gets a second one.
    for wait in (seconds / 2, seconds / 2):
        run("wmctrl", "-i", "-c", window)
        status = wait_exit(process, wait)
        if status is not None:
            return status
    return None


def wait_exit(process, seconds):
    """The process's exit status once it has ended, or None when it still runs after seconds."""
    try:
        return process.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        return None


def end(process):
    """Kills the process if it still runs, and reaps it: the cleanup after a failed check."""
    if process.poll() is None:
        process.kill()
        process.wait(timeout=10)


class Program:
    """A program under test as the checks drive it: poll(), wait(seconds) giving the exit
    status or None, and kill() when it is no longer wanted."""

    def __init__(self, process):
        self.process = process

    def poll(self):
        return self.process.poll()

    def wait(self, seconds):
        return wait_exit(self.process, seconds)

    def kill(self):
        end(self.process)
