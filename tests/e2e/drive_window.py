#!/usr/bin/env python3
"""Plays a headless key script in the real game window, in step with the frames the window
presents (its PLUMET_FRAME_LOG), takes a picture at chosen frames, and compares each with the
headless game's picture of the same frame: the window must reach the same screens and show them.

  drive_window.py KEYS FRAME_LOG WINDOW OUT_DIR REF_DIR F1,F2,...
  drive_window.py - FRAME_LOG WINDOW OUT_DIR REF_DIR F1,F2,...    pictures only, no keys

The script counts as plumet-headless counts without a stage: script frame n is held from the
(n-1)th present to the nth, so the window gets the same input on the same frames; the driving
ends with the script's last key. A picture is
read a little after its frame is presented, so a few frames' motion (blinking, animation) may
show in it: a picture passes when at most MAX_DIFFER (default 4%) of its pixels differ from the
headless one. REF_DIR holds the headless frame-<n>.png pictures.
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "stages"))
from play_window import NAMES, Keyboard, presented  # noqa: E402


def script_frames(path):
    seq = []
    for line in open(path):
        line = line.split("#")[0].split()
        if line:
            keys = frozenset() if line[1] == "-" else frozenset(line[1].split("+"))
            seq += [keys] * int(line[0])
    return seq


def differing_share(a, b):
    """The share of pixels of two pictures that differ (ImageMagick's absolute error count)."""
    out = subprocess.run(["/usr/bin/compare", "-metric", "AE", a, b, "null:"], capture_output=True, text=True)
    try:
        count = float(out.stderr.split()[0])
    except (ValueError, IndexError):
        return 1.0
    return count / (640 * 480)


def main():
    keys, log, win, out, ref, at = sys.argv[1:7]
    shots = sorted(int(f) for f in at.split(","))
    seq = script_frames(keys) if keys != "-" else [frozenset()] * (max(shots) + 1)
    kb = Keyboard()
    held = frozenset()
    pending = []
    # Past the last key the script only waits (and the game may have ended on it).
    last = max((n for n, k in enumerate(seq, 1) if k), default=len(seq))
    for n in range(1, last + 1):
        # Script frame n is held from the (n-1)th present on.
        deadline = time.monotonic() + 10
        while presented(log) < n - 1:
            if time.monotonic() > deadline:
                print(f"FAIL: the game stopped presenting before frame {n}")
                return 1
            time.sleep(0.0005)
        if n - 1 in shots:
            # xwd reads the window without taking the focus (a lost focus pauses the game).
            path = os.path.join(out, f"window-{n - 1}.png")
            pending.append((n - 1, path, subprocess.Popen(f"xwd -silent -id {win} | convert xwd:- {path}", shell=True)))
        time.sleep(0.005)  # after frame n-1 read its input, before frame n reads its own
        want = seq[n - 1]
        cmds = [(False, NAMES[k]) for k in held - want] + [(True, NAMES[k]) for k in want - held]
        if cmds:
            kb.send(cmds)
        held = want
    kb.send([(False, NAMES[k]) for k in held])
    limit = float(os.environ.get("MAX_DIFFER", "0.04"))
    failed = 0
    for frame, path, proc in pending:
        proc.wait()
        share = differing_share(path, os.path.join(ref, f"frame-{frame}.png"))
        verdict = "ok" if share <= limit else "FAIL"
        failed += verdict != "ok"
        print(f"{verdict}: frame {frame}: {100 * share:.1f}% of the pixels differ from the headless picture")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
