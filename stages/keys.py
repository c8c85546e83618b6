#!/usr/bin/env python3
"""Expands a solution written as moves into a headless key script.

Moves (space separated):
  R3 / L3   walk 3 cells (8 frames a cell), then a short rest
  r40 / l40 hold the arrow for 40 frames (slides, walks to a wall)
  JR JL JU  jump: Z, then the arrow through the wind-up (hops and diagonal jumps)
  X         lift or put down, then rest until the move has ended
  TL TR     turn on the spot (Shift + arrow)
  U3 / D3   climb 3 cells of ladder
  W30       wait 30 frames
"""
import re
import sys

ARROW = {"R": "Right", "L": "Left", "U": "Up", "D": "Down"}


def expand(moves):
    out = ["30 -   # the stage starts"]
    for m in moves.split():
        if m in ("JR", "JL", "JU"):
            out.append("1 Z")
            out.append("17 " + ARROW[m[1]] if m != "JU" else "17 -")
            out.append("24 -")
        elif m == "X":
            out += ["1 X", "44 -"]
        elif m in ("TL", "TR"):
            out += ["2 Shift+" + ARROW[m[1]], "3 -"]
        elif re.fullmatch(r"[RLUD]\d+", m):
            out += ["%d %s" % (8 * int(m[1:]), ARROW[m[0]]), "3 -"]
        elif re.fullmatch(r"[rlud]\d+", m):
            out += ["%d %s" % (int(m[1:]), ARROW[m[0].upper()]), "3 -"]
        elif re.fullmatch(r"W\d+", m):
            out.append("%d -" % int(m[1:]))
        else:
            raise SystemExit("unknown move " + m)
    out.append("600 -  # the goal scene")
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    sys.stdout.write(expand(" ".join(sys.argv[1:])))
