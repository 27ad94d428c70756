#!/usr/bin/env python3
"""Two vantrel-sim builds, the same bytes and their speed (run by bench/run_sim.sh).

First every run of a set of seeded scenarios (level changes, clicks, resizes, lost games, tiny
and empty fields, crowds) and every timed world must print the same bytes with both builds;
a difference stops the script. Then each timed world runs alternately with both builds, and
the table gives steps per second from the best CPU times, of the steps alone (a run of N steps
less a run of none) and of the whole run (creating the population and printing it included).
Usage: sim_speed.py BEFORE NOW BEFORE_NAME [--rounds N] [--quick]
"""
import argparse
import hashlib
import math
import os
import resource
import subprocess
import sys

# One seed each: --seed S goes in front. Together they reach level changes, lost games (with
# the overlay's three draws per paint), clicks of both buttons, resizes, corner traps, fields
# of 1 x 1 and 0 x 0, and a crowd whose outbreak runs through thousands of persons.
SCENARIOS = [
    "--steps 6000 --trace 100",
    "--steps 6000 --trace 50 --size 300x250@0 --click R,150,120@50 --click L,100,100@400 "
    "--size 500x400@2000 --size 40x30@2500 --size 792x673@2600 --click R,396,336@2601",
    "--persons 300 --size 120x90@0 --steps 3000 --trace 10",
    "--persons 7 --size 1x1@0 --click R,0,0@0 --steps 1600 --trace 100",
    "--persons 20 --size 0x0@0 --steps 500 --trace 25",
]
CROWD = "--persons 5000 --steps 900 --trace 100"


def scaled_field(persons):
    """The game's window scaled by sqrt(persons / 100) per side: the first level's density."""
    factor = math.sqrt(persons / 100)
    return "%dx%d" % (round(792 * factor), round(673 * factor))


# The timed worlds: 99 steps, so no one is infected yet (patient zero falls ill in cycle 100
# at the earliest) and every person walks in every step. Steps 1 to 99 are the run of 99 steps
# less the run of 0; steps 50 to 99, when most persons are turning and so need a new sine and
# cosine, less the run of 49. For these runs a last resize re-scatters the persons onto whole
# numbers, so that every state prints about as fast as the one after 0 steps (17 digits of a
# fraction take far longer); the angles' digits still differ, which counts against both builds
# alike and makes the speed-up shown err low.
WORLDS = [
    (20000, scaled_field(20000)),
    (20000, "792x673"),
    (100000, scaled_field(100000)),
    (1000000, scaled_field(1000000)),
]
STEPS = 99
MIDDLE_STEPS = 49


def world_arguments(persons, field, steps, rescatter=False):
    arguments = ["--seed", "1", "--persons", str(persons), "--size", field + "@0",
                 "--steps", str(steps)]
    return arguments + (["--size", "%s@%d" % (field, steps)] if rescatter else [])


def output_of(program, arguments):
    """Exit code, SHA-256 and size of standard output, and its state line; read in pieces (a
    million persons are 100 MB)."""
    digest = hashlib.sha256()
    size = 0
    state = b""
    carried = b""  # the unfinished last line of the pieces so far
    with subprocess.Popen([program] + arguments, stdout=subprocess.PIPE) as process:
        for piece in iter(lambda: process.stdout.read(1 << 20), b""):
            if not state:
                lines = (carried + piece).split(b"\n")
                carried = lines.pop()
                state = next((line for line in lines if line.startswith(b"state ")), b"")
            digest.update(piece)
            size += len(piece)
        code = process.wait(timeout=600)
    return code, digest.hexdigest(), size, state


def first_difference(before, now, arguments):
    """The first line on which the two builds' outputs differ, for the report."""
    outputs = [subprocess.run([program] + arguments, capture_output=True, timeout=600).stdout
               for program in (before, now)]
    for number, (a, b) in enumerate(zip(outputs[0].splitlines(), outputs[1].splitlines()), 1):
        if a != b:
            return "line %d:\n  before: %s\n  now:    %s" % (number, a.decode(), b.decode())
    return "lengths %d and %d" % (len(outputs[0]), len(outputs[1]))


