#!/usr/bin/env python3
"""Plays the whole built-in course in one continuous run, as a player would.

    run_course.py HEADLESS DIST_DIR [--keep] [--write-frames]

Run 1 starts stage 0 with its intro and plays every stage with its solution, through each
stage-clear scene and the next stage's intro, up to stage 49; its clear runs the ending, which
is left with Z back to the title. The record must then hold stages 0..49 cleared and the bonus
area open. Run 2 (same record) starts stage 50 and plays the bonus area through stage 54 and its
ending. Each key script starts with the first stage's first play frame, as the runner counts
it, and is composed from measured lengths: each solution cut at its goal frame, and each stage's
clear up to the next stage's first play frame, measured by playing that stage alone from play. The continuous runs are traced, and every stage must start play and
reach its goal on the frame the composition expects; a difference names the stage and frame.
Every presented frame of both runs is hashed, and each run's hash must be the one in
solutions/course_frames.txt, which --write-frames renews (stages/solve_course.py does after
solving); as the stage intros draw text, the file also notes the fonts, and a mismatch says
when they differ.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOLUTIONS = os.path.join(HERE, "solutions")
SCENE_PLAY, SCENE_INTRO, SCENE_TITLE, SCENE_ENDING = 3, 7, 1, 9
# Frames past the ending's start before Z is taken: its counter starts at -200 and Z counts
# only past 3560, the hold latch set at 3556 being free again by then.
ENDING_WAIT = 3900
FRAMES_FILE = os.path.join(SOLUTIONS, "course_frames.txt")
# The families the game's text is drawn with (as tests/harness/golden.cpp notes them).
TEXT_FAMILIES = ("IPAGothic", "IPAPGothic")
STATE = re.compile(r"^frame=(\d+) scene=(\d+) stage=(\d+) .*\bgoal=(\d)")


def run(headless, folder, args):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    out = subprocess.run([headless, "--folder", folder] + args, capture_output=True, text=True, env=env)
    if out.returncode != 0:
        sys.exit(f"plumet-headless {' '.join(args)} failed: {out.stderr}")
    return out.stdout


def trace_states(text):
    """(frame, scene, stage, goal) for each traced frame."""
    return [tuple(int(x) for x in m.groups()) for m in map(STATE.match, text.splitlines()) if m]


def read_keys(path):
    steps = []
    for line in open(path):
        line = line.split("#", 1)[0].strip()
        if line:
            count, keys = line.split(None, 1)
            steps.append((int(count), keys))
    return steps


def cut(steps, frames):
    """The first `frames` frames of a key script, padded with released keys."""
    out, left = [], frames
    for count, keys in steps:
        if left <= 0:
            break
        out.append((min(count, left), keys))
        left -= min(count, left)
    if left > 0:
        out.append((left, "-"))
    return out


def write_keys(path, steps):
    with open(path, "w") as f:
        for count, keys in steps:
            if count > 0:
                f.write(f"{count} {keys}\n")


class Course:
    def __init__(self, headless, measure, folder, work):
        # Measuring clears stages too: it keeps its own folder, so the continuous runs start
        # from a fresh record and the record shows only their own clears.
        self.headless, self.measure, self.folder, self.work = headless, measure, folder, work

    def measure_intro(self, stage):
        states = trace_states(run(self.headless, self.measure, ["--builtin", str(stage), "--trace", "--frames", "600"]))
        first_play = next(f for f, scene, _, _ in states if scene == SCENE_PLAY)
        return first_play - 2  # the stage's first frame is frame 2

    def measure_stage(self, stage):
        """(frames of the solution up to goal, frames from goal to the next stage's first play
        frame or to the ending's first frame), measured on the stage played alone from play."""
        keys = os.path.join(SOLUTIONS, f"{stage:02d}.keys")
        out = run(self.headless, self.measure, ["--builtin", str(stage), "--from", "play", "--keys", keys, "--stop-at-goal",
                                              "--frames", "30000"])
        m = re.search(r"exit: goal frames=(\d+)", out)
        if not m:
            sys.exit(f"stage {stage}: its solution does not reach the goal from play")
        goal = int(m.group(1))
        script = os.path.join(self.work, f"alone{stage:02d}.keys")
        write_keys(script, cut(read_keys(keys), goal - 1) + [(1200, "-")])
        states = trace_states(run(self.headless, self.measure, ["--builtin", str(stage), "--from", "play", "--keys", script,
                                                              "--trace", "--frames", str(goal + 1200)]))
        if stage in (49, 54):
            nxt = next(f for f, scene, _, _ in states if f > goal and scene == SCENE_ENDING)
        else:
            intro = next(f for f, scene, _, _ in states if f > goal and scene == SCENE_INTRO)
            nxt = next(f for f, scene, _, _ in states if f > intro and scene == SCENE_PLAY)
        return goal - 1, nxt - goal - 1

    def play(self, stages, name):
        """Composes the run over `stages`, plays it traced, checks each stage; returns the
        output, the number of frames and the seconds taken."""
        # The script starts with the first stage's first play frame, as the runner counts it.
        steps = []
        expect = []  # (stage, first play frame, goal frame)
        first = frame = 2 + self.measure_intro(stages[0])
        for stage in stages:
            solve, gap = self.measure_stage(stage)
            steps += cut(read_keys(os.path.join(SOLUTIONS, f"{stage:02d}.keys")), solve)
            expect.append((stage, frame, frame + solve - 1))
            steps.append((gap, "-"))
            frame += solve + gap
        ending = frame
        steps += [(ENDING_WAIT, "-"), (1, "Z"), (60, "-")]
        total = first - 1 + sum(c for c, _ in steps)
        script = os.path.join(self.work, f"{name}.keys")
        write_keys(script, steps)
        began = time.monotonic()
        out = run(self.headless, self.folder, ["--builtin", str(stages[0]), "--keys", script, "--trace", "--record",
                                               "--hash", "--frames", str(total)])
        seconds = time.monotonic() - began
        states = trace_states(out)
        by_frame = {f: (scene, stage, goal) for f, scene, stage, goal in states}
        lines = {int(m.group(1)): l for l in out.splitlines() for m in [re.match(r"frame=(\d+) ", l)] if m}
        failures = []
        for stage, start, goal in expect:
            got = by_frame.get(start)
            if got is None or got[0] != SCENE_PLAY or got[1] != stage or by_frame.get(start - 1, (0,))[0] == SCENE_PLAY:
                failures.append(f"stage {stage}: play expected to start at frame {start}; there: {lines.get(start)}")
                break
            arrived = next((f for f in range(start, goal + 1) if by_frame[f][2] == 1), None)
            if arrived != goal:
                failures.append(f"stage {stage}: goal expected at frame {goal} (play from {start}), "
                                f"arrived at {arrived}; at the goal frame: {lines.get(goal)}")
                break
        if not failures:
            if by_frame.get(ending, (0,))[0] != SCENE_ENDING:
                failures.append(f"the ending expected from frame {ending}; there: {lines.get(ending)}")
            elif not any(f > ending and scene == SCENE_TITLE for f, scene, _, _ in states):
                failures.append("the ending did not return to the title after Z")
        return out, total, seconds, failures


def font_note():
    lines = []
    for family in TEXT_FAMILIES:
        path = subprocess.run(["fc-match", "-f", "%{file}", family], capture_output=True, text=True).stdout
        h = 1469598103934665603
        try:
            for b in open(path, "rb").read():
                h = ((h ^ b) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
        except OSError:
            path = "(none)"
        lines.append(f"font {family} {path} {h:x}")
    return lines


def read_frames_file():
    try:
        lines = open(FRAMES_FILE).read().splitlines()
    except OSError:
        return {}, []
    runs = dict(l.split()[1:3] for l in lines if l.startswith("run "))
    return runs, [l for l in lines if l.startswith("font ")]


def record_of(out):
    m = re.search(r"^record highest=(\d+) cleared=(\d+) bonus=(\d+) marks=([01]+)$", out, re.M)
    return (int(m.group(1)), int(m.group(2)), int(m.group(3)), m.group(4)) if m else None


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    headless, dist = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    work = tempfile.mkdtemp(prefix="plumet-course-")
    try:
        # Game folders of their own: the data of the build, a fresh record.
        folders = [os.path.join(work, "measure"), os.path.join(work, "game")]
        for folder in folders:
            os.mkdir(folder)
            for name in ("plumet.map", "plumet.str", "plumet.ini", "plumetogg", "plumetwave"):
                src = os.path.join(dist, name)
                if os.path.isdir(src):
                    shutil.copytree(src, os.path.join(folder, name))
                elif os.path.exists(src):
                    shutil.copy(src, folder)
        course = Course(headless, folders[0], folders[1], work)
        ok = True
        writing = "--write-frames" in sys.argv
        want_hashes, drawn_with = read_frames_file()
        hashes = {}
        for name, stages, want in (
            ("main", list(range(0, 50)), lambda r: r[0] == 54 and r[2] == 1 and r[3][:50] == "1" * 50),
            ("bonus", list(range(50, 55)), lambda r: r[0] == 54 and r[2] == 1 and r[3][:55] == "1" * 55),
        ):
            out, total, seconds, failures = course.play(stages, name)
            m = re.search(r"^frame-hash: (\w+)$", out, re.M)
            hashes[name] = m.group(1) if m else "none"
            if not writing and hashes[name] != want_hashes.get(name):
                note = f"the frames' hash is {hashes[name]}, {FRAMES_FILE} has {want_hashes.get(name)}"
                if drawn_with and drawn_with != font_note():
                    note += ("; the text fonts are not the ones the hashes were made with, so the text may be "
                             "what differs (a font package change): " + " / ".join(font_note()))
                failures.append(note)
            rec = record_of(out)
            last = next((l for l in reversed(out.splitlines()) if l.startswith("state ")), "")
            print(f"{name} run: stages {stages[0]}..{stages[-1]}, {total} frames, {seconds:.1f} s")
            print(f"  {last}")
            print(f"  record highest={rec[0]} cleared={rec[1]} bonus={rec[2]} marks={rec[3]}" if rec else "  no record")
            for f in failures:
                print(f"  FAIL {f}")
            if failures or not rec or not want(rec) or " scene=1 " not in last + " ":
                ok = False
                if not failures:
                    print("  FAIL the record or the final scene is not as expected")
                break
        if ok and writing:
            with open(FRAMES_FILE + ".new", "w") as f:
                f.write("".join(f"run {n} {h}\n" for n, h in hashes.items()) + "\n".join(font_note()) + "\n")
            os.replace(FRAMES_FILE + ".new", FRAMES_FILE)
            print(f"wrote {FRAMES_FILE}")
        print("course: " + ("played through" if ok else "FAILED"))
        return 0 if ok else 1
    finally:
        if "--keep" not in sys.argv:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
