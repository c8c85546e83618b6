#!/usr/bin/env python3
"""Runs plumet-solver over the course and writes stages/solutions/NN.keys and the table
stages/solutions/table.txt (stage, stars, moves, frames, states, seconds, dead ends).

  stages/solve_course.py BUILD_DIR [NN...]"""
import concurrent.futures as cf
import glob
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def stars(path):
    first = open(path, encoding="utf-8").readline()
    return first.count("★")


def solve(build, path, seconds):
    nn = os.path.basename(path)[:2]
    keys = os.path.join(HERE, "solutions", nn + ".keys")
    tmp = keys + ".new"
    out = subprocess.run([os.path.join(build, "dist", "plumet-solver"), "--text", path, "--keys", tmp,
                          "--max-seconds", str(seconds), "--max-states", "4000000"],
                         capture_output=True, text=True).stdout
    field = lambda k: (re.search(r"^%s: *(\S+)" % k, out, re.M) or [None, "-"])[1]
    row = dict(nn=nn, stars=stars(path), solvable=field("solvable"), moves=field("moves"),
               frames=field("frames"), states=field("states"), seconds=field("seconds"),
               dead=field("dead ends"))
    if row["solvable"] == "yes" and os.path.exists(tmp):
        os.replace(tmp, keys)
    elif os.path.exists(tmp):
        os.remove(tmp)
    return row


def main():
    build = sys.argv[1]
    want = set(sys.argv[2:])
    paths = sorted(glob.glob(os.path.join(HERE, "course", "*.txt")))
    paths = [p for p in paths if not want or os.path.basename(p)[:2] in want]
    with cf.ThreadPoolExecutor(4) as ex:
        rows = list(ex.map(lambda p: solve(build, p, 120), paths))
    table = os.path.join(HERE, "solutions", "table.txt")
    old = {}
    if want and os.path.exists(table):
        for line in open(table).read().splitlines()[1:]:
            old[line.split()[0]] = line
    head = "%-5s %-5s %-9s %-6s %-7s %-9s %-8s %s" % ("stage", "stars", "solvable", "moves", "frames",
                                                      "states", "seconds", "dead-ends")
    for r in rows:
        line = "%-5s %-5s %-9s %-6s %-7s %-9s %-8s %s" % (r["nn"], r["stars"], r["solvable"], r["moves"],
                                                          r["frames"], r["states"], r["seconds"], r["dead"])
        old[r["nn"]] = line
        print(line, flush=True)
    with open(table, "w") as f:
        f.write(head + "\n" + "\n".join(old[k] for k in sorted(old)) + "\n")


main()
