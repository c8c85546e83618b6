#!/usr/bin/env python3
"""Checks the course against its targets: the screen and copy targets from the stage files
(course_shape.py) and the difficulty targets from the committed table stages/solutions/table.txt
and the cells files stages/solutions/NN.cells.

    python3 stages/course_targets.py [--check]

Difficulty is measured by the solver's simulated player (the table's `search`: its median
decisions to the goal, see tools/solver/README.md); the moves of the shortest solution (one move:
one input decided at a rest state) are kept beside it. Targets over slots 0..53: the stars follow
the search with a rank correlation of at least 0.8 (until that is met, the stars follow the moves
at 0.7 or more); in every stage of three stars or more at most 40 % of the shortest solution's
moves walk or climb on as the move before did, and at most 25 % re-walk a step walked before
(unless its design note has a `; re-walking:` line saying re-walking is the idea); every design
note names its central trick in a `; trick:` line and no two tricks are alike (by their words, and
by the pairs found alike by reading, SAME_TRICK); no room of 20 or
more empty cells the player can reach is left unused by the shortest solution and its traps;
the five-star stages need a median of at least 60 moves and all have dead ends;
every stage of three stars or more has dead ends; by the search, every area's median is above the
first area's, and the final area (48, 49) and the bonus area (50..54) rank among the hardest third.
Every stage, 54 included, must be solvable. With --check the exit status is 1 when one is missed.

The new targets the course does not meet yet are listed in PENDING, by stage (the correlation
under "course"): a pending target is printed as "pending" and does not fail --check; a target
met is checked whether listed or not. It also prints each stage's trick and the mechanics its
solution needs first in the course (used by it and by no earlier slot's solution).
"""
import re
import os
import statistics
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import course_shape  # noqa: E402

TABLE = os.path.join(HERE, "solutions", "table.txt")
AREAS = [list(range(a, a + 4)) for a in range(0, 48, 4)] + [[48, 49], list(range(50, 55))]
MIN_RANK_CORRELATION = 0.7
MIN_FIVE_STAR_MEDIAN = 60
MIN_SEARCH_CORRELATION = 0.8
MAX_WALKING, MAX_REWALK = 0.40, 0.25
MIN_EMPTY_ROOM = 20
TRICKS_ALIKE = 0.5  # the share of words two trick lines share, of all their words

# Pairs that turn on the same trick in other words, found by reading the tricks side by side (the
# word test above does not see them): a redesign of one takes its pair off this list.
SAME_TRICK = [(43, 50)]

# The new targets still being worked on, by stage: "walking", "rewalk", "trick", "room", "copy", and
# under "course" the stars' correlation with the search ("search") and the areas' order by it
# ("areas", "final-area", "bonus-area").
PENDING = {
    50: {"copy"},
}


def stars_of(slot):
    for name in os.listdir(os.path.join(HERE, "course")):
        if name.startswith("%02d-" % slot):
            return open(os.path.join(HERE, "course", name), encoding="utf-8").readline().count("★")
    return 0


def ranks(values):
    order = sorted(range(len(values)), key=lambda i: values[i])
    r = [0.0] * len(values)
    i = 0
    while i < len(order):
        j = i
        while j + 1 < len(order) and values[order[j + 1]] == values[order[i]]:
            j += 1
        for k in range(i, j + 1):
            r[order[k]] = (i + j) / 2 + 1
        i = j + 1
    return r


def spearman(a, b):
    ra, rb = ranks(a), ranks(b)
    ma, mb = statistics.mean(ra), statistics.mean(rb)
    cov = sum((x - ma) * (y - mb) for x, y in zip(ra, rb))
    var = (sum((x - ma) ** 2 for x in ra) * sum((y - mb) ** 2 for y in rb)) ** 0.5
    return cov / var if var else 0.0


def number(text):
    try:
        return float(text.split()[0].rstrip("%"))
    except (ValueError, IndexError, AttributeError):
        return None


def load_table():
    lines = [l for l in open(TABLE).read().splitlines() if l.strip()]
    head = lines[0].split()
    dead = next((c for c in head if c.startswith("dead")), None)
    rows = {}
    for l in lines[1:]:
        r = dict(zip(head, l.split()))
        rows[int(r["stage"])] = dict(solvable=r.get("solvable") == "yes", moves=number(r.get("moves", "-")),
                                     dead=number(r.get(dead, "-")) if dead else None,
                                     search=number(r.get("search", "-")), walking=number(r.get("walking", "-")),
                                     rewalk=number(r.get("rewalk", "-")), mechanics=r.get("mechanics", "-"))
    return rows


