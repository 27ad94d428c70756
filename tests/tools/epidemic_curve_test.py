#!/usr/bin/env python3
"""vantrel-sim's --plot and --csv held against the same run's --trace and state.

The SVG is read as XML; each series' points are turned back into (step, persons) with the
scale that the plot area carries, and every point must be the trace's count of its step.
Usage: epidemic_curve_test.py VANTREL_SIM
"""
import csv
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e_support import check, failures  # noqa: E402

SVG = "{http://www.w3.org/2000/svg}"
SIM = sys.argv[1]


def run(*arguments):
    result = subprocess.run([SIM, *arguments], capture_output=True, text=True, timeout=600)
    if result.returncode != 0:
        raise RuntimeError(f"vantrel-sim {' '.join(arguments)}: {result.returncode} {result.stderr}")
    return result.stdout


def traces(output):
    """step -> (persons, infected, alive, dead) from the trace lines."""
    found = {}
    for line in output.splitlines():
        if line.startswith("step="):
            fields = dict(field.split("=") for field in line.split())
            found[int(fields["step"])] = tuple(
                int(fields[name]) for name in ("persons", "infected", "alive", "dead"))
    return found


def buried_in_state(output):
    """Buried persons in the state lines: the 10th column of a person is its buried flag."""
    return sum(1 for line in output.splitlines()[1:]
               if line and not line.startswith(("step=", "state")) and line.split()[9] == "1")


def quarantined_living_in_state(output):
    """Columns 8 and 9 of a person are its quarantined and dead flags."""
    return sum(1 for line in output.splitlines()[1:]
               if line and not line.startswith(("step=", "state"))
               and line.split()[7] == "1" and line.split()[8] == "0")


def read_svg(path):
    """series -> [(step, count)], level-change steps, game-over step (or None)."""
    root = ET.parse(path).getroot()
    area = root.find(f".//{SVG}rect[@id='plot-area']")
    x0, y0 = float(area.get("x")), float(area.get("y"))
    width, height = float(area.get("width")), float(area.get("height"))
    step_max, persons_max = int(area.get("data-step-max")), int(area.get("data-persons-max"))
    series = {}
    exact = True
    for line in root.iter(f"{SVG}polyline"):
        points = []
        for pair in line.get("points").split():
            x, y = (float(v) for v in pair.split(","))
            step = (x - x0) / width * step_max
            count = (y0 + height - y) / height * persons_max
            exact = exact and abs(step - round(step)) < 0.2 and abs(count - round(count)) < 0.02
            points.append((round(step), round(count)))
        series[line.get("data-series")] = points
    levels = [int(l.get("data-step")) for l in root.iter(f"{SVG}line")
              if l.get("class") == "level-change"]
    over = [int(l.get("data-step")) for l in root.iter(f"{SVG}line") if l.get("class") == "game-over"]
    check(exact, f"{os.path.basename(path)}: every point lies on a whole step and person count")
    texts = [t.text or "" for t in root.iter(f"{SVG}text")]
    check("steps" in texts and "persons" in texts, "the axes are labelled steps and persons")
    # Labels: none touches another, none crosses the game over's line, each at a level line.
    over_x = [float(l.get("x1")) for l in root.iter(f"{SVG}line") if l.get("class") == "game-over"]
    boxes = sorted((float(t.get("x")), float(t.get("x")) + 6.6 * len(t.text), int(t.get("data-step")))
                   for t in root.iter(f"{SVG}text") if t.get("class") == "level-label")
    check(all(a[1] + 4 <= b[0] for a, b in zip(boxes, boxes[1:])), "no two level labels overlap")
    check(not any(start - 3 <= x <= end + 3 for start, end, _ in boxes for x in over_x),
          "no level label crosses the game over's mark")
    check({step for _, _, step in boxes} <= set(levels), "every label stands at a level change")
    description = root.find(f"{SVG}desc")
    check(description is not None and description.text.startswith("Made by vantrel-sim ")
          and ": vantrel-sim --seed " in description.text,
          f"the <desc> names the version and the command line ({description.text[:60] if description is not None else None})")
    return series, levels, over[0] if over else None, boxes


