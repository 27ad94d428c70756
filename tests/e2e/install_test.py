#!/usr/bin/env python3
"""cmake --install of the native build, as a user runs it, into scratch prefixes.

Checks the two programs in bin/ (games/ under /usr/local), the desktop entry (desktop-file-validate, and its Exec,
TryExec, Icon and StartupWMClass resolved the way a desktop does) and the icon in the hicolor
theme; once with a prefix full of characters that need quoting, once staged with DESTDIR.
Usage: install_test.py BUILD_DIR
"""
import filecmp
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import check, failures  # noqa: E402

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
SIZES = (16, 32, 48, 64, 128, 256)


def entry(path):
    values = {}
    with open(path, encoding="utf-8") as file:
        for line in file:
            if "=" in line and not line.startswith("["):
                key, value = line.rstrip("\n").split("=", 1)
                values[key] = value
    return values


def unescape_string(value):
    """The desktop entry's string escapes: \\s \\n \\t \\r \\\\."""
    out, i = "", 0
    while i < len(value):
        if value[i] == "\\" and i + 1 < len(value):
            out += {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}.get(value[i + 1],
                                                                              value[i:i + 2])
            i += 2
        else:
            out += value[i]
            i += 1
    return out


def exec_arguments(value):
    """Exec split into arguments: double quotes group, and inside them a backslash takes the
    next character literally; %% is a literal %."""
    value = unescape_string(value)
    arguments, current, quoted, started, i = [], "", False, False, 0
    while i < len(value):
        c = value[i]
        if quoted and c == "\\" and i + 1 < len(value):
            current += value[i + 1]
            i += 2
            continue
        if c == '"':
            quoted, started = not quoted, True
        elif c == " " and not quoted:
            if started:
                arguments.append(current)
            current, started = "", False
        else:
            current += c
            started = True
        i += 1
    if started:
        arguments.append(current)
    return [a.replace("%%", "%") for a in arguments]


def check_install(build, prefix, destdir=None):
    label = f"DESTDIR={destdir} " if destdir else ""
    environment = dict(os.environ)
    if destdir:
        environment["DESTDIR"] = destdir
    result = subprocess.run(["cmake", "--install", build, "--prefix", prefix],
                            capture_output=True, text=True, env=environment, timeout=120)
    if not check(result.returncode == 0, f"{label}cmake --install --prefix {prefix!r}"):
        print(result.stdout, result.stderr)
        return
    root = (destdir or "") + prefix
    # Debian's place for games under the system prefixes, bin/ anywhere else.
    folder = "games" if prefix in ("/usr", "/usr/local") else "bin"
    game = os.path.join(root, folder, "VantrelGame")
    sim = os.path.join(root, folder, "vantrel-sim")
    check(os.access(game, os.X_OK) and os.access(sim, os.X_OK),
          f"{label}{folder}/ holds VantrelGame and vantrel-sim, executable")
    desktop = os.path.join(root, "share", "applications", "vantrel-game.desktop")
    validated = subprocess.run(["desktop-file-validate", desktop], capture_output=True, text=True)
    check(validated.returncode == 0 and not validated.stdout.strip(),
          f"{label}desktop-file-validate accepts the entry {validated.stdout.strip()!r}")
    values = entry(desktop)
    installed_game = os.path.join(prefix, folder, "VantrelGame")
    check(exec_arguments(values.get("Exec", "")) == [installed_game],
          f"{label}Exec names the installed game ({values.get('Exec')!r})")
    check(unescape_string(values.get("TryExec", "")) == installed_game,
          f"{label}TryExec names it too ({values.get('TryExec')!r})")
    check(values.get("Name") == "Vantrel Game" and values.get("Type") == "Application" and
          "Game" in values.get("Categories", "").split(";"),
          f"{label}an application named Vantrel Game in the Game menu")
    # WM_CLASS is the program's file name: that is how a desktop ties the window to the entry.
    check(values.get("StartupWMClass") == os.path.basename(installed_game),
          f"{label}StartupWMClass is the game's WM_CLASS")
    icon = values.get("Icon", "")
    for size in SIZES:
        path = os.path.join(root, "share", "icons", "hicolor", f"{size}x{size}", "apps",
                            icon + ".png")
        check(os.path.isfile(path) and filecmp.cmp(
            path, os.path.join(ROOT, "program", "icon", f"vantrel-game-{size}.png"), shallow=False),
            f"{label}the icon {icon!r} in hicolor/{size}x{size}")
    if not destdir:
        run = subprocess.run([sim, "--seed", "9", "--steps", "300"], capture_output=True,
                             timeout=60)
        built = subprocess.run([os.path.join(build, "tools", "vantrel-sim"), "--seed", "9",
                                "--steps", "300"], capture_output=True, timeout=60)
        check(run.returncode == 0 and run.stdout == built.stdout,
              "the installed vantrel-sim runs like the built one")


def main():
    build = sys.argv[1]
    with tempfile.TemporaryDirectory() as scratch:
        # Spaces, a dollar, a percent sign, a quote and a backquote: each needs its escape.
        # (A backslash cannot be tried: cmake --install itself takes it for a separator.)
        check_install(build, os.path.join(scratch, "my games $HOME 100% \"x\" `y`"))
        check_install(build, "/usr/local", destdir=os.path.join(scratch, "stage"))


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
