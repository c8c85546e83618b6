#!/usr/bin/env python3
"""A headless run's outcome, kept as a file and checked: the "exit:" line (how the run ended
and on which frame) and the final "state" line plumet-headless prints.

  outcome.py check FILE [--solver-keys KEYS] -- COMMAND...
  outcome.py write FILE -- COMMAND...

check runs COMMAND and fails unless both lines are FILE's to the letter; with --solver-keys it
also wants the exit frame to be the one the solver gave in the key script's first line (its
frames, plus the opening's picture that comes before play). write runs COMMAND and writes
FILE (replaced whole). The course scripts write the replays' outcomes (stages/solve_course.py).
"""
import os
import re
import subprocess
import sys

SOLVER_LINE = re.compile(r"^# plumet-solver: \d+ moves, (\d+) frames")


def outcome(command):
    env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"))
    out = subprocess.run(command, capture_output=True, text=True, env=env)
    lines = out.stdout.splitlines()
    exit_line = next((l for l in lines if l.startswith("exit: ")), None)
    state_line = next((l for l in reversed(lines) if l.startswith("state ")), None)
    if out.returncode != 0 or exit_line is None or state_line is None:
        sys.exit(f"FAIL {' '.join(command)}: status {out.returncode}, no outcome\n{out.stdout}{out.stderr}")
    return [exit_line, state_line]


def write(path, lines):
    with open(path + ".new", "w") as f:
        f.write("\n".join(lines) + "\n")
    os.replace(path + ".new", path)


def solver_frames(keys):
    with open(keys) as f:
        m = SOLVER_LINE.match(f.readline())
    return int(m.group(1)) if m else None


def main(argv):
    if len(argv) < 4 or argv[0] not in ("check", "write") or "--" not in argv:
        sys.exit(__doc__)
    mode, path = argv[0], argv[1]
    sep = argv.index("--")
    options, command = argv[2:sep], argv[sep + 1:]
    keys = options[options.index("--solver-keys") + 1] if "--solver-keys" in options else None
    got = outcome(command)
    if mode == "write":
        write(path, got)
        print(f"wrote {path}")
        return 0
    failures = []
    try:
        want = open(path).read().splitlines()
    except OSError:
        want = []
        failures.append(f"no outcome file {path}")
    for what, w, g in zip(("exit", "state"), want + ["", ""], got):
        if w != g:
            failures.append(f"{what}: expected '{w}', got '{g}'")
    if keys:
        frames = solver_frames(keys)
        m = re.search(r"frames=(\d+)", got[0])
        if frames is None:
            failures.append(f"{keys}: no solver line")
        elif not m or int(m.group(1)) != frames + 1:
            failures.append(f"exit frame: the solver's {frames} frames (+1 for the opening) make {frames + 1}, "
                            f"the run ended at {m.group(1) if m else '?'}")
    for f in failures:
        print(f"FAIL {f}")
    if failures:
        return 1
    print(f"outcome as expected: {got[0]}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
