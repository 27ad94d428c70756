"""What the tests of the player's commands share: a fresh copy of the checkout to run the
README's commands in, and a machine view without the test tools.

fresh_copy copies the files git knows (committed or not, ignored ones left out), so the
commands meet the tree as a fresh clone has it. without_test_tools runs a shell command in a
mount namespace of its own where the packages of the test set that a stock desktop lacks are
hidden: GoogleTest's headers and CMake files, and the programs of the virtual display, the
window tools and wine. Needs root (as CI runs) for the namespace.
"""
import os
import shlex
import shutil
import subprocess

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

GOOGLETEST_FOLDERS = ("/usr/include/gtest", "/usr/include/gmock", "/usr/src/googletest",
                      "/usr/lib/x86_64-linux-gnu/cmake/GTest")
HIDDEN_PROGRAMS = ("xvfb-run", "Xvfb", "openbox", "xdotool", "wmctrl", "import",
                   "/usr/lib/wine/wine64")


def fresh_copy(destination):
    listed = subprocess.run(["git", "-C", ROOT, "ls-files", "-z", "--cached", "--others",
                             "--exclude-standard"], capture_output=True, check=True).stdout
    for name in sorted(set(listed.decode().split("\0")) - {""}):
        source = os.path.join(ROOT, name)
        if not os.path.lexists(source):  # deleted in the working tree
            continue
        target = os.path.join(destination, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(source, target, follow_symlinks=False)
    return destination


def hidden_paths(googletest):
    """The folders and the programs' files that without_test_tools hides, as they exist here."""
    folders = [f for f in GOOGLETEST_FOLDERS if googletest and os.path.isdir(f)]
    programs = []
    for name in HIDDEN_PROGRAMS:
        path = name if os.path.isabs(name) else shutil.which(name, path="/usr/bin:/bin")
        if path and os.path.exists(path):
            programs.append(os.path.realpath(path))
    return folders, programs


def without_test_tools(command, googletest=True):
    """The argument list that runs the shell command where the test tools cannot be found
    (GoogleTest among them unless googletest is false)."""
    folders, programs = hidden_paths(googletest)
    mounts = [f"mount -t tmpfs none {shlex.quote(f)}" for f in folders]
    mounts += [f"mount --bind /dev/null {shlex.quote(p)}" for p in programs]
    return ["unshare", "--mount", "--propagation", "private", "bash", "-c",
            " && ".join(mounts + [f"( {command} )"])]
