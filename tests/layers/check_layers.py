#!/usr/bin/env python3
"""Holds every include of the program's folders to their one-way order.

Each folder may include its own headers and those of the folders listed for
it below: the engine stands alone, and the headers of resources/ (ids and
version) are open to every folder above it. Inside the engine every file lies
in a room by stage, and each room may include its own headers and those of the
rooms listed for it. No two files may reach each other through includes (an
include circle), where a file and its header count as one.

Usage: check_layers.py [--graph] [ROOT]
  ROOT     the source tree (default: the one this script lives in)
  --graph  print the includes between folders and between the engine's
           rooms, one line per pair with its count, marking each pair the
           order forbids; exits 0
"""
import os
import re
import sys

# Lowest first. The engine stands alone; the command line uses only it.
ALLOWED = {
    "resources": [],
    "engine": [],
    "cli": ["engine", "resources"],
    "shell": ["engine", "resources"],
    "window": ["shell", "engine", "resources"],
    "actions": ["window", "shell", "engine", "resources"],
    "startup": ["actions", "window", "shell", "engine", "resources"],
}
# The engine's rooms, lowest first: the shared primitives, the rows, the job's
# record, the comparison, the folder index, then the search: the stages every
# route shares, the two routes of "Quick Dir" and "Directory" side by side, and
# the search itself on top.
ENGINE_ROOMS = {}
for room, above in [("base", []), ("rows", ["base"]), ("job", ["rows"]), ("compare", ["job"]),
                    ("index", ["compare"]), ("search/pairs", ["index"]), ("search/quick", ["search/pairs"]),
                    ("search/directory", ["search/pairs"]), ("search", ["search/quick", "search/directory"])]:
    below = []
    for lower in above:
        for name in [lower] + ENGINE_ROOMS["engine/" + lower]:
            name = name if name.startswith("engine/") else "engine/" + name
            if name not in below:
                below.append(name)
    ENGINE_ROOMS["engine/" + room] = below
SOURCE_SUFFIXES = (".h", ".cpp", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def read_includes(root):
    """(including file, included file) for every quoted include, both relative to root."""
    pairs = []
    for folder in ALLOWED:
        top = os.path.join(root, folder)
        for here, _, names in os.walk(top):
            for name in sorted(names):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(here, name)
                source = os.path.relpath(path, root).replace(os.sep, "/")
                with open(path, encoding="utf-8", errors="replace") as text:
                    for line in text:
                        found = INCLUDE.match(line)
                        if not found:
                            continue
                        target = found.group(1)
                        if "/" not in target:  # a header beside the file
                            target = os.path.dirname(source) + "/" + target
                        pairs.append((source, os.path.normpath(target).replace(os.sep, "/")))
    return pairs


def folder_of(path):
    return path.split("/", 1)[0]


def room_of(path):
    """The engine room of an engine file ("engine" for one outside every room), else its folder."""
    return os.path.dirname(path) if folder_of(path) == "engine" else folder_of(path)


def loose_engine_files(root):
    faults = []
    for here, _, names in os.walk(os.path.join(root, "engine")):
        for name in sorted(names):
            if name.endswith(SOURCE_SUFFIXES):
                path = os.path.relpath(os.path.join(here, name), root).replace(os.sep, "/")
                if room_of(path) not in ENGINE_ROOMS:
                    faults.append(f"{path}: lies in no room of the engine ({', '.join(ENGINE_ROOMS)})")
    return faults


def module_of(path):
    return os.path.splitext(path)[0]


def layer_faults(pairs):
    faults = []
    for source, target in pairs:
        mine, theirs = folder_of(source), folder_of(target)
        if theirs != mine and theirs not in ALLOWED[mine]:
            allowed = ", ".join([mine] + ALLOWED[mine])
            faults.append(f'{source}: #include "{target}" goes against the layer order '
                          f"({mine} may include {allowed})")
            continue
        room, their_room = room_of(source), room_of(target)
        if mine == theirs == "engine" and room != their_room and room in ENGINE_ROOMS:
            if their_room not in ENGINE_ROOMS[room]:
                allowed = ", ".join([room] + ENGINE_ROOMS[room])
                faults.append(f'{source}: #include "{target}" goes against the room order '
                              f"({room} may include {allowed})")
    return faults


def include_circles(pairs):
    """Groups of two or more modules that reach each other (Tarjan's strongly connected components)."""
    edges = {}
    for source, target in pairs:
        a, b = module_of(source), module_of(target)
        if a != b:
            edges.setdefault(a, set()).add(b)
            edges.setdefault(b, set())
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(edges[node]):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return [f"include circle among {', '.join(group)}" for group in sorted(groups)]


def print_graph(pairs):
    counts = {}
    for source, target in pairs:
        mine, theirs = folder_of(source), folder_of(target)
        if mine != theirs:
            counts[(mine, theirs)] = counts.get((mine, theirs), 0) + 1
    for (mine, theirs), count in sorted(counts.items()):
        against = theirs not in ALLOWED[mine]
        print(f"{mine:>9} -> {theirs:<9} {count:3}{'  against the order' if against else ''}")
    rooms = {}
    for source, target in pairs:
        mine, theirs = room_of(source), room_of(target)
        if folder_of(source) == folder_of(target) == "engine" and mine != theirs:
            rooms[(mine, theirs)] = rooms.get((mine, theirs), 0) + 1
    for (mine, theirs), count in sorted(rooms.items()):
        against = theirs not in ENGINE_ROOMS.get(mine, [])
        print(f"{mine:>23} -> {theirs:<23} {count:3}{'  against the order' if against else ''}")


def main(arguments):
    graph = "--graph" in arguments
    rest = [argument for argument in arguments if argument != "--graph"]
    root = rest[0] if rest else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    pairs = read_includes(root)
    if not pairs:
        print(f"no includes found under {root}")
        return 2
    if graph:
        print_graph(pairs)
        return 0
    faults = loose_engine_files(root) + layer_faults(pairs) + include_circles(pairs)
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print(f"ok: {len(pairs)} includes follow the layer and room order")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
