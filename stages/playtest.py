#!/usr/bin/env python3
"""Plays a stage move by move for a blind playtest: the tester sees the board, the hint and the
rules (stages/PLAYTEST.md), never the solution or the design note.

    playtest.py BUILD_DIR NN [MOVE...] [--out DIR]

Every call replays the given moves from the stage's first play frame in plumet-headless, each
lets the board settle, and prints the board as text (the stage file's characters, '@' the
player), the player's cell, keys held, balls taken and whether the goal was reached; it writes
the last frame as DIR/now.png (default /tmp/playtest-NN). Moves are those of stages/keys.py:
R3 L3 walk cells, r40 l40 hold an arrow for frames, U3 D3 climb cells, JR JL JU jump,
X lift or put down, TL TR turn on the spot, W30 wait.
"""
import json
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import keys  # noqa: E402

CHARS = {0: ".", 1: "#", 2: "H", 3: "D", 4: ".", 5: "B", 6: "J", 7: "k", 8: "I", 9: "N",
         10: "o", 11: "X", 12: "x", 13: "C", 14: ">", 15: "<", 16: "G", 17: "!", 30: "D"}
SETTLE = 120  # frames with no key after the last move, so falling things come to rest


def move_lines(move):
    """The key lines of one move, without the rest keys.py puts after it."""
    lines = keys.expand(move).splitlines()[1:-1]
    while lines and lines[-1].split(None, 1)[1].startswith("-"):
        lines.pop()
    return lines


def frames_of(lines):
    return sum(int(l.split()[0]) for l in lines)


def headless(build, args):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    exe = os.path.join(build, "dist", "plumet-headless")
    out = subprocess.run([exe, "--folder", os.path.join(build, "dist")] + args,
                         capture_output=True, text=True, env=env)
    if out.returncode != 0:
        sys.exit("plumet-headless failed: " + out.stderr.strip())
    return out.stdout


TRACE = re.compile(r"^frame=(\d+) scene=(\d+) .* action=(\d+) frames=(\d+) facing=\d+ keys=(\d+) "
                   r"balls=(\d+)/(\d+) .* latch=(\d+)", re.M)
# The cut-scenes run inside a play frame and present pictures of their own while the state stands
# still: the door's (a key spent) and the all-balls and barrier scenes (the last ball taken).
DOOR_FRAMES, ALL_BALLS_FRAMES = 36, 165
RESTING = {0, 8, 9, 12, 14}  # idle and the ladder holds
WAIT_LIMIT = 400
CACHE_VERSION = 3  # the waits found for each prefix of moves, kept between calls


def run_script(build, slot, lines, extra):
    with tempfile.TemporaryDirectory(prefix="playtest-") as folder:
        key_file = os.path.join(folder, "moves.keys")
        open(key_file, "w").write("\n".join(lines) + "\n")
        return headless(build, ["--builtin", str(slot), "--from", "play", "--keys", key_file,
                                "--stop-at-goal"] + extra)


def resolve(build, slot, moves, cache):
    """The key script of the moves, each move pressed once the player is at rest again, as a
    player waits to see where a move has taken him before the next one."""
    lines = ["1 -"]
    for i, move in enumerate(moves):
        prefix = " ".join(moves[:i + 1])
        if prefix in cache:
            lines = cache[prefix]
            continue
        began = frames_of(lines)  # the script frame before the move's first key
        lines = lines + move_lines(move)
        pressed = frames_of(lines)
        trace = run_script(build, slot, lines + ["%d -" % WAIT_LIMIT],
                           ["--trace", "--frames", str(pressed + WAIT_LIMIT + 400)])
        rows = [tuple(int(x) for x in m.groups()) for m in TRACE.finditer(trace)]
        start = next((r[0] for r in rows if r[1] == 3), None)
        wait = WAIT_LIMIT
        if start is not None:
            before = [r for r in rows if r[0] - start + 1 <= began]
            keys_at, balls_at = (before[-1][4], before[-1][5]) if before else (None, None)
            busy_until = 0
            for frame, scene, action, action_frames, keys_held, balls, total, latch in rows:
                # The state traced at script frame k's picture is what frame k-1 left.
                k = frame - start + 1
                if keys_at is not None and k > began:
                    if keys_held < keys_at:
                        busy_until = max(busy_until, k + DOOR_FRAMES)
                    if total and balls == total and balls_at < total:
                        busy_until = max(busy_until, k + ALL_BALLS_FRAMES)
                    keys_at, balls_at = keys_held, balls
                if k > pressed and k >= busy_until and scene == 3 and action in RESTING \
                        and action_frames in (0, 8) and latch == 0:
                    wait = k - pressed
                    break
        lines = lines + ["%d -" % wait]
        cache[prefix] = lines
    return lines


def cell_code(ch):
    return int(ch, 36)


def main(argv):
    out_dir = None
    if "--out" in argv:
        i = argv.index("--out")
        out_dir = argv[i + 1]
        del argv[i:i + 2]
    if len(argv) < 2:
        sys.exit(__doc__)
    build, slot, moves = argv[0], int(argv[1]), argv[2:]
    out_dir = out_dir or "/tmp/playtest-%02d" % slot
    os.makedirs(out_dir, exist_ok=True)
    cache_file = os.path.join(out_dir, "cache.json")
    cache = json.load(open(cache_file)) if os.path.exists(cache_file) else {}
    if cache.get("version") != CACHE_VERSION:
        cache = {"version": CACHE_VERSION}
    lines = resolve(build, slot, moves, cache) + ["%d -" % SETTLE]
    json.dump(cache, open(cache_file, "w"))
    first = run_script(build, slot, lines, ["--frames", "300", "--trace"])
    start = int(re.search(r"^frame=(\d+) scene=3 ", first, re.M).group(1))
    end = start + frames_of(lines) - 1
    second = run_script(build, slot, lines, ["--frames", str(end), "--cells",
                                             "--capture", out_dir, "--at", str(end)])
    exit_kind = re.search(r"^exit: (\w+)", second, re.M).group(1)
    state = dict(kv.split("=", 1) for kv in re.search(r"^state (.*)$", second, re.M).group(1).split())
    cells = re.search(r"^cells (\S+)", second, re.M).group(1)
    px, py = round(float(state["x"])), round(float(state["y"]))
    rows = []
    for y in range(15):
        row = ""
        for x in range(20):
            row += "@" if (x, y) == (px, py) else CHARS.get(cell_code(cells[y * 20 + x]), "?")
        rows.append(row)
    png = os.path.join(out_dir, "frame-%d.png" % end)
    if os.path.exists(png):
        os.replace(png, os.path.join(out_dir, "now.png"))
    print("\n".join(rows))
    print("player at column %d, row %d; holding %s; keys %s; balls %s" % (
        px, py, {"1": "a balloon", "2": "a jump pad"}.get(state.get("held"), "nothing"), state.get("keys"),
        state.get("balls")))
    print("goal reached" if exit_kind == "goal" or state.get("goal") == "1" else "goal not reached")
    print("picture: " + os.path.join(out_dir, "now.png"))
    log = os.path.join(out_dir, "log.txt")
    previous = open(log).read().splitlines()[-1].split() if os.path.exists(log) else []
    restart = moves[:len(previous)] != previous
    with open(log, "a") as f:
        f.write(" ".join(moves) + "\n")
    calls = len(open(log).read().splitlines())
    print("call %d%s" % (calls, ", a restart" if restart else ""))


if __name__ == "__main__":
    main(sys.argv[1:])