def notes_of(slot):
    """The comment lines of a stage file, without the leading ';'."""
    for name in os.listdir(os.path.join(HERE, "course")):
        if name.startswith("%02d-" % slot):
            return [l[1:].strip() for l in open(os.path.join(HERE, "course", name), encoding="utf-8").read().splitlines()
                    if l.startswith(";")]
    return []


def note(slot, key):
    return next((l[len(key) + 1:].strip() for l in notes_of(slot) if l.startswith(key + ":")), None)


STOP = set("a an the of to and or in on at by is it its as one two with for from up down into over that this".split())


def words(text):
    return {w for w in re.findall(r"[a-z0-9]+", text.lower()) if w not in STOP}


def tricks_alike(a, b):
    wa, wb = words(a), words(b)
    return len(wa & wb) / len(wa | wb) if wa | wb else 0.0


def cells_of(slot):
    """{'cells': set, 'trap cells': set, 'reach cells': set} from stages/solutions/NN.cells."""
    path = os.path.join(HERE, "solutions", "%02d.cells" % slot)
    out = {}
    if os.path.exists(path):
        for line in open(path).read().splitlines():
            key, _, rest = line.partition(":")
            out[key] = {tuple(int(v) for v in c.split(",")) for c in rest.split()}
    return out


def unused_rooms(slot, grid, cells):
    """Rooms of empty cells the player can reach that the solution and its traps leave unused, as
    (size, (x, y) of a cell), largest first. A cell counts as used when the player passes it or
    it lies up to two cells above one he passes (head room and the arc of a jump); a room is a
    set of unused empty cells joined side by side, reachable when he can rest in one of them."""
    used = set()
    for (x, y) in cells.get("cells", set()) | cells.get("trap cells", set()):
        used.update({(x, y), (x, y - 1), (x, y - 2)})
    reach = cells.get("reach cells", set())
    free = {(x, y) for y, row in enumerate(grid) for x, c in enumerate(row) if c in ".P" and (x, y) not in used}
    rooms = []
    while free:
        first = free.pop()
        room, todo = [first], [first]
        while todo:
            x, y = todo.pop()
            for n in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                if n in free:
                    free.remove(n)
                    room.append(n)
                    todo.append(n)
        if any(c in reach for c in room):
            rooms.append((len(room), min(room)))
    return sorted(rooms, reverse=True)


def grid_of(slot):
    for name in os.listdir(os.path.join(HERE, "course")):
        if name.startswith("%02d-" % slot):
            lines = open(os.path.join(HERE, "course", name), encoding="utf-8").read().splitlines()
            return [l for l in lines[lines.index("grid") + 1:] if l.strip()]
    return []


def first_mechanics(rows):
    """{slot: mechanics its solution uses that no earlier slot's solution does}."""
    seen, out = set(), {}
    for s in sorted(rows):
        used = [m for m in rows[s].get("mechanics", "-").split(",") if m not in ("", "-")]
        out[s] = [m for m in used if m not in seen]
        seen.update(used)
    return out


