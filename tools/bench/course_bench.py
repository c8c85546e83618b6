#!/usr/bin/env python3
"""Whole-course solve time against another build, side by side in one run: the course solved as
stages/solve_course.py solves it (JOBS stages side by side, THREADS workers each, the slowest of
the last table first, the same caps), the builds taking turns (ABBA...). Each run prints its wall
time, the solvers' CPU time and the load before and after; the end gives the medians and the
speed-up. Nothing in the tree is written (the key scripts go to a temporary folder).

  tools/bench/course_bench.py OTHER_BUILD [BUILD]     RUNS (default 2), JOBS (4), THREADS (2)"""
import concurrent.futures as cf
import glob
import os
import re
import resource
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def stage_order():
    paths = sorted(glob.glob(os.path.join(ROOT, "stages", "course", "*.txt")))
    stages = [int(os.path.basename(p)[:2]) for p in paths]
    last = {}
    table = os.path.join(ROOT, "stages", "solutions", "table.txt")
    if os.path.exists(table):
        lines = open(table).read().splitlines()
        head = lines[0].split() if lines else []
        at = head.index("seconds") if "seconds" in head else None
        for line in lines[1:]:
            try:
                last[int(line.split()[0])] = float(line.split()[at])
            except (ValueError, IndexError, TypeError):
                pass
    return sorted(stages, key=lambda n: -last.get(n, 0))


def solve(build, n, tmp):
    dist = os.path.join(build, "dist")
    out = subprocess.run([os.path.join(dist, "plumet-solver"), "--map", os.path.join(dist, "plumet.map"),
                          "--builtin", str(n), "--keys", os.path.join(tmp, "%02d.keys" % n),
                          "--max-seconds", "120", "--max-states", "6000000",
                          "--threads", os.environ.get("THREADS", "2")], capture_output=True, text=True).stdout
    field = lambda k: (re.search(r"^%s: *(\S+)" % k, out, re.M) or [None, "-"])[1]
    return tuple(field(k) for k in ("solvable", "moves", "frames", "states"))


def course(build, stages):
    with tempfile.TemporaryDirectory() as tmp:
        cpu0 = resource.getrusage(resource.RUSAGE_CHILDREN)
        load0 = os.getloadavg()[0]
        t0 = time.monotonic()
        with cf.ThreadPoolExecutor(int(os.environ.get("JOBS", "4"))) as ex:
            found = dict(zip(stages, ex.map(lambda n: solve(build, n, tmp), stages)))
        wall = time.monotonic() - t0
        cpu1 = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (cpu1.ru_utime - cpu0.ru_utime) + (cpu1.ru_stime - cpu0.ru_stime)
    return wall, cpu, load0, os.getloadavg()[0], found


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    other = os.path.abspath(sys.argv[1])
    this = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "build"))
    for b in (this, other):
        if not os.access(os.path.join(b, "dist", "plumet-solver"), os.X_OK):
            print("no %s/dist/plumet-solver: build first" % b, file=sys.stderr)
            return 2
    stages = stage_order()
    runs = int(os.environ.get("RUNS", "2"))
    times = {"this": [], "other": []}
    found = {}
    print("%-4s %-6s %9s %9s %11s %10s" % ("run", "build", "wall s", "cpu s", "load before", "load after"))
    for r in range(runs):
        for side in (("this", "other") if r % 2 == 0 else ("other", "this")):
            wall, cpu, l0, l1, got = course(this if side == "this" else other, stages)
            times[side].append((wall, cpu))
            found.setdefault(side, got)
            print("%-4d %-6s %9.1f %9.1f %11.2f %10.2f" % (r + 1, side, wall, cpu, l0, l1), flush=True)
    med = {s: (statistics.median(w for w, _ in v), statistics.median(c for _, c in v)) for s, v in times.items()}
    print("median wall: this %.1f s, other %.1f s: %.2fx faster" % (med["this"][0], med["other"][0],
                                                                       med["other"][0] / med["this"][0]))
    print("median cpu:  this %.1f s, other %.1f s: %.2fx less" % (med["this"][1], med["other"][1],
                                                                     med["other"][1] / med["this"][1]))
    differ = [n for n in stages if found["this"][n] != found["other"][n]]
    print("stages whose solvable, moves, frames or states differ: %s" %
          (", ".join("%02d" % n for n in sorted(differ)) or "none"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
