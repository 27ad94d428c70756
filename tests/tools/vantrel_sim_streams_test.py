#!/usr/bin/env python3
"""vantrel-sim as people run it: the progress line on a terminal (and nowhere else), trace lines
that leave as they are written, and the README's sweeps with GNU parallel, locally and over
--sshlogin (with a stand-in for ssh that runs the remote command here).

Usage: vantrel_sim_streams_test.py VANTREL_SIM README
"""
import os
import pty
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

for folder in ("e2e", "docs"):
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", folder))
from e2e_support import check, failures  # noqa: E402
from readme_blocks import sh_blocks  # noqa: E402

SIM = os.path.abspath(sys.argv[1])
README = sys.argv[2]
PROGRESS = re.compile(rb"\rvantrel-sim: (steps|seeds) \d+/\d+ \(\d+%\), [\d.]+ \1/s(, \d+ s left)?\x1b\[K")


def on_terminal(arguments):
    """Standard error on a pseudo-terminal: (everything it showed, seconds the run took)."""
    leader, follower = pty.openpty()
    started = time.monotonic()
    process = subprocess.Popen([SIM, *arguments], stdout=subprocess.DEVNULL, stderr=follower)
    os.close(follower)
    shown = b""
    deadline = started + 300
    while time.monotonic() < deadline:
        ready, _, _ = select.select([leader], [], [], 1)
        if ready:
            try:
                chunk = os.read(leader, 65536)
            except OSError:  # the terminal's other side closed: the program ended
                break
            if not chunk:
                break
            shown += chunk
        elif process.poll() is not None:
            break
    process.wait(timeout=60)
    os.close(leader)
    return shown, time.monotonic() - started


def check_progress():
    for name, arguments in (("a sweep", ["--seeds", "1..60", "--steps", "4000", "--jobs", "2"]),
                            ("a long run", ["--seed", "3", "--persons", "4000", "--steps", "3000"])):
        shown, seconds = on_terminal(arguments)
        lines = PROGRESS.findall(shown)
        # The first line waits half a second; a run that took more than a second drew one.
        if seconds > 1.0:
            check(len(lines) >= 1, f"{name} ({seconds:.1f} s) shows a progress line on a terminal")
        else:
            print(f"note {name} took only {seconds:.2f} s: too short to require a progress line")
        check(shown == b"" or shown.endswith(b"\r\x1b[K"),
              f"{name}: the progress line is erased at the end ({shown[-40:]!r})")
        check(PROGRESS.sub(b"", shown).replace(b"\r\x1b[K", b"") == b"",
              f"{name}: nothing else appears on the terminal")
        quiet, _ = on_terminal(arguments + ["--quiet"])
        check(quiet == b"", f"{name} with --quiet shows nothing")
        piped = subprocess.run([SIM, *arguments], stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, timeout=300)
        check(piped.returncode == 0 and piped.stderr == b"",
              f"{name}: nothing on standard error when it is a pipe")


def check_trace_is_flushed():
    # 20 000 persons: a thousand steps take seconds, so an unflushed trace would arrive as one
    # 64 KiB block of a thousand lines; flushed, each line comes alone.
    process = subprocess.Popen([SIM, "--seed", "1", "--persons", "20000", "--steps", "100000",
                                "--trace", "1"], stdout=subprocess.PIPE)
    ready, _, _ = select.select([process.stdout], [], [], 60)
    first = os.read(process.stdout.fileno(), 1 << 20) if ready else b""
    running = process.poll() is None
    process.send_signal(signal.SIGTERM)
    process.wait(timeout=60)
    lines = first.count(b"\n")
    check(first.startswith(b"step=1 persons=20000 ") and running and 1 <= lines < 500,
          f"trace lines reach a pipe as they are written ({lines} in the first read)")


def readme_sweep_commands():
    """The commands of the README's block that runs vantrel-sim under GNU parallel."""
    blocks = sh_blocks(open(README, encoding="utf-8").read())
    return next((block for block in blocks if any(c.startswith("parallel ") for c in block)), [])


def check_parallel(folder):
    commands = readme_sweep_commands()
    check(len(commands) == 2 and all(c.startswith("parallel ") for c in commands),
          f"the README shows the two GNU parallel sweeps ({len(commands)} found)")
    if shutil.which("parallel") is None:
        check(False, "GNU parallel is installed (tools/setup.sh)")
        return
    # ssh HOST [--] COMMAND...: the remote shell's work, done here. Like sshd, it gives the
    # command a login shell in SHELL, which parallel's remote worker runs each job with.
    stub = os.path.join(folder, "ssh-here")
    with open(stub, "w") as file:
        file.write('#!/bin/sh\nshift\n[ "$1" = "--" ] && shift\n'
                   'SHELL=/bin/sh exec sh -c "$*"\n')
    os.chmod(stub, 0o755)
    environment = dict(os.environ, PATH=os.path.dirname(SIM) + os.pathsep + os.environ["PATH"],
                       PARALLEL_HOME=os.path.join(folder, "parallel-home"))
    expected = subprocess.run([SIM, "--seeds", "1..100", "--steps", "5000", "--quiet"],
                              capture_output=True, timeout=600).stdout
    for command in commands:
        remote = "--sshlogin" in command
        if remote:
            command = command.replace("parallel ", f"parallel --ssh {stub} ", 1)
        if os.path.exists(os.path.join(folder, "sweep.csv")):
            os.remove(os.path.join(folder, "sweep.csv"))
        result = subprocess.run(["bash", "-o", "pipefail", "-c", command], cwd=folder,
                                env=environment, capture_output=True, timeout=900)
        with open(os.path.join(folder, "sweep.csv"), "rb") as file:
            rows = file.read()
        lines = rows.count(b"\n")
        check(result.returncode == 0 and rows == expected and rows.count(b"seed,") == 1,
              f"{'over --sshlogin' if remote else 'here'}: the two ranges are the one range, "
              f"byte for byte ({result.returncode}, {lines} lines, {result.stderr[-200:]!r})")


def check_readme_sweeps(folder):
    """The README's own sweep commands, run as shown (the driver from this build)."""
    text = open(README, encoding="utf-8").read()
    section = text[text.index("### Sweeps"):text.index("### The epidemic curve")]
    commands = [command[len("vantrel-sim "):] for block in sh_blocks(section)
                for command in block if command.startswith("vantrel-sim ")]
    check(len(commands) == 2, f"the README shows two sweeps ({len(commands)})")
    for command in commands:
        result = subprocess.run(f"{SIM} {command}", shell=True, cwd=folder, capture_output=True,
                                timeout=600)
        check(result.returncode == 0 and result.stderr == b"", f"vantrel-sim {command}")
    for name, lines in (("sweep.csv", 201), ("clicked.csv", 201)):
        with open(os.path.join(folder, name), "rb") as file:
            check(file.read().count(b"\n") == lines, f"{name} has a header and 200 rows")
    with open(os.path.join(folder, "levels.svg"), encoding="utf-8") as file:
        check("</svg>" in file.read(), "levels.svg is a picture")


def main():
    check_progress()
    check_trace_is_flushed()
    with tempfile.TemporaryDirectory() as folder:
        check_parallel(folder)
    with tempfile.TemporaryDirectory() as folder:
        check_readme_sweeps(folder)


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
