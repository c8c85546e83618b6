#!/usr/bin/env python3
"""Fails when the logic reaches past the platform interface.

The logic is game/, sound/ and the editor outside editor/ui/. It sees the platform only
through platform/api/: no window system, sound system or decoder headers, no threads, no
clocks, no random numbers but the game's own stream, no console or file I/O but through the
platform (string formatting with snprintf is fine), and no other platform/ header.

  tools/guard.py [--root DIR]

Prints one line per violation (file:line: what) and exits 1 when there is any.
"""
import argparse
import os
import re
import sys

LOGIC = ["game", "sound", "editor"]
NOT_LOGIC = ["editor/ui"]

RULES = [
    (r'#\s*include\s*<Q', "a Qt header"),
    (r'#\s*include\s*<SDL', "an SDL header"),
    (r'#\s*include\s*<(vorbis|ogg)/', "a decoder header (the decoder library is bound at run time)"),
    (r'#\s*include\s*<(thread|chrono|future|ctime|time\.h|sys/time\.h|random|iostream|fstream|stdio\.h)>',
     "a thread, clock, random, console or file stream header"),
    (r'\bstd::(thread|jthread|this_thread|chrono|async)\b', "a thread or the wall clock"),
    (r'(?<![\w.>:])(s?rand|time|clock|clock_gettime|gettimeofday|sleep|usleep|nanosleep)\s*\(',
     "the C library's random numbers, clock or sleep"),
    (r'\b(std::)?(fopen|fread|fwrite|fclose|fprintf|printf|puts|fputs|fgets|getchar|perror)\s*\(',
     "stdio (files and messages go through the platform)"),
    (r'\bstd::(cout|cerr|clog|cin|ifstream|ofstream|fstream)\b', "console or file streams"),
    (r'#\s*include\s*"platform/(?!api/)', "a platform header other than platform/api/"),
    (r'\bplat::(MonotonicTickMs|SleepToNextTick|ExecutablePath)\b', "a host-only call"),
]
COMPILED = [(re.compile(p), why) for p, why in RULES]


def strip_comments_and_strings(line, in_block):
    """The code of one line, with comments and string literals blanked."""
    out, i = [], 0
    while i < len(line):
        if in_block:
            end = line.find("*/", i)
            if end < 0:
                return "".join(out), True
            i, in_block = end + 2, False
        elif line.startswith("//", i):
            break
        elif line.startswith("/*", i):
            in_block, i = True, i + 2
        elif line[i] == '"' and not line.lstrip().startswith("#"):
            j = i + 1
            while j < len(line) and line[j] != '"':
                j += 2 if line[j] == "\\" else 1
            out.append('""')
            i = j + 1
        else:
            out.append(line[i])
            i += 1
    return "".join(out), in_block


def logic_files(root):
    for top in LOGIC:
        for dirpath, dirs, names in os.walk(os.path.join(root, top)):
            rel = os.path.relpath(dirpath, root)
            if any(rel == n or rel.startswith(n + os.sep) for n in NOT_LOGIC):
                dirs[:] = []
                continue
            for n in sorted(names):
                if n.endswith((".cpp", ".h", ".cc", ".hpp")):
                    yield os.path.relpath(os.path.join(dirpath, n), root)


def check(root):
    found = []
    for path in logic_files(root):
        in_block = False
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                code, in_block = strip_comments_and_strings(line.rstrip("\n"), in_block)
                for rule, why in COMPILED:
                    if rule.search(code):
                        found.append(f"{path}:{number}: {why}: {line.strip()}")
    return found


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    root = os.path.abspath(ap.parse_args().root)
    found = check(root)
    for line in found:
        print(line)
    if found:
        print(f"guard: {len(found)} forbidden use(s) in the logic")
        return 1
    print("guard: the logic sees only platform/api")
    return 0


if __name__ == "__main__":
    sys.exit(main())
