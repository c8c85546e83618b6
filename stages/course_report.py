#!/usr/bin/env python3
"""The course report: solves every stage, then writes stages/solutions/table.txt and a contact
sheet of all 55 stages as the game draws them at their start.

    python3 stages/course_report.py BUILD_DIR [--no-solve] [--sheet FILE.png] [NN...]

Without --no-solve it first runs stages/solve_course.py (the solver over every stage, or over
the slots named, rewriting their key scripts and the solver's columns of the table). It then
adds to each row of the table the screen measures of course_shape.py (rows used, fill, the
nearest other stage and how alike), the mechanics the shortest solution uses, found by
replaying that solution traced through plumet-headless, and those of them no earlier slot's
solution uses (`first`: the mechanics first needed there). The contact sheet (default
BUILD_DIR/course/contact.png) shows each stage once it has faded in, before any key. Last it prints the course's
targets met and missed (course_targets.py).
"""
import concurrent.futures as cf
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import course_shape  # noqa: E402
import course_targets  # noqa: E402

TABLE = os.path.join(HERE, "solutions", "table.txt")
TRACE = re.compile(r"^frame=(\d+) scene=(\d+) stage=\d+ x=(\S+) y=(\S+) action=(\d+) frames=\d+ facing=\d+ "
                   r"keys=(\d+) balls=(\d+)/\d+ held=(\d+)")

# Player actions by what they show of the stage's mechanics.
ACTIONS = [((3,), "fall"), ((7, 32, 33, 34, 35, 36), "pad"), ((8, 9, 10, 11, 12, 14), "ladder"),
           ((18, 19, 20, 21, 22, 23, 24, 25, 26, 27), "jump"), ((28, 29, 30, 31), "hop"),
           ((37, 38, 40, 41), "lift"), ((42, 43, 44), "put-down")]
# Cells the player stands in or on, by the mechanic they stand for.
UNDER = {"I": "ice", "C": "cloud", "!": "barrier", ">": "belt", "<": "belt", "N": "no-jump"}
AT = {"x": "jail"}
FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"
ORDER = ["hop", "jump", "ladder", "fall", "lift", "put-down", "pad", "belt", "ice", "cloud", "no-jump", "barrier",
         "jail", "key", "door", "ball"]


def headless(build, args):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    return subprocess.run([os.path.join(build, "dist", "plumet-headless"), "--folder", os.path.join(build, "dist")] + args,
                          capture_output=True, text=True, env=env).stdout


def grid_of(slot):
    for name in os.listdir(os.path.join(HERE, "course")):
        if name.startswith("%02d-" % slot):
            lines = open(os.path.join(HERE, "course", name), encoding="utf-8").read().splitlines()
            return [l for l in lines[lines.index("grid") + 1:] if l.strip()]
    return None


def mechanics(build, slot):
    """The mechanics the stage's solution uses, in a fixed order, or '-' without a solution."""
    keys = os.path.join(HERE, "solutions", "%02d.keys" % slot)
    grid = grid_of(slot)
    if not os.path.exists(keys) or not grid:
        return "-"
    out = headless(build, ["--builtin", str(slot), "--from", "play", "--keys", keys, "--stop-at-goal", "--trace",
                           "--frames", "40000"])
    used, prev = set(), None
    for line in out.splitlines():
        m = TRACE.match(line)
        if not m or int(m.group(2)) != 3:
            continue
        x, y, action, keys_held, balls = float(m.group(3)), float(m.group(4)), int(m.group(5)), int(m.group(6)), int(m.group(7))
        for codes, name in ACTIONS:
            if action in codes:
                used.add(name)
        if int(m.group(8)) == 2:
            used.add("pad")
        cx, cy = round(x), round(y)
        if x == cx and y == cy and 0 <= cx < 20 and 0 <= cy < 14:
            used.update([UNDER[grid[cy + 1][cx]]] if grid[cy + 1][cx] in UNDER else [])
            used.update([AT[grid[cy][cx]]] if grid[cy][cx] in AT else [])
        if prev:
            if keys_held > prev[0]:
                used.add("key")
            if keys_held < prev[0]:
                used.add("door")
            if balls > prev[1]:
                used.add("ball")
        prev = (keys_held, balls)
    return ",".join(n for n in ORDER if n in used) or "walk"


def contact_sheet(build, slots, path):
    with tempfile.TemporaryDirectory() as tmp:
        tiles = []
        for s in slots:
            cap = os.path.join(tmp, "%02d" % s)
            headless(build, ["--builtin", str(s), "--from", "play", "--capture", cap, "--at", "40", "--frames", "40"])
            png = os.path.join(cap, "frame-40.png")  # the fade-in is over, no key pressed yet
            if os.path.exists(png):
                tiles += ["-label", "%02d %s" % (s, "★" * course_targets.stars_of(s)), png]
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        # The game's own gothic face (installed with the game) labels the tiles.
        subprocess.run(["montage", "-font", FONT] + tiles + ["-tile", "8x", "-geometry", "320x240+4+4", "-pointsize", "14",
                                                             "-background", "#202020", "-fill", "white", path], check=True)


def read_table():
    if not os.path.exists(TABLE):
        return [], {}
    lines = open(TABLE).read().splitlines()
    head = lines[0].split()
    return head, {l.split()[0]: dict(zip(head, l.split())) for l in lines[1:] if l.strip()}


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if not args:
        sys.exit(__doc__)
    build, want = os.path.abspath(args[0]), args[1:]
    sheet = sys.argv[sys.argv.index("--sheet") + 1] if "--sheet" in sys.argv else os.path.join(build, "course", "contact.png")
    if "--sheet" in sys.argv:
        want = [w for w in want if w != sheet]
    if "--no-solve" not in sys.argv:
        subprocess.run([sys.executable, os.path.join(HERE, "solve_course.py"), build] + want, check=True)
    head, rows = read_table()
    solver_cols = [c for c in head if c not in ("rows", "fill", "nearest", "alike", "mechanics", "first", "traps")]
    stages = course_shape.load()
    shape = course_shape.measure(stages)
    slots = sorted(stages)
    with cf.ThreadPoolExecutor(8) as ex:
        mech = dict(zip(slots, ex.map(lambda s: mechanics(build, s), slots)))
    # The traps last: their lists are long.
    cols = solver_cols + ["rows", "fill", "nearest", "alike", "mechanics", "first", "traps"]
    first = course_targets.first_mechanics({s: {"mechanics": mech[s]} for s in slots})
    lines = []
    for s in slots:
        r = rows.get("%02d" % s, {"stage": "%02d" % s})
        m = shape[s]
        r.update(rows=str(m["rows"]), fill="%.0f%%" % (100 * m["fill"]), nearest="%02d" % m["nearest"],
                 alike="%.0f%%" % (100 * m["alike"]), mechanics=mech[s], first=",".join(first[s]) or "-")
        lines.append([r.get(c, "-") for c in cols])
    widths = [max(len(c), *(len(l[i]) for l in lines)) for i, c in enumerate(cols)]
    fmt = lambda vals: " ".join(v.ljust(w) for v, w in zip(vals, widths)).rstrip()
    with open(TABLE, "w") as f:
        f.write("\n".join([fmt(cols)] + [fmt(l) for l in lines]) + "\n")
    print(open(TABLE).read())
    contact_sheet(build, slots, sheet)
    print("contact sheet: " + sheet)
    return course_targets.main([])


if __name__ == "__main__":
    sys.exit(main())
