#!/usr/bin/env python3
"""Prints how the program's rooms stand on each other and fails on a circle.

A unit is a header with the source file of the same name (frame.h + frame.cpp). A unit uses
another when one of its source files includes the other's header: code calls, a header only
declares, so a header's own includes (the state types game.h gathers) are no uses. A logic
header without a source file of its own (scenes.h, play_internal.h) stands for the units that
define what it declares: including it is calling them. A platform/api header is an interface
and stands for no backend. Units of one room may use each other freely; a room is a folder,
except that the menus and play scenes, which hand over to each other, share one. A circle that
runs through two or more rooms fails, as does an include from platform/ into the logic other
than the program's entry.

  tools/layers.py [--root DIR] [--graph]
"""
import argparse
import os
import re
import sys

FOLDERS = ["game", "sound", "editor", "platform"]
# The program's entries choose the platform; they alone may include the logic from platform/.
ENTRIES = {"platform/qt/plumet_main.cpp", "editor/ui/main.cpp"}
# Rooms that are not just their folder: the scenes hand over to each other (the stage select
# starts play, play's progress step returns to the stage select or the ending).
ROOMS = {"game/menus": "game scenes", "game/play": "game scenes", "game/scenes": "game scenes"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
# A declaration at the start of a line: `type Name(...);`
DECLARED = re.compile(r"^[A-Za-z_][\w:<>,\s\*&]*?\b([A-Z]\w*)\s*\([^;{]*\)\s*(?:const\s*)?;", re.M)
# A definition at the start of a line: `type Name(...) {`
DEFINED = re.compile(r"^[A-Za-z_][\w:<>,\s\*&]*?\b([A-Z]\w*)\s*\([^;{]*\)\s*(?:const\s*)?(?:override\s*)?\{", re.M)


def read(root, path):
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        return f.read()


def collect(root):
    files = []
    for top in FOLDERS:
        for dirpath, _, names in os.walk(os.path.join(root, top)):
            for n in sorted(names):
                if n.endswith((".cpp", ".h")):
                    files.append(os.path.relpath(os.path.join(dirpath, n), root))
    return sorted(files)


def unit_of(path):
    return os.path.splitext(path)[0]


def build(root):
    files = collect(root)
    present = set(files)
    units = {unit_of(f) for f in files}
    definers = {}  # function name -> units defining it
    for f in files:
        if f.endswith(".cpp"):
            for name in DEFINED.findall(read(root, f)):
                definers.setdefault(name, set()).add(unit_of(f))
    # What a header without a source of its own stands for.
    stands_for = {}
    for f in files:
        if f.endswith(".h") and f[:-2] + ".cpp" not in present and not f.startswith("platform/"):
            targets = set()
            for name in DECLARED.findall(read(root, f)):
                targets |= definers.get(name, set())
            stands_for[unit_of(f)] = targets - {unit_of(f)}
    edges = {u: set() for u in units}
    bad_platform = []
    for f in files:
        u = unit_of(f)
        for inc in INCLUDE.findall(read(root, f)):
            if inc not in present:
                continue
            v = unit_of(inc)
            if f.startswith("platform/") and not inc.startswith("platform/") and f not in ENTRIES:
                bad_platform.append(f"{f} includes {inc}")
            if v != u and f.endswith(".cpp"):
                edges[u].add(v)
    for h, targets in stands_for.items():
        edges[h] |= targets
    return edges, bad_platform


def folder(u):
    return ROOMS.get(u, ROOMS.get(os.path.dirname(u), os.path.dirname(u)))


def strongly_connected(nodes, edges):
    """Tarjan's algorithm, iterative; returns the components of more than one node."""
    index, low, on, stack, out = {}, {}, set(), [], []
    counter = 0
    for start in sorted(nodes):
        if start in index:
            continue
        work = [(start, iter(sorted(edges.get(start, ()))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on.add(start)
        while work:
            v, it = work[-1]
            advanced = False
            for w in it:
                if w not in index:
                    index[w] = low[w] = counter
                    counter += 1
                    stack.append(w)
                    on.add(w)
                    work.append((w, iter(sorted(edges.get(w, ())))))
                    advanced = True
                    break
                if w in on:
                    low[v] = min(low[v], index[w])
            if advanced:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[v])
            if low[v] == index[v]:
                comp = []
                while True:
                    w = stack.pop()
                    on.discard(w)
                    comp.append(w)
                    if w == v:
                        break
                if len(comp) > 1:
                    out.append(sorted(comp))
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    ap.add_argument("--graph", action="store_true", help="print every room's uses")
    args = ap.parse_args()
    root = os.path.abspath(args.root)
    edges, bad_platform = build(root)

    uses = {}
    for u, vs in edges.items():
        for v in vs:
            if folder(u) != folder(v):
                uses.setdefault(folder(u), set()).add(folder(v))
    if args.graph:
        for f in sorted(uses):
            print(f"{f} -> {', '.join(sorted(uses[f]))}")

    failed = False
    for comp in strongly_connected(edges.keys(), edges):
        if len({folder(u) for u in comp}) < 2:
            continue
        failed = True
        print(f"circle through {len({folder(u) for u in comp})} rooms:")
        members = set(comp)
        for u in comp:
            for v in sorted(edges[u] & members):
                if folder(u) != folder(v):
                    print(f"  {u} -> {v}")
    for line in bad_platform:
        failed = True
        print(f"platform reaches into the logic: {line}")
    if failed:
        return 1
    print(f"no circle between rooms ({len(edges)} units in {len({folder(u) for u in edges})} rooms)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
