#!/usr/bin/env python3
"""Runs two plumet-solver binaries over the built-in stages and diffs what they find: the
solvable flag, moves, frames, states, dead ends, winnable share, dead-end moves, the moves of
the solution and the key script written. Any difference is printed and the exit status is 1.

  tools/solver/compare.py OLD_SOLVER NEW_SOLVER MAP [N...]

N are built-in stage slots (default 0..55). JOBS (default 4) stages run side by side, each
solver with THREADS (default 2) workers. MAX_STATES (default 3000000) caps every search by
states, never by time, so a capped search stops at the same place in both."""
import concurrent.futures as cf
import os
import re
import subprocess
import sys
import tempfile

FIELDS = ["solvable", "moves", "frames", "states", "dead-ends", "winnable", "dead-end moves", "solution", "replay"]


def run(solver, mapfile, n, tmp, side):
    # Named by side: two builds' solvers usually share one file name.
    keys = os.path.join(tmp, "%s-%02d.keys" % (side, n))
    cmd = [solver, "--map", mapfile, "--builtin", str(n), "--keys", keys, "--verify",
           "--threads", os.environ.get("THREADS", "2"), "--max-seconds", "1e9",
           "--max-states", os.environ.get("MAX_STATES", "3000000")]
    p = subprocess.run(cmd, capture_output=True, text=True)
    got = {}
    for line in p.stdout.splitlines():
        m = re.match(r"^([a-z -]+): ?(.*)$", line)
        if m and m.group(1) in FIELDS:
            got[m.group(1)] = m.group(2)
    got["exit"] = str(p.returncode)
    got["keys"] = open(keys).read() if os.path.exists(keys) else ""
    sec = re.search(r"^seconds: (\S+)", p.stdout, re.M)
    return got, float(sec.group(1)) if sec else 0.0


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    old, new, mapfile = sys.argv[1:4]
    stages = [int(a) for a in sys.argv[4:]] or list(range(56))
    bad = 0
    with tempfile.TemporaryDirectory() as tmp, cf.ThreadPoolExecutor(int(os.environ.get("JOBS", "4"))) as ex:
        jobs = {n: (ex.submit(run, old, mapfile, n, tmp, "old"), ex.submit(run, new, mapfile, n, tmp, "new"))
                for n in stages}
        for n in stages:
            (a, ta), (b, tb) = jobs[n][0].result(), jobs[n][1].result()
            diffs = [k for k in sorted(set(a) | set(b)) if a.get(k) != b.get(k)]
            print("%02d %-4s states %-8s old %7.2fs new %7.2fs%s" %
                  (n, "same" if not diffs else "DIFF", b.get("states", "-"), ta, tb,
                   "" if not diffs else "  " + ", ".join(diffs)), flush=True)
            for k in diffs:
                if k == "keys":
                    print("   key scripts differ")
                else:
                    print("   %s: old %r new %r" % (k, a.get(k), b.get(k)))
            bad += bool(diffs)
    print("stages differing: %d of %d" % (bad, len(stages)))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
