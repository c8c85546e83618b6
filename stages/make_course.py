#!/usr/bin/env python3
"""Normalises the course files stages/course/NN-name.txt in place.

Each file is the design of one stage: the comment lines at its top (hint, idea, solution,
mechanic), then the header fields and the 15 rows of 20 cells of tools/stagec's format. This
rewrites the header so that the theme and the starting facing follow the slot and the style
selectors follow the area (areas look distinct), keeps comments and grid as they are, and stops
on a grid that breaks the basic shape: a closed border, one start, one goal, at most 20 balloons
and 20 pads, and no door or jail that a hop could pass (each needs a block or the border over it).

    python3 stages/make_course.py
"""
import glob
import os
import sys

THEMES = {0: [0, 1, 2, 3, 22, 23, 33, 42, 45, 49], 1: [4, 5, 6, 7, 32, 36, 47, 52],
          2: [8, 9, 10, 11, 28, 29, 30, 31, 39], 3: [12, 13, 14, 15, 21, 37, 40, 41],
          4: [20, 24, 25, 26, 27, 35, 43, 46, 51, 53], 5: [16, 17, 18, 19, 34, 38, 44, 48, 50, 54]}
LEFT = {10, 11, 12, 20, 21, 31, 33, 38, 40, 46, 51, 52, 54}
# background block ladder barrier ice nojump key balloon, per area (first slot of the area)
AREA_STYLE = [(0, (0, 0, 0, 0, 0, 0, 0, 0)), (4, (1, 1, 1, 0, 0, 0, 0, 1)), (8, (2, 2, 0, 1, 1, 1, 1, 2)),
              (12, (0, 3, 1, 1, 0, 1, 1, 0)), (16, (1, 0, 0, 2, 1, 0, 0, 2)), (20, (2, 1, 1, 0, 0, 1, 1, 1)),
              (24, (0, 2, 1, 2, 1, 0, 0, 0)), (28, (1, 3, 0, 1, 0, 1, 1, 2)), (32, (2, 0, 1, 2, 1, 1, 0, 1)),
              (36, (0, 1, 0, 0, 1, 0, 1, 2)), (40, (1, 2, 1, 1, 0, 1, 0, 0)), (44, (2, 3, 0, 2, 1, 0, 1, 1)),
              (48, (0, 3, 1, 0, 1, 1, 0, 2)), (50, (1, 1, 1, 1, 1, 1, 1, 0)), (55, (0, 0, 0, 0, 0, 0, 0, 0))]
NAMES = ["background", "block", "ladder", "barrier", "ice", "nojump", "key", "balloon"]
HERE = os.path.dirname(os.path.abspath(__file__))


def theme(slot):
    return next((t for t, s in THEMES.items() if slot in s), 0)


def style(slot):
    return [s for first, s in AREA_STYLE if slot >= first][-1]


def read(path):
    """(comment lines, name, grid rows) of a course file."""
    comments, name, grid, rows = [], None, False, []
    for line in open(path, encoding="utf-8").read().splitlines():
        if grid:
            if line.strip():
                rows.append(line.rstrip())
        elif line.startswith(";"):
            comments.append(line)
        elif line.strip() == "grid":
            grid = True
        elif line.startswith("name "):
            name = line.split(None, 1)[1]
    return comments, name, rows


def problems(rows):
    out = []
    if len(rows) != 15 or any(len(r) != 20 for r in rows):
        return ["the grid is not 15 rows of 20 cells"]
    if any(c != "#" for c in rows[0] + rows[14]) or any(r[0] != "#" or r[19] != "#" for r in rows):
        out.append("the border is not closed")
    cells = "".join(rows)
    if cells.count("P") != 1 or cells.count("G") != 1:
        out.append("not exactly one start and one goal")
    if cells.count("B") > 20 or cells.count("J") > 20:
        out.append("more than 20 balloons or pads")
    for y in range(1, 14):
        for x in range(1, 19):
            # a jail stacked on a jail is fine: the column still ends in a block
            top = y - 1
            while rows[y][x] in "xX" and rows[top][x] in "xX":
                top -= 1
            if rows[y][x] in "DxX" and rows[top][x] != "#":
                out.append("the %s at column %d, row %d has no block over it" % (rows[y][x], x, y))
    return out


def write(path, slot, comments, name, rows):
    lines = comments + ["name " + name]
    lines += ["%s %d" % (n, v) for n, v in zip(NAMES, style(slot))]
    lines += ["theme %d" % theme(slot), "facing " + ("left" if slot in LEFT else "right"), "grid"] + rows
    text = "\n".join(lines) + "\n"
    if open(path, encoding="utf-8").read() != text:
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)


def main():
    bad = False
    for path in sorted(glob.glob(os.path.join(HERE, "course", "[0-9][0-9]-*.txt"))):
        slot = int(os.path.basename(path)[:2])
        comments, name, rows = read(path)
        found = problems(rows)
        for p in found:
            print("%s: %s" % (os.path.basename(path), p))
        bad = bad or bool(found)
        if not found:
            write(path, slot, comments, name or os.path.basename(path)[3:-4], rows)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