def new_targets(rows):
    """The new targets as (stage or "course", target, met, what), and the lines to print."""
    out, lines = [], []
    stars = {s: stars_of(s) for s in range(55)}
    have = [s for s in range(54) if s in rows and rows[s].get("search") is not None]
    rho = spearman([stars[s] for s in have], [rows[s]["search"] for s in have]) if have else 0.0
    out.append(("course", "search", rho >= MIN_SEARCH_CORRELATION and len(have) == 54,
                "stars and search have a rank correlation of %.2f over %d stages (at least %.1f)"
                % (rho, len(have), MIN_SEARCH_CORRELATION)))
    # The areas by the measure: each above the first, the final and bonus areas among the hardest.
    if len(have) == 54:
        medians = [statistics.median(rows[s]["search"] for s in area if s in rows) for area in AREAS]
        for i, m in enumerate(medians[1:], 1):
            out.append(("course", "areas", m > medians[0],
                        "area %d (from %02d) has a median search of %.0f, above the first area's %.0f"
                        % (i + 1, AREAS[i][0], m, medians[0])))
        hardest = sorted(medians, reverse=True)[:len(medians) // 3 + 1]
        for i, name in ((len(AREAS) - 2, "final-area"), (len(AREAS) - 1, "bonus-area")):
            out.append(("course", name, medians[i] >= hardest[-1],
                        "area %d (from %02d) has a median search of %.0f, among the hardest third (%.0f or more)"
                        % (i + 1, AREAS[i][0], medians[i], hardest[-1])))
    for s in range(54):
        if s not in rows:
            continue
        r = rows[s]
        if stars[s] >= 3 and r.get("walking") is not None:
            out.append((s, "walking", r["walking"] <= 100 * MAX_WALKING,
                        "%02d (%d stars) walks on in %.0f %% of its moves (at most %.0f %%)"
                        % (s, stars[s], r["walking"], 100 * MAX_WALKING)))
            if note(s, "re-walking") is None:
                out.append((s, "rewalk", r["rewalk"] <= 100 * MAX_REWALK,
                            "%02d (%d stars) re-walks in %.0f %% of its moves (at most %.0f %%)"
                            % (s, stars[s], r["rewalk"], 100 * MAX_REWALK)))
    tricks = {s: note(s, "trick") for s in range(55)}
    for s in range(55):
        if not tricks[s]:
            out.append((s, "trick", False, "%02d names no trick (a `; trick:` line)" % s))
    for s in range(55):
        for t in range(s + 1, 55):
            if tricks[s] and tricks[t] and (a := tricks_alike(tricks[s], tricks[t])) >= TRICKS_ALIKE:
                out.append((t, "trick", False, "%02d and %02d have alike tricks (%.0f %% of their words)" % (s, t, 100 * a)))
    for s, t in SAME_TRICK:
        out.append((t, "copy", False, "%02d and %02d turn on the same trick" % (s, t)))
    for s in range(55):
        cells = cells_of(s)
        if not cells:
            out.append((s, "room", False, "%02d has no cells file" % s))
            continue
        for size, (x, y) in unused_rooms(s, grid_of(s), cells):
            if size >= MIN_EMPTY_ROOM:
                out.append((s, "room", False, "%02d leaves a room of %d empty cells unused (at %d,%d)" % (s, size, x, y)))
    first = first_mechanics(rows)
    for s in range(55):
        lines.append("%02d %-40s %s" % (s, ",".join(first.get(s, [])) or "-", tricks[s] or "(no trick named)"))
    return out, lines


def difficulty_failures(rows):
    out = []
    for s in range(55):
        if s not in rows or not rows[s]["solvable"] or rows[s]["moves"] is None:
            out.append("%02d is not solved" % s)
    if out:
        return out
    stars = {s: stars_of(s) for s in range(55)}
    moves = {s: rows[s]["moves"] for s in range(55)}
    rho = spearman([stars[s] for s in range(54)], [moves[s] for s in range(54)])
    print("stars and moves: rank correlation %.2f" % rho)
    search_met = all(met for k, t, met, _ in new_targets(rows)[0] if t == "search")
    if rho < MIN_RANK_CORRELATION and not search_met:
        out.append("stars and moves have a rank correlation of %.2f (at least %.1f)" % (rho, MIN_RANK_CORRELATION))
    five = [s for s in range(54) if stars[s] == 5]
    if five and statistics.median(moves[s] for s in five) < MIN_FIVE_STAR_MEDIAN:
        out.append("the five-star stages have a median of %.0f moves (at least %d)"
                   % (statistics.median(moves[s] for s in five), MIN_FIVE_STAR_MEDIAN))
    for s in range(54):
        if stars[s] >= 3 and not rows[s]["dead"]:
            out.append("%02d (%d stars) has no dead end" % (s, stars[s]))
    return out


def main(argv):
    stages = course_shape.load()
    failures = course_shape.failures(stages, course_shape.measure(stages))
    rows = load_table() if os.path.exists(TABLE) else None
    failures += difficulty_failures(rows) if rows else ["no table " + TABLE]
    if rows:
        targets, lines = new_targets(rows)
        print("stage first needed                            trick")
        for l in lines:
            print(l)
        for stage, target, met, what in targets:
            pending = target in PENDING.get(stage, ())
            if met and pending:
                print("met (no longer pending): " + what)
            elif not met and pending:
                print("pending " + what)
            elif not met:
                failures.append(what)
    for f in failures:
        print("MISSED " + f)
    print("course targets: " + ("%d missed" % len(failures) if failures else "all met"))
    return 1 if failures and "--check" in argv else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