def compare(before, now, runs):
    total = 0
    levels = lost = 0
    for arguments in runs:
        code_before, hash_before, size, _ = output_of(before, arguments)
        code_now, hash_now, _, state = output_of(now, arguments)
        if (code_before, hash_before) != (code_now, hash_now) or code_now != 0:
            print("DIFFERENT OUTPUT: vantrel-sim " + " ".join(arguments))
            print("exit codes %d and %d; %s" % (code_before, code_now,
                                                first_difference(before, now, arguments)))
            sys.exit(1)
        total += size
        fields = dict(part.split(b"=") for part in state.split()[1:])
        persons = int(arguments[arguments.index("--persons") + 1]) if "--persons" in arguments \
            else 100
        levels += int(fields.get(b"person_count", persons)) > persons
        lost += fields.get(b"over") == b"1"
    print("same bytes in all %d runs (%.1f MB of output; %d reached a later level, %d a lost game)"
          % (len(runs), total / 1e6, levels, lost))


def cpu_seconds(program, arguments):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run([program] + arguments, stdout=subprocess.DEVNULL, check=True, timeout=600)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("before")
    parser.add_argument("now")
    parser.add_argument("before_name")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--quick", action="store_true",
                        help="fewer seeds, no million-person world")
    options = parser.parse_args()
    seeds = range(1, 6) if options.quick else range(1, 41)
    worlds = WORLDS[:-1] if options.quick else WORLDS

    runs = [["--seed", str(seed)] + scenario.split() for seed in seeds for scenario in SCENARIOS]
    runs += [["--seed", str(seed)] + CROWD.split() for seed in seeds[:3]]
    runs += [world_arguments(persons, field, STEPS) for persons, field in worlds]
    compare(options.before, options.now, runs)

    print("load before timing: %s" % " ".join("%.2f" % value for value in os.getloadavg()))
    print()
    print("| persons | field | %s: steps/s | now: steps/s | speed-up | speed-up, steps 50-99 "
          "| %s: whole run, steps/s | now: whole run, steps/s |"
          % (options.before_name, options.before_name))
    print("|---:|---|---:|---:|---:|---:|---:|---:|")
    timed = [("whole", STEPS, False), ("end", STEPS, True), ("middle", MIDDLE_STEPS, True),
            ("start", 0, True)]
    for persons, field in worlds:
        best = {}
        for round_number in range(options.rounds):
            # Alternate which build goes first, so both meet the same load.
            order = [options.before, options.now]
            if round_number % 2:
                order.reverse()
            for program in order:
                for name, steps, rescatter in timed:
                    seconds = cpu_seconds(program,
                                          world_arguments(persons, field, steps, rescatter))
                    best[program, name] = min(best.get((program, name), math.inf), seconds)

        def rate(program, first, last, steps):
            loop = best[program, last] - best[program, first]
            return steps / loop if loop > 0 else math.inf

        before, now = options.before, options.now
        print("| %d | %s | %.1f | %.1f | %.2fx | %.2fx | %.1f | %.1f |" % (
            persons, field, rate(before, "start", "end", STEPS), rate(now, "start", "end", STEPS),
            rate(now, "start", "end", STEPS) / rate(before, "start", "end", STEPS),
            rate(now, "middle", "end", STEPS - MIDDLE_STEPS) /
            rate(before, "middle", "end", STEPS - MIDDLE_STEPS),
            STEPS / best[before, "whole"], STEPS / best[now, "whole"]))
    print()
    print("CPU time, best of %d alternating rounds; load after: %s" % (
        options.rounds, " ".join("%.2f" % value for value in os.getloadavg())))


if __name__ == "__main__":
    main()
