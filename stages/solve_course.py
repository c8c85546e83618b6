#!/usr/bin/env python3
"""Runs plumet-solver over the course and writes stages/solutions/NN.keys, NN.cells and the table
stages/solutions/table.txt (stage, stars, moves, the difficulty measure: decisions, search, traps,
the walking and re-walking shares; frames, rest states, dead-end states, the share of states still
winnable, seconds; a table the course report wrote keeps its layout, and only the solved stages'
rows change). Moves are counted from rest state to rest state; the solution has the fewest
moves, and the fewest frames among those. NN.cells holds the cells the shortest solution passes,
those of the traps on it and every cell the player can rest in (the report's empty-room check).
For each stage solved it also writes stages/solutions/NN.outcome, the replay's expected end (the
exit line and the final state line of plumet-headless) that tests/course checks, and at the end
it renews the whole-course run's frame hashes (run_course.py --write-frames).

  stages/solve_course.py BUILD_DIR [NN...]
  stages/solve_course.py BUILD_DIR --outcomes [NN...]   only the outcomes, from the keys there are

JOBS (default 4) stages are solved side by side, each with THREADS (default 2) workers and at
most MAX_SECONDS (default 120) seconds."""
import concurrent.futures as cf
import glob
import os
import re
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tools", "headless"))
import outcome  # noqa: E402


def replay_command(build, nn):
    """The replay as tests/course runs it."""
    dist = os.path.join(build, "dist")
    return [os.path.join(dist, "plumet-headless"), "--folder", dist, "--builtin", str(int(nn)), "--from", "play",
            "--keys", os.path.join(HERE, "solutions", nn + ".keys"), "--stop-at-goal"]


def write_outcome(build, nn):
    outcome.write(os.path.join(HERE, "solutions", nn + ".outcome"), outcome.outcome(replay_command(build, nn)))


def stars(path):
    first = open(path, encoding="utf-8").readline()
    return first.count("★")


def solve(build, path, seconds):
    nn = os.path.basename(path)[:2]
    keys = os.path.join(HERE, "solutions", nn + ".keys")
    tmp = keys + ".new"
    # From the built map, as the replays start it: only that start plays the bonus stages in
    # the alternate mode.
    out = subprocess.run([os.path.join(build, "dist", "plumet-solver"), "--map", os.path.join(build, "dist", "plumet.map"),
                          "--builtin", str(int(nn)), "--keys", tmp,
                          "--max-seconds", str(seconds), "--max-states", "6000000",
                          "--threads", os.environ.get("THREADS", "2")],
                         capture_output=True, text=True).stdout
    field = lambda k: (re.search(r"^%s: *(\S+)" % k, out, re.M) or [None, "-"])[1]
    share = lambda k: "-" if field(k) == "-" else "%.0f%%" % (100 * float(field(k)))
    traps = re.search(r"^traps: (\d+)(?: \((.*)\))?$", out, re.M)
    trap_col = "-" if not traps else traps.group(1) + (":" + traps.group(2).replace(" ", "") if traps.group(2) else "")
    row = dict(nn=nn, stars=stars(path), solvable=field("solvable"), moves=field("moves"),
               decisions=field("decisions"), search=field("search"), traps=trap_col,
               walking=share("walking"), rewalk=share("rewalk"),
               frames=field("frames"), states=field("states"), seconds=field("seconds"),
               dead=field("dead-ends"), winnable=field("winnable"))
    cells = [l for l in out.splitlines() if re.match(r"^(cells|trap cells|reach cells):", l)]
    if row["solvable"] == "yes" and cells:
        with open(os.path.join(HERE, "solutions", nn + ".cells.new"), "w") as f:
            f.write("\n".join(cells) + "\n")
        os.replace(os.path.join(HERE, "solutions", nn + ".cells.new"), os.path.join(HERE, "solutions", nn + ".cells"))
    if row["solvable"] == "yes" and os.path.exists(tmp):
        os.replace(tmp, keys)
        write_outcome(build, nn)
    elif os.path.exists(tmp):
        os.remove(tmp)
    return row


def main():
    build = sys.argv[1]
    want = set(a for a in sys.argv[2:] if a != "--outcomes")
    if "--outcomes" in sys.argv[2:]:
        for keys in sorted(glob.glob(os.path.join(HERE, "solutions", "*.keys"))):
            nn = os.path.basename(keys)[:2]
            if not want or nn in want:
                write_outcome(build, nn)
        return
    paths = sorted(glob.glob(os.path.join(HERE, "course", "*.txt")))
    paths = [p for p in paths if not want or os.path.basename(p)[:2] in want]
    # The slowest stages of the last table first, so the long ones do not finish last.
    table = os.path.join(HERE, "solutions", "table.txt")
    last = {}
    if os.path.exists(table):
        lines = open(table).read().splitlines()
        at = lines[0].split().index("seconds") if lines and "seconds" in lines[0].split() else None
        for line in lines[1:]:
            try:
                last[line.split()[0]] = float(line.split()[at])
            except (ValueError, IndexError, TypeError):
                pass
    order = sorted(paths, key=lambda p: -last.get(os.path.basename(p)[:2], 0))
    t0 = time.time()
    with cf.ThreadPoolExecutor(int(os.environ.get("JOBS", "4"))) as ex:
        done = dict(zip(order, ex.map(lambda p: solve(build, p, float(os.environ.get("MAX_SECONDS", "120"))), order)))
    rows = [done[p] for p in paths]
    print("whole run: %.1f s" % (time.time() - t0), file=sys.stderr)
    cols = ["stage", "stars", "solvable", "moves", "decisions", "search", "walking", "rewalk", "traps", "frames",
            "states", "dead-ends", "winnable", "seconds"]
    new = {r["nn"]: dict(zip(cols, map(str, (r["nn"], r["stars"], r["solvable"], r["moves"], r["decisions"], r["search"],
                                    r["walking"], r["rewalk"], r["traps"], r["frames"], r["states"], r["dead"],
                                    r["winnable"], r["seconds"])))) for r in rows}
    for r in rows:
        print(" ".join(new[r["nn"]][c] for c in cols), flush=True)
    # A table the course report wrote keeps its layout and its other columns (the screen and the
    # mechanics, which the report renews): only the solved stages' solver columns change.
    head, old = cols, {}
    if want and os.path.exists(table):
        lines = open(table).read().splitlines()
        if lines and all(c in lines[0].split() for c in cols):
            head = lines[0].split()
            old = {l.split()[0]: dict(zip(head, l.split())) for l in lines[1:] if l.strip()}
    for nn, r in new.items():
        old.setdefault(nn, {}).update(r)
    body = [[old[k].get(c, "-") for c in head] for k in sorted(old)]
    widths = [max(len(c), *(len(l[i]) for l in body)) for i, c in enumerate(head)]
    line = lambda vals: " ".join(v.ljust(w) for v, w in zip(vals, widths)).rstrip()
    with open(table + ".new", "w") as f:
        f.write("\n".join([line(head)] + [line(l) for l in body]) + "\n")
    os.replace(table + ".new", table)
    dist = os.path.join(build, "dist")
    subprocess.run([sys.executable, os.path.join(HERE, "run_course.py"), os.path.join(dist, "plumet-headless"), dist,
                    "--write-frames"], check=False)


main()