def check_run(name, arguments, folder, thinned):
    svg = os.path.join(folder, name + ".svg")
    table = os.path.join(folder, name + ".csv")
    output = run(*arguments, "--trace", "1", "--plot", svg, "--csv", table)
    trace = traces(output)
    # The steps run: --steps, or fewer with --until-game-over.
    steps = int(output[output.index("state steps=") + 12:].split()[0])

    with open(table, newline="") as file:
        rows = list(csv.reader(file))
    check(rows[0] == ["step", "level", "healthy", "infected", "dead_not_buried", "buried",
                      "game_over", "quarantined"], f"{name}: the CSV's header row")
    rows = [[int(v) for v in row] for row in rows[1:]]
    check([row[0] for row in rows] == list(range(steps + 1)), f"{name}: one CSV row per step, 0..{steps}")
    mismatched = [row[0] for row in rows[1:]
                  if (row[2] + row[3] + row[4] + row[5], row[3], row[2], row[4] + row[5])
                  != trace[row[0]]]
    check(not mismatched, f"{name}: every CSV row has the trace's counts (first differing: "
                          f"{mismatched[:3]})")
    check(rows[-1][5] == buried_in_state(output),
          f"{name}: the last row's buried are the state's ({rows[-1][5]})")
    check(rows[-1][7] == quarantined_living_in_state(output),
          f"{name}: the last row's quarantined are the state's living quarantined ({rows[-1][7]})")
    csv_levels = [row[0] for prev, row in zip(rows, rows[1:]) if row[1] == prev[1] + 1]
    csv_over = next((row[0] for row in rows if row[6] == 1), None)
    # A new level is a new population: the trace's person count changes in that step only.
    grown = [k for k in range(2, steps + 1) if trace[k][0] != trace[k - 1][0]]
    check(csv_levels == grown, f"{name}: the CSV's level goes up where the population grows")

    series, levels, over, labels = read_svg(svg)
    check(sorted(series) == ["buried", "dead", "healthy", "infected", "quarantined"],
          f"{name}: five series")
    points = series["healthy"]
    plotted = [step for step, _ in points]
    check(all([s for s, _ in series[k]] == plotted for k in series),
          f"{name}: the four series share their steps")
    check(plotted[0] == 0 and plotted[-1] == steps, f"{name}: the plot runs from step 0 to {steps}")
    wrong = [step for i, step in enumerate(plotted) if step > 0 and (
        series["healthy"][i][1], series["infected"][i][1],
        series["dead"][i][1] + series["buried"][i][1]) != (trace[step][2], trace[step][1],
                                                           trace[step][3])]
    check(not wrong, f"{name}: every plotted point is the trace's count (first differing: {wrong[:3]})")
    by_step = {row[0]: row for row in rows}
    wrong_split = [step for i, step in enumerate(plotted)
                   if (series["dead"][i][1], series["buried"][i][1]) != tuple(by_step[step][4:6])]
    check(not wrong_split, f"{name}: dead and buried split as in the CSV")
    wrong_quarantined = [step for i, step in enumerate(plotted)
                         if series["quarantined"][i][1] != by_step[step][7]]
    check(not wrong_quarantined, f"{name}: the quarantined as in the CSV")
    check(levels == csv_levels,
          f"{name}: a mark at every level change ({levels})")
    check(all(k - 1 in plotted and k in plotted for k in levels),
          f"{name}: the steps before and at every level change are plotted")
    check(over == csv_over, f"{name}: the game over is marked at step {over}")
    if over is not None:
        check(over - 1 in plotted and over in plotted, f"{name}: the game over's steps are plotted")
    if thinned == "until":
        # The end was not known: 1000 to 2000 points, plus the two around each event.
        most = 2001 + 2 * (len(levels) + 1)
        check(1000 <= len(plotted) <= most,
              f"{name}: thinned to {len(plotted)} points (1000 to {most})")
        check(over == steps, f"{name}: the run ends at the game over ({over}, {steps})")
    elif thinned:
        # About 1000 evenly spaced steps, plus the two around each event.
        most = 1001 + 2 * (len(levels) + 1)
        check(1000 <= len(plotted) <= most,
              f"{name}: thinned to {len(plotted)} points (1000 to {most})")
    else:
        check(plotted == list(range(steps + 1)), f"{name}: a short run plots every step")
    return trace, labels


def main():
    with tempfile.TemporaryDirectory() as folder:
        # Six levels and a lost game in 14 000 steps, with a right click into the first level.
        _, labels = check_run("levels", ["--seed", "12", "--steps", "14000", "--click",
                                         "R,400,300@150"], folder, thinned=True)
        check(len(labels) == 5, f"five level changes, five labels ({len(labels)})")
        # The same game stopped where it is lost: its plot ends there.
        check_run("until", ["--seed", "12", "--steps", "100000", "--click", "R,400,300@150",
                            "--until-game-over"], folder, thinned="until")
        # Quarantine clicks into a crowded spot: the quarantined series is not flat at 0.
        _, _ = check_run("quarantine", ["--seed", "21", "--steps", "3000", "--size", "100x100@0"]
                         + [arg for x in (20, 50, 80) for arg in ("--click", f"L,{x},{x}@1")],
                         folder, thinned=True)
        with open(os.path.join(folder, "quarantine.csv")) as file:
            most = max(int(row.split(",")[7]) for row in file.read().splitlines()[1:])
        check(most > 0, f"the clicks quarantined someone ({most} at most)")
        # 100 000 steps on a wide field, where the levels go on far longer.
        check_run("long", ["--seed", "4", "--persons", "40", "--size", "3000x2500@0",
                           "--steps", "100000"], folder, thinned=True)
        # A short run: a quick loss on one spot, no level change, every step plotted.
        check_run("short", ["--seed", "5", "--persons", "7", "--size", "1x1@0",
                            "--click", "R,0,0@0", "--steps", "900"], folder, thinned=False)
        # The dead and the buried apart, against the state of shorter runs of the same game.
        for steps in (1200, 1800):
            output = run("--seed", "12", "--steps", str(steps), "--click", "R,400,300@150")
            table = os.path.join(folder, "levels.csv")
            with open(table) as file:
                row = file.read().splitlines()[steps + 1].split(",")
            check(int(row[5]) == buried_in_state(output),
                  f"the buried of step {steps} are the state's ({row[5]})")


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
