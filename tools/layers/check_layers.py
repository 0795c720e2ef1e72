#!/usr/bin/env python3
"""Fails when the top-level folders of the source tree include each other.

A folder depends on another when one of its sources includes a header of the
other ("other/...h"). The program's folders build on each other in one
direction only; any cycle among them (direct or through others) is reported
with the includes that close it, and the exit code is 1.
"""
import os
import re
import sys

SOURCE_SUFFIXES = (".c", ".cc", ".cpp", ".h", ".hpp", ".rc", ".idl")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"')
SKIPPED = {"build", "tests", "bench", ".git", ".ci"}


def folder_edges(root):
    folders = sorted(
        d for d in os.listdir(root)
        if os.path.isdir(os.path.join(root, d)) and d not in SKIPPED and not d.startswith(".")
    )
    edges = {folder: {} for folder in folders}
    for folder in folders:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for name in files:
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(directory, name)
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if match and match.group(1) in edges and match.group(1) != folder:
                            where = f"{os.path.relpath(path, root)}:{number}"
                            edges[folder].setdefault(match.group(1), where)
    return edges


def find_cycle(edges):
    state = {}
    stack = []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for target in sorted(edges[node]):
            if state.get(target) == "open":
                return stack[stack.index(target):] + [target]
            if target not in state:
                cycle = visit(target)
                if cycle:
                    return cycle
        stack.pop()
        state[node] = "done"
        return None

    for node in sorted(edges):
        if node not in state:
            cycle = visit(node)
            if cycle:
                return cycle
    return None


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(
        os.path.dirname(os.path.abspath(__file__))))
    edges = folder_edges(root)
    cycle = find_cycle(edges)
    if cycle is None:
        print(f"{len(edges)} folders, no folder includes one that includes it back")
        return 0
    print("These folders include each other:")
    for source, target in zip(cycle, cycle[1:]):
        print(f"  {source} -> {target}  ({edges[source][target]})")
    return 1


if __name__ == "__main__":
    sys.exit(main())
