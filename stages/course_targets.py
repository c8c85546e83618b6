#!/usr/bin/env python3
"""Checks the course against its targets: the screen and copy targets from the stage files
(course_shape.py) and the difficulty targets from the committed table stages/solutions/table.txt.

    python3 stages/course_targets.py [--check]

Difficulty is measured by the moves of the shortest solution (one move: one input decided at a
rest state). Targets over slots 0..53: the stars follow the moves with a rank correlation of at
least 0.7; the five-star stages need a median of at least 60 moves and all have dead ends;
every stage of three stars or more has dead ends; every area's median is above the first area's;
the final area (48, 49) and the bonus area (50..54) rank among the hardest third of the areas.
Every stage, 54 included, must be solvable. With --check the exit status is 1 when one is missed.
"""
import os
import statistics
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import course_shape  # noqa: E402

TABLE = os.path.join(HERE, "solutions", "table.txt")
AREAS = [list(range(a, a + 4)) for a in range(0, 48, 4)] + [[48, 49], list(range(50, 55))]
MIN_RANK_CORRELATION = 0.7
MIN_FIVE_STAR_MEDIAN = 60


def stars_of(slot):
    for name in os.listdir(os.path.join(HERE, "course")):
        if name.startswith("%02d-" % slot):
            return open(os.path.join(HERE, "course", name), encoding="utf-8").readline().count("★")
    return 0


def ranks(values):
    order = sorted(range(len(values)), key=lambda i: values[i])
    r = [0.0] * len(values)
    i = 0
    while i < len(order):
        j = i
        while j + 1 < len(order) and values[order[j + 1]] == values[order[i]]:
            j += 1
        for k in range(i, j + 1):
            r[order[k]] = (i + j) / 2 + 1
        i = j + 1
    return r


def spearman(a, b):
    ra, rb = ranks(a), ranks(b)
    ma, mb = statistics.mean(ra), statistics.mean(rb)
    cov = sum((x - ma) * (y - mb) for x, y in zip(ra, rb))
    var = (sum((x - ma) ** 2 for x in ra) * sum((y - mb) ** 2 for y in rb)) ** 0.5
    return cov / var if var else 0.0


def number(text):
    try:
        return float(text.split()[0].rstrip("%"))
    except (ValueError, IndexError, AttributeError):
        return None


def load_table():
    lines = [l for l in open(TABLE).read().splitlines() if l.strip()]
    head = lines[0].split()
    dead = next((c for c in head if c.startswith("dead")), None)
    rows = {}
    for l in lines[1:]:
        r = dict(zip(head, l.split()))
        rows[int(r["stage"])] = dict(solvable=r.get("solvable") == "yes", moves=number(r.get("moves", "-")),
                                     dead=number(r.get(dead, "-")) if dead else None)
    return rows


def difficulty_failures(rows):
    out = []
    for s in range(55):
        if s not in rows or not rows[s]["solvable"] or rows[s]["moves"] is None:
            out.append("%02d is not solved" % s)
    if out:
        return out
    stars = {s: stars_of(s) for s in range(55)}
    moves = {s: rows[s]["moves"] for s in range(55)}
    rho = spearman([stars[s] for s in range(54)], [moves[s] for s in range(54)])
    if rho < MIN_RANK_CORRELATION:
        out.append("stars and moves have a rank correlation of %.2f (at least %.1f)" % (rho, MIN_RANK_CORRELATION))
    five = [s for s in range(54) if stars[s] == 5]
    if five and statistics.median(moves[s] for s in five) < MIN_FIVE_STAR_MEDIAN:
        out.append("the five-star stages have a median of %.0f moves (at least %d)"
                   % (statistics.median(moves[s] for s in five), MIN_FIVE_STAR_MEDIAN))
    for s in range(54):
        if stars[s] >= 3 and not rows[s]["dead"]:
            out.append("%02d (%d stars) has no dead end" % (s, stars[s]))
    medians = [statistics.median(moves[s] for s in area) for area in AREAS]
    for i, m in enumerate(medians[1:], 1):
        if m <= medians[0]:
            out.append("area %d (from %02d) has a median of %.0f moves, not above the first area's %.0f"
                       % (i + 1, AREAS[i][0], m, medians[0]))
    hardest = sorted(medians, reverse=True)[:len(medians) // 3 + 1]
    for i in (len(AREAS) - 2, len(AREAS) - 1):
        if medians[i] < hardest[-1]:
            out.append("area %d (from %02d) has a median of %.0f moves, not among the hardest third"
                       % (i + 1, AREAS[i][0], medians[i]))
    return out


def main(argv):
    stages = course_shape.load()
    failures = course_shape.failures(stages, course_shape.measure(stages))
    failures += difficulty_failures(load_table()) if os.path.exists(TABLE) else ["no table " + TABLE]
    for f in failures:
        print("MISSED " + f)
    print("course targets: " + ("%d missed" % len(failures) if failures else "all met"))
    return 1 if failures and "--check" in argv else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
