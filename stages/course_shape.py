#!/usr/bin/env python3
"""The shape of each course stage, measured from stages/course/*.txt, and the screen and copy
targets checked (exit status 1 when a stage misses one).

    python3 stages/course_shape.py [--check]

Per stage: the inner rows used (from the topmost inner row holding anything down to the floor,
of 13), the fill (inner cells not empty, of 18 x 13 = 234; the start counts as empty), and the
nearest other stage by likeness: the share of the 234 inner cells that hold the same cell in
both, the other stage taken as it is and mirrored, the larger of the two.

Targets: slots 4..54 use at least 10 rows, slots 0..3 at least 7; the median fill lies between
30 % and 65 %; no two stages are alike in 60 % or more of their cells.
"""
import glob
import os
import statistics
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
INNER = 18 * 13
MIN_ROWS_LESSON, MIN_ROWS = 7, 10
FILL_MEDIAN = (0.30, 0.65)
MAX_ALIKE = 0.60


def load():
    """{slot: (name, inner rows as 13 strings of 18)} for slots 0..54."""
    out = {}
    for path in sorted(glob.glob(os.path.join(HERE, "course", "[0-9][0-9]-*.txt"))):
        slot = int(os.path.basename(path)[:2])
        if slot > 54:
            continue
        lines = open(path, encoding="utf-8").read().splitlines()
        rows = [l for l in lines[lines.index("grid") + 1:] if l.strip()]
        out[slot] = (os.path.basename(path)[3:-4], [r[1:19] for r in rows[1:14]])
    return out


def rows_used(inner):
    for i, r in enumerate(inner):
        if r.strip(".P"):
            return 13 - i
    return 0


def fill(inner):
    return sum(c not in ".P" for r in inner for c in r) / INNER


def alike(a, b):
    same = sum(x == y for ra, rb in zip(a, b) for x, y in zip(ra, rb))
    mirrored = sum(x == y for ra, rb in zip(a, b) for x, y in zip(ra, rb[::-1]))
    return max(same, mirrored) / INNER


def measure(stages):
    rows = {}
    for s, (name, inner) in stages.items():
        near = max(((alike(inner, o), t) for t, (_, o) in stages.items() if t != s), default=(0, s))
        rows[s] = dict(name=name, rows=rows_used(inner), fill=fill(inner), alike=near[0], nearest=near[1])
    return rows


def failures(stages, m):
    out = []
    for s, r in sorted(m.items()):
        need = MIN_ROWS_LESSON if s < 4 else MIN_ROWS
        if r["rows"] < need:
            out.append("%02d uses %d rows (at least %d)" % (s, r["rows"], need))
    for s in sorted(stages):
        for t in sorted(stages):
            if s < t and (a := alike(stages[s][1], stages[t][1])) >= MAX_ALIKE:
                out.append("%02d and %02d are %.0f %% alike" % (s, t, 100 * a))
    med = statistics.median(r["fill"] for r in m.values()) if m else 0
    if not FILL_MEDIAN[0] <= med <= FILL_MEDIAN[1]:
        out.append("the median fill is %.0f %% (%.0f..%.0f %%)" % (100 * med, 100 * FILL_MEDIAN[0], 100 * FILL_MEDIAN[1]))
    return out


def main():
    stages = load()
    m = measure(stages)
    print("%-4s %-26s %4s %5s %s" % ("slot", "name", "rows", "fill", "nearest"))
    for s, r in sorted(m.items()):
        print("%02d   %-26s %4d %4.0f%% %02d %.0f%%" % (s, r["name"][:26], r["rows"], 100 * r["fill"], r["nearest"],
                                                    100 * r["alike"]))
    bad = failures(stages, m)
    for f in bad:
        print("FAIL " + f)
    print("course shape: " + ("%d targets missed" % len(bad) if bad else "every target met"))
    return 1 if bad and "--check" in sys.argv else 0


if __name__ == "__main__":
    sys.exit(main())
