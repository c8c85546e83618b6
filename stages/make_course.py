#!/usr/bin/env python3
"""Writes the built-in course, stages/course/NN-name.txt, from the designs below.

Each design: slot, name, hint, idea, solution sentence, mechanic, and 15 rows of 20 cells
(. # H D P B J k I N o X x C > < G !). The theme and the starting facing follow the slot;
the style selectors follow the area, so that areas look distinct."""
import os

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


def theme(slot):
    for t, s in THEMES.items():
        if slot in s:
            return t
    return 0


def style(slot):
    st = AREA_STYLE[0][1]
    for first, s in AREA_STYLE:
        if slot >= first:
            st = s
    return st


def room(*rows, top=None):
    """A bordered room: the given rows are the bottom interior rows (row 13 upwards)."""
    g = ["#" * 20] + ["#" + "." * 18 + "#"] * 13 + ["#" * 20]
    for i, r in enumerate(reversed(rows)):
        assert len(r) == 18, (r, len(r))
        g[13 - i] = "#" + r + "#"
    return g


STAGES = {}


def stage(slot, name, hint, idea, solution, mechanic, grid):
    STAGES[slot] = (name, hint, idea, solution, mechanic, grid)


def write_all(outdir):
    for old in os.listdir(outdir):
        if old.endswith(".txt"):
            os.remove(os.path.join(outdir, old))
    for slot, (name, hint, idea, solution, mechanic, grid) in sorted(STAGES.items()):
        assert len(grid) == 15 and all(len(r) == 20 for r in grid), slot
        # A door or a jail is a gate only with a block over it; otherwise a hop goes over it.
        grid = [list(r) for r in grid]
        for y in range(1, 14):
            for x in range(1, 19):
                if grid[y][x] in "Dx" and grid[y - 1][x] == ".":
                    grid[y - 1][x] = "#"
        grid = ["".join(r) for r in grid]
        assert all(c == "#" for c in grid[0] + grid[14]) and all(r[0] == r[19] == "#" for r in grid), slot
        cells = "".join(grid)
        assert cells.count("P") == 1 and cells.count("G") == 1, slot
        assert cells.count("B") <= 20 and cells.count("J") <= 20, slot
        st = style(slot)
        lines = ["; %02d %s" % (slot, hint), "; idea: " + idea, "; solution: " + solution,
                 "; mechanic: " + mechanic, "name " + name.replace(" ", "-")]
        lines += ["%s %d" % (n, v) for n, v in zip(NAMES, st)]
        lines += ["theme %d" % theme(slot), "facing " + ("left" if slot in LEFT else "right"), "grid"]
        lines += grid
        with open(os.path.join(outdir, "%02d-%s.txt" % (slot, name.replace(" ", "-"))), "w") as f:
            f.write("\n".join(lines) + "\n")


exec(open(os.path.join(os.path.dirname(__file__), "course_designs.py")).read())

if __name__ == "__main__":
    write_all(os.path.join(os.path.dirname(os.path.abspath(__file__)), "course"))
