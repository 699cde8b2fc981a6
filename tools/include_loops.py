#!/usr/bin/env python3
"""Lists include loops between the project's units (a header and its source count as one unit).

A loop means neither unit can be understood, tested or moved without the other; the layers are
meant to point one way only. Exits 1 when there is a loop, printing each one.
"""
import pathlib
import re
import sys

FOLDERS = ["core", "link", "storage", "procedures", "ui", "cli", "app", "sim"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)\.h"', re.MULTILINE)


def unit_of(path: pathlib.Path, root: pathlib.Path) -> str:
    relative = path.relative_to(root).with_suffix("")
    # Private headers are included as "storage/<name>.h" from storage/private/storage/.
    parts = [p for p in relative.parts if p != "private"]
    if len(parts) > 2 and parts[0] == parts[1]:
        parts = parts[1:]
    return "/".join(parts)


def graph(root: pathlib.Path) -> dict:
    edges = {}
    for folder in FOLDERS:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            unit = unit_of(path, root)
            targets = edges.setdefault(unit, set())
            for included in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
                if included != unit:
                    targets.add(included)
    return edges


def loops(edges: dict) -> list:
    """Strongly connected components of more than one unit (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(unit):
        index[unit] = low[unit] = len(index)
        stack.append(unit)
        on_stack.add(unit)
        for target in edges.get(unit, ()):
            if target not in edges:
                continue
            if target not in index:
                visit(target)
                low[unit] = min(low[unit], low[target])
            elif target in on_stack:
                low[unit] = min(low[unit], index[target])
        if low[unit] == index[unit]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == unit:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for unit in sorted(edges):
        if unit not in index:
            visit(unit)
    return found


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    found = loops(graph(root.resolve()))
    for component in found:
        print("include loop: " + " <-> ".join(component))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
