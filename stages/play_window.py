#!/usr/bin/env python3
"""Presses a key script's keys in the game window in step with its presented frames.
  play_window.py KEYS FRAME_LOG WINDOW OUT_DIR
The script's leading no-key lines (the fade-in) are skipped: the stage is already at rest when
this starts. For script frame k the keys change 5 ms after frame k-1 is presented: after that
frame has read its input, and in time for the next one. A picture is taken every PICTURE_EVERY
frames (default 400) up to PICTURE_UNTIL."""
import ctypes
import os
import subprocess
import sys
import time

NAMES = {"Up": "Up", "Down": "Down", "Left": "Left", "Right": "Right", "Z": "z", "X": "x",
         "Shift": "Shift_L", "Ctrl": "Control_L", "Esc": "Escape"}


class Keyboard:
    """Key presses through the X test extension: no process started per key, so a change lands
    within a millisecond or two."""

    def __init__(self):
        self.x = ctypes.CDLL("libX11.so.6")
        self.t = ctypes.CDLL("libXtst.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XStringToKeysym.restype = ctypes.c_ulong
        self.x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.t.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.d = self.x.XOpenDisplay(None)
        if not self.d:
            raise SystemExit("cannot open the display")

    def send(self, changes):
        for down, name in changes:
            code = self.x.XKeysymToKeycode(self.d, self.x.XStringToKeysym(name.encode()))
            self.t.XTestFakeKeyEvent(self.d, code, 1 if down else 0, 0)
        self.x.XFlush(self.d)


def frames_of(path):
    seq = []
    for line in open(path):
        line = line.split("#")[0].split()
        if not line:
            continue
        keys = frozenset() if line[1] == "-" else frozenset(line[1].split("+"))
        seq += [keys] * int(line[0])
    while seq and not seq[0]:
        seq.pop(0)
    return seq


def presented(log):
    with open(log, "rb") as f:
        return f.read().count(b"\n")


def main():
    keys, log, win, out = sys.argv[1:5]
    seq = frames_of(keys)
    kb = Keyboard()
    held = frozenset()
    # Every change, the first too, is timed from a present: base is the frame before script frame 0.
    base = presented(log) + 1
    for k, want in enumerate(seq):
        # Wait for frame base+k (the one before this script frame) to be presented.
        deadline = time.monotonic() + 5
        while presented(log) < base + k:
            if time.monotonic() > deadline:
                print("the game stopped presenting at script frame %d" % k)
                return 1
            time.sleep(0.0005)
        # After frame k-1 read its input (just after its present), and early enough for the
        # window system to deliver the keys before frame k reads its own.
        time.sleep(0.005)
        cmds = [(False, NAMES[n]) for n in held - want] + [(True, NAMES[n]) for n in want - held]
        if cmds:
            kb.send(cmds)
        held = want
        if k % int(os.environ.get("PICTURE_EVERY", "400")) == 0 and k <= int(os.environ.get("PICTURE_UNTIL", "1000000")):
            # xwd reads the window without taking the focus (a lost focus pauses the game).
            subprocess.Popen("xwd -silent -id %s | convert xwd:- %s" % (win, os.path.join(out, "f%05d.png" % k)),
                             shell=True)
    kb.send([(False, NAMES[n]) for n in held])
    # What the window held at each present (the frame log's second column) against the script:
    # a key the window system delivered a frame late shows here, and explains a failed run.
    with open(log) as f:
        lines = f.read().splitlines()[base:base + len(seq)]
    short = {"Left": "L", "Right": "R", "Up": "U", "Down": "D", "Z": "Z", "X": "X", "Shift": "S"}
    missed = 0
    for want, line in zip(seq, lines):
        got = line.split()[1] if len(line.split()) > 1 else ""
        if sorted(got) != sorted(short.get(n, "") for n in want):
            missed += 1
    times = [int(line.split()[0]) for line in lines]
    off = sum(1 for a, b in zip(times, times[1:]) if abs(b - a - 25000) > 10000)
    print("%d frames pressed, %d held other keys than the script, %d frames off the 25 ms beat"
          % (len(seq), missed, off))
    return 0


if __name__ == "__main__":
    sys.exit(main())
