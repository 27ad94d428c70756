#!/usr/bin/env python3
"""The README's commands for players, run as written in a fresh copy of the checkout on a
machine view without the test tools (fresh_checkout.py), on the display that
on_virtual_display.sh starts:

- the plain CMake build works without GoogleTest and says so; with GoogleTest but without the
  virtual display's tools it leaves the end-to-end tests out and says so;
- play.sh installs only the game's set (apt-get, sudo and dpkg-query are stand-ins that record
  what they are asked), says what and why before sudo, shows apt, builds and starts the game;
- the install line builds only what it installs, stripped, into ~/.local;
- the package line makes the .deb and its SHA256SUMS; lintian finds no error or warning; apt-get
  installs it; the installed game starts and its software-centre entry validates; apt-get
  removes it and nothing of it is left.
Usage: player_path_test.py WORK_DIR   (needs root: a mount namespace and apt-get)
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import (caption, check, close_and_wait, failures,  # noqa: E402
                         find_viewable_window, run)
from fresh_checkout import fresh_copy, without_test_tools  # noqa: E402
from install_test import entry, exec_arguments  # noqa: E402

# The README's commands, verbatim (tests/docs/readme_commands_test.py holds the README to them).
README_PLAIN_BUILD = "cmake -S . -B build -DCMAKE_BUILD_TYPE=Release && cmake --build build"
README_PLAY = "./tools/play.sh"
README_INSTALL = "cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF && cmake --build build/release && cmake --install build/release --strip --prefix ~/.local"  # noqa: E501
README_PACKAGE = "cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF && cmake --build build/release --target package"  # noqa: E501
README_APT_INSTALL = "sudo apt-get install ./build/release/vantrel-game_0.12_amd64.deb"
README_APT_REMOVE = "sudo apt-get remove vantrel-game"

PACKAGE = "vantrel-game"
CAPTION = re.compile(r"^Vantrel Game \(by Hollisk\) version 0\.12")

# Stand-ins for play.sh: nothing is installed, apt-get only records, sudo records and runs.
STAND_INS = {
    "dpkg-query": "exit 1",
    "apt-get": 'echo "apt-get $*" >>"$STAND_IN_LOG"',
    "sudo": 'echo "[sudo asked]"; echo "sudo $*" >>"$STAND_IN_LOG"; exec "$@"',
    "id": '[ "$1" = -u ] && echo 1000 || exec /usr/bin/id "$@"',
}


def shell(command, cwd, env=None, hidden=True, googletest=True, timeout=900):
    arguments = without_test_tools(command, googletest) if hidden else ["bash", "-c", command]
    result = subprocess.run(arguments, cwd=cwd, env=env, capture_output=True, text=True,
                            timeout=timeout)
    return result.returncode, result.stdout + result.stderr


def environment(**extra):
    env = dict(os.environ)
    # The copies' build folders are new every run; ccache keeps them quick where it exists.
    if shutil.which("ccache"):
        env["CMAKE_CXX_COMPILER_LAUNCHER"] = "ccache"
        env.setdefault("CCACHE_DIR", run("ccache", "-k", "cache_dir").stdout.strip())
    env.update(extra)
    return env


def executables(folder):
    """The programs built in a build folder (CMake's own probes left out)."""
    found = set()
    for directory, folders, files in os.walk(folder):
        folders[:] = [f for f in folders if f != "CMakeFiles"]
        for name in files:
            path = os.path.join(directory, name)
            with open(path, "rb") as file:
                if file.read(4) == b"\x7fELF" and os.access(path, os.X_OK):
                    found.add(os.path.relpath(path, folder))
    return found


def stripped(path):
    return ".symtab" not in run("readelf", "-S", "-W", path).stdout


def start_and_close(game, label):
    process = subprocess.Popen([game], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    window = find_viewable_window("^Vantrel Game", 30)
    if not check(window is not None, f"{label}: the game's window appears"):
        process.kill()
        return
    text = caption(window) or ""
    check(CAPTION.match(text) is not None, f"{label}: caption {text!r}")
    check(close_and_wait(process, window) == 0, f"{label}: closed like a user does, exit code 0")


def plain_build(source):
    status, output = shell(README_PLAIN_BUILD, source, environment())
    check(status == 0, "the plain CMake build works without GoogleTest and Xvfb")
    check(len(re.findall(r"GoogleTest not found.*VANTREL_BUILD_TESTS", output)) == 1,
          "one configure message says the tests are left out, naming VANTREL_BUILD_TESTS")
    check(executables(os.path.join(source, "build")) == {"program/VantrelGame",
                                                         "tools/vantrel-sim"},
          "it builds the game and vantrel-sim, and no test program")
    # GoogleTest there, the virtual display's tools not: unit tests only, and one message.
    folder = os.path.join(source, "build-unit")
    status, output = shell(f"cmake -S . -B {folder} -DCMAKE_BUILD_TYPE=Release", source,
                           environment(), googletest=False)
    listed = run("ctest", "--test-dir", folder, "-N", "-L", "e2e").stdout
    check(status == 0 and re.search(r"Total Tests: 0\b", listed) is not None,
          "with GoogleTest but without Xvfb the end-to-end tests are left out")
    check(len(re.findall(r"Not found: .*xvfb-run.*VANTREL_BUILD_E2E_TESTS", output)) == 1,
          "one configure message names the missing tools and VANTREL_BUILD_E2E_TESTS")
    units = run("ctest", "--test-dir", folder, "-N", "-L", "unit").stdout
    check(re.search(r"Total Tests: [1-9]", units) is not None, "the unit tests are still there")
    status, output = shell("cmake --preset native", source, environment(), googletest=False)
    check(status != 0 and "VANTREL_BUILD_E2E_TESTS is on, but these are missing" in output,
          "the native test preset refuses to configure without the test tools")


def play(source, scratch):
    stand_ins = os.path.join(scratch, "stand-ins")
    os.makedirs(stand_ins)
    for name, body in STAND_INS.items():
        path = os.path.join(stand_ins, name)
        with open(path, "w") as file:
            file.write("#!/usr/bin/env bash\n" + body + "\n")
        os.chmod(path, 0o755)
    log = os.path.join(scratch, "stand-in.log")
    env = environment(PATH=stand_ins + ":" + os.environ["PATH"], STAND_IN_LOG=log)
    arguments = without_test_tools(README_PLAY)
    printed = os.path.join(scratch, "play.out")
    with open(printed, "w") as out:
        process = subprocess.Popen(arguments, cwd=source, env=env, stdout=out,
                                   stderr=subprocess.STDOUT)
    window = find_viewable_window("^Vantrel Game", 600)
    if check(window is not None, "play.sh builds and starts the game"):
        check(close_and_wait(process, window) == 0, "play.sh: the game ends with exit code 0")
    else:
        process.kill()
    process.wait(timeout=30)
    check(executables(os.path.join(source, "build", "release")) == {"program/VantrelGame",
                                                                    "tools/vantrel-sim"},
          "play.sh builds the game and vantrel-sim, where the README says the driver is")
    output = open(printed).read()
    asked = open(log).read().splitlines() if os.path.exists(log) else []
    game_set = run(os.path.join(source, "tools", "setup.sh"), "--list", "game").stdout.split()
    installs = [line.split() for line in asked if line.startswith("apt-get install ")]
    check(len(installs) == 1 and sorted(installs[0][installs[0].index("install") + 1:]) ==
          sorted(["-y", "--no-install-recommends"] + game_set),
          f"play.sh installs the game's set and nothing else ({game_set})")
    check(asked[:1] == ["sudo apt-get update"] and all(line.startswith("sudo ") for line in asked
                                                       if not line.startswith("apt-get")),
          "apt-get runs through sudo")
    lines = output.splitlines()
    said = [i for i, line in enumerate(lines) if line.startswith("Installing ")]
    check(len(said) == 1 and "to build and run the game" in lines[said[0]] and
          "sudo" in lines[said[0]] and lines.index("[sudo asked]") > said[0],
          "one line says what and why before sudo is asked")
    check(not any("-qq" in line or ">/dev/null" in line for line in asked),
          "apt's progress is shown, not hidden")


def install_line(source, scratch):
    home = os.path.join(scratch, "home")
    os.makedirs(home)
    status, output = shell(README_INSTALL, source, environment(HOME=home))
    if not check(status == 0, "the README's install line works"):
        print(output[-3000:])
        return
    check(executables(os.path.join(source, "build", "release")) == {"program/VantrelGame",
                                                                    "tools/vantrel-sim"},
          "it builds only what it installs")
    for name in ("VantrelGame", "vantrel-sim"):
        path = os.path.join(home, ".local", "bin", name)
        check(os.path.isfile(path) and stripped(path), f"~/.local/bin/{name}, stripped")
    check(os.path.isfile(os.path.join(home, ".local", "share", "doc", PACKAGE, "copyright")),
          "the licence is installed beside")


def traces():
    """Every path on the system whose name holds "vantrel", where a package could leave one."""
    found = set()
    for top in ("/usr", "/etc", "/opt", "/var/lib/dpkg/info", "/var/games"):
        for directory, folders, files in os.walk(top):
            found.update(os.path.join(directory, name) for name in folders + files
                         if "vantrel" in name.lower())
    return found


def installed_files(deb):
    listing = run("dpkg-deb", "-c", deb).stdout.splitlines()
    return [line.split()[-1][1:] for line in listing if not line.startswith("d")]


def package(source, scratch):
    status, output = shell(README_PACKAGE, source, environment())
    release = os.path.join(source, "build", "release")
    deb = os.path.join(release, f"{PACKAGE}_0.12_amd64.deb")
    if not check(status == 0 and os.path.isfile(deb), "the package line makes the .deb"):
        print(output[-3000:])
        return
    sums = subprocess.run("sha256sum -c SHA256SUMS", shell=True, cwd=release,
                          capture_output=True, text=True)
    check(sums.returncode == 0 and os.path.basename(deb) in sums.stdout,
          "SHA256SUMS beside it checks the .deb")
    lintian = run("lintian", "--display-level", ">=pedantic", deb, timeout=300)
    print(lintian.stdout, end="")
    check(not re.search(r"^[EW]: ", lintian.stdout, re.M), "lintian: no error, no warning")
    if run("dpkg-query", "-W", "-f=${db:Status-Status}", PACKAGE).stdout == "installed":
        check(False, f"{PACKAGE} is installed already: remove it before this test")
        return
    # Stand-ins for what a user answers at the prompt and for sudo when running as root.
    apt_config = os.path.join(scratch, "apt.conf")
    with open(apt_config, "w") as file:
        file.write('APT::Get::Assume-Yes "true";\nDPkg::Lock::Timeout "300";\n')
    env = environment(APT_CONFIG=apt_config, DEBIAN_FRONTEND="noninteractive")
    sudo = "" if shutil.which("sudo") else 'sudo() { "$@"; }; '
    files = installed_files(deb)
    before = traces()
    try:
        status, output = shell(sudo + README_APT_INSTALL, source, env, hidden=False)
        if not check(status == 0, "apt-get installs the .deb"):
            print(output[-3000:])
            return
        check(all(os.path.exists(f) for f in files), f"its {len(files)} files are in place")
        # Started as the desktop's menu starts it.
        desktop = entry("/usr/share/applications/vantrel-game.desktop")
        command = exec_arguments(desktop.get("Exec", ""))
        check(command == ["/usr/games/VantrelGame"], f"the menu entry starts {command}")
        start_and_close(command[0], "the installed game")
        metainfo = [f for f in files if f.startswith("/usr/share/metainfo/")]
        valid = run("appstreamcli", "validate", "--no-net", *metainfo)
        check(len(metainfo) == 1 and valid.returncode == 0,
              f"appstreamcli validate accepts {metainfo} {valid.stdout.strip()!r}")
        page = subprocess.run(["zcat", "/usr/share/man/man6/VantrelGame.6.gz"],
                              capture_output=True, text=True).stdout
        entry_text = open(metainfo[0]).read() if metainfo else ""
        check("flashes rapidly" in page and "Photosensitivity warning" in entry_text and
              "<screenshot" in entry_text,
              "the manual page and the software-centre entry warn of the flashing")
        check(run("man", "-w", "6", "VantrelGame").returncode == 0 and
              run("man", "-w", "6", "vantrel-sim").returncode == 0, "man finds both pages")
        status, output = shell(sudo + README_APT_REMOVE, source, env, hidden=False)
        check(status == 0, "apt-get removes it")
    finally:
        state = run("dpkg-query", "-W", "-f=${db:Status-Status}", PACKAGE).stdout
        if state not in ("", "not-installed"):
            run("apt-get", "purge", "-y", PACKAGE, timeout=300)
    check(state in ("", "not-installed"), f"dpkg knows nothing of it afterwards ({state!r})")
    left = sorted(traces() - before) + [f for f in files if os.path.lexists(f)]
    check(not left, f"nothing of it is left behind {left}")


def main():
    work = sys.argv[1]
    os.makedirs(work, exist_ok=True)
    if not check(os.geteuid() == 0, "runs as root (mount namespace, apt-get)"):
        return
    with tempfile.TemporaryDirectory(dir=work) as scratch:
        source = fresh_copy(os.path.join(scratch, "source"))
        plain_build(source)
        play(source, scratch)
        install_line(source, scratch)
        package(source, scratch)


if __name__ == "__main__":
    main()
    print(f"{len(failures)} failed")
    sys.exit(1 if failures else 0)
