#!/usr/bin/env python3
"""No command in the README can rot unseen, and the README starts with the game.

Every line of the README's ```sh blocks (a trailing "# comment" left out) is a command that a
test runs: vantrel-sim's are run here, against the built driver in a scratch folder, and must
succeed; the GNU parallel sweeps are run by vantrel_sim_streams_test.py, which reads them from
the README; every other one must appear verbatim in a test script, tools/test.sh or .ci/run
(the scripts that run it keep it as written). Then the order of the top: the photosensitivity
warning before the first section, and the sections how to play, install, the epidemic for
those who study it and developing, in that order; every docs/ page it links exists.
Usage: readme_commands_test.py REPOSITORY VANTREL_SIM
"""
import os
import re
import shlex
import subprocess
import sys
import tempfile

from readme_blocks import sh_blocks

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e_support import check, failures  # noqa: E402


def test_sources(root):
    texts = []
    for folder, _, files in os.walk(os.path.join(root, "tests")):
        for name in files:
            if name.endswith((".py", ".sh", ".cmake", ".txt", ".cpp")):
                texts.append(open(os.path.join(folder, name), encoding="utf-8").read())
    for name in ("tools/test.sh", ".ci/run"):
        texts.append(open(os.path.join(root, name), encoding="utf-8").read())
    return texts


def run_driver(command, sim):
    """The command as a shell runs it (redirections included), with this build's driver."""
    with tempfile.TemporaryDirectory() as scratch:
        result = subprocess.run(shlex.quote(sim) + command[len("vantrel-sim"):], shell=True,
                                cwd=scratch, capture_output=True, text=True, timeout=600)
    return result.returncode == 0 and result.stderr == ""


def main():
    root, sim = sys.argv[1], os.path.abspath(sys.argv[2])
    readme = open(os.path.join(root, "README.md"), encoding="utf-8").read()
    scripts = test_sources(root)
    listed = [command for block in sh_blocks(readme) for command in block]
    check(len(listed) >= 5, f"{len(listed)} commands in the README's sh blocks")
    for command in listed:
        first = os.path.basename(shlex.split(command)[0])
        if first == "vantrel-sim":
            check(run_driver(command, sim), f"runs: {command}")
        elif first == "parallel" and "vantrel-sim" in command:
            # The GNU parallel sweeps need parallel and a stand-in for ssh: the streams test
            # reads them from the README and runs them as shown.
            check(any("readme_sweep_commands" in text for text in scripts),
                  f"the sweeps test runs: {command}")
        else:
            check(any(command in text for text in scripts), f"a test runs: {command}")

    sections = re.findall(r"^## (.+)$", readme, re.M)
    top = readme[:readme.index("\n## ")] if sections else readme
    check("Photosensitivity warning" in top and "flashes" in top,
          "the photosensitivity warning comes before the first section")
    wanted = ["How to play", "Install", "vantrel-sim", "Developing"]
    places = [next((i for i, s in enumerate(sections) if w.lower() in s.lower()), -1)
              for w in wanted]
    check(-1 not in places and places == sorted(places),
          f"sections in order {wanted}: {sections}")
    for link in sorted(set(re.findall(r"\]\((docs/[^)#]+)", readme))):
        check(os.path.exists(os.path.join(root, link)), f"the linked {link} exists")


if __name__ == "__main__":
    main()
    print(f"{len(failures)} failed")
    sys.exit(1 if failures else 0)
