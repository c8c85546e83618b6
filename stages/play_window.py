#!/usr/bin/env python3
"""Presses a key script's keys in the game window in step with its presented frames.
  play_window.py KEYS FRAME_LOG WINDOW OUT_DIR
The script's leading no-key lines (the fade-in) are skipped: the stage is already at rest when
this starts. For script frame k the keys change as soon as frame k-1 was presented: the game reads
that frame's input right after the present and serves the window's events only after it, at the
frame's end, so a change made then reaches frame k. A present can come late in its frame (the
game waited for a core), leaving only a few ms until the frame's end, so the change is made at
once rather than after a margin, and it must not wait for this script either: the log is
followed as it grows (inotify wakes this at each present) rather than read whole again, and the
pictures are taken by niced processes, so neither the waiting nor the pictures hold the keys up
on a busy machine. A picture is taken every PICTURE_EVERY frames (default 400) up to
PICTURE_UNTIL."""
import ctypes
import os
import select
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
    """The presents in a frame log so far (read whole: for a short run)."""
    with open(log, "rb") as f:
        return f.read().count(b"\n")


class FrameLog:
    """The game's frame log followed as it grows: the presents so far and the time of the last."""

    IN_MODIFY = 0x2

    def __init__(self, path):
        self.fd = os.open(path, os.O_RDONLY)
        self.count, self.last, self.part = 0, 0, b""
        self.held = ""
        self.notify = None
        try:
            libc = ctypes.CDLL(None, use_errno=True)
            fd = libc.inotify_init1(os.O_NONBLOCK)
            if fd >= 0 and libc.inotify_add_watch(fd, path.encode(), self.IN_MODIFY) >= 0:
                self.notify = fd
        except (OSError, AttributeError):
            pass
        self.read()

    def read(self):
        while True:
            chunk = os.read(self.fd, 1 << 16)
            if not chunk:
                break
            lines = (self.part + chunk).split(b"\n")
            self.part = lines.pop()
            if lines:
                self.count += len(lines)
                last = lines[-1].split()
                self.last = int(last[0])
                self.held = last[1].decode() if len(last) > 1 else ""
        return self.count

    def wait(self, timeout):
        """Waits for the log to grow, at most `timeout` seconds."""
        if self.notify is None:
            time.sleep(min(timeout, 0.0005))
            return
        if select.select([self.notify], [], [], timeout)[0]:
            try:
                os.read(self.notify, 4096)
            except BlockingIOError:
                pass


def ordinary():
    """A picture taker leaves the real-time class this player may run in: it is the slow part."""
    try:
        os.sched_setscheduler(0, os.SCHED_OTHER, os.sched_param(0))
    except (OSError, AttributeError):
        pass


def main():
    keys, log, win, out = sys.argv[1:5]
    seq = frames_of(keys)
    kb = Keyboard()
    held = frozenset()
    worst = 0.0
    frames = FrameLog(log)
    # Every change, the first too, is timed from a present: base is the frame before script frame 0.
    base = frames.read() + 1
    short = {"Left": "L", "Right": "R", "Up": "U", "Down": "D", "Z": "Z", "X": "X", "Shift": "S"}
    k, late, waited = 0, 0, 0
    reads = []  # for each script frame, the present of the frame that reads its keys
    while k < len(seq):
        want = seq[k]
        # Wait for frame base+late+k (the one before this script frame) to be presented.
        deadline = time.monotonic() + 5
        while frames.read() < base + late + k:
            if time.monotonic() > deadline:
                print("the game stopped presenting at script frame %d" % k)
                return 1
            frames.wait(0.002)
        # The keys the window held as that frame was shown are the ones the game read for it. A
        # key pressed for it that is not among them came a frame late (the game or the X server
        # waited for a core): the game reads it on the next frame, so the rest of the script
        # waits one frame with it rather than running a frame ahead of the play. This is most
        # often so right after a cut-scene, whose last frame is followed by the play's at once.
        if k and waited < 3 and frames.count == base + late + k and \
                any(short[n] not in frames.held for n in seq[k - 1] - (seq[k - 2] if k > 1 else frozenset())):
            late, waited = late + 1, waited + 1
            continue
        waited = 0
        # At once: frame k-1 reads its input right after its present, before the game serves
        # the window again.
        cmds = [(False, NAMES[n]) for n in held - want] + [(True, NAMES[n]) for n in want - held]
        if cmds:
            kb.send(cmds)
            worst = max(worst, time.monotonic() - frames.last / 1e6)
        held = want
        reads.append(base + late + k)
        k += 1
        if (k - 1) % int(os.environ.get("PICTURE_EVERY", "400")) == 0 and k <= int(os.environ.get("PICTURE_UNTIL", "1000000")):
            # xwd reads the window without taking the focus (a lost focus pauses the game).
            subprocess.Popen("nice -n 19 xwd -silent -id %s | nice -n 19 convert xwd:- %s"
                             % (win, os.path.join(out, "f%05d.png" % (k - 1))), shell=True, preexec_fn=ordinary)
    kb.send([(False, NAMES[n]) for n in held])
    # What the window held at each present (the frame log's second column) against the script:
    # a key the window system delivered a frame late shows here, and explains a failed run.
    with open(log) as f:
        lines = f.read().splitlines()
    times = [int(line.split()[0]) for line in lines[base:base + late + len(seq)]]
    missed = 0
    for i, (want, at) in enumerate(zip(seq, reads)):
        if at >= len(lines):
            break
        # A present within 2 ms of the one before is a cut-scene's inside the same frame: no key
        # is read there and none can have changed. (A frame that follows a long one at once comes
        # a few ms after it, and is counted.)
        if i and int(lines[at].split()[0]) - int(lines[at - 1].split()[0]) < 2000:
            continue
        got = lines[at].split()[1] if len(lines[at].split()) > 1 else ""
        if sorted(got) != sorted(short.get(n, "") for n in want):
            missed += 1
    off = sum(1 for a, b in zip(times, times[1:]) if abs(b - a - 25000) > 10000)
    stalls = sum(1 for a, b in zip(times, times[1:]) if b - a > 35000)
    print("%d frames pressed, %d held other keys than the script, %d keys a frame late waited for, "
          "%d frames off the 25 ms beat (%d over 35 ms), keys sent up to %.1f ms after the present"
          % (len(seq), missed, late, off, stalls, 1000 * worst))
    return 0


if __name__ == "__main__":
    sys.exit(main())
