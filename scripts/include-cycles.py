#!/usr/bin/env python3
"""Lists the units of the program that include each other, directly or round a
longer loop; prints nothing and exits 0 when there are none.

A unit is a header with its source file of the same name (Data/Model.h and
Data/Model.cpp); a source file without a header is a unit of its own. Unit A
depends on unit B when a file of A includes B's header. Every loop of that
graph is printed as "A -> B -> ... -> A" and makes the exit status 1.

    python3 scripts/include-cycles.py [FOLDER ...]   # default: the program's folders
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_FOLDERS = ["app", "Data", "Main", "dialogs", "tools", "tests", "bench"]
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def source_files(folders):
    for folder in folders:
        for dirpath, _, names in os.walk(os.path.join(ROOT, folder)):
            for name in sorted(names):
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(dirpath, name), ROOT)


def unit_of(path):
    return os.path.splitext(path)[0]


def resolve(including, target):
    # Beside the including file first (the model's bare names), then from the root.
    for base in (os.path.dirname(including), ""):
        candidate = os.path.normpath(os.path.join(base, target))
        if os.path.isfile(os.path.join(ROOT, candidate)):
            return candidate
    return None   # a library's header


def dependencies(files):
    graph = {}
    for path in files:
        unit = unit_of(path)
        graph.setdefault(unit, set())
        with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for target in INCLUDE.findall(text):
            header = resolve(path, target)
            if header and unit_of(header) != unit:
                graph[unit].add(unit_of(header))
    return graph


def strongly_connected(graph):
    """Tarjan's algorithm, iterative; the components of more than one unit."""
    index, low, stack, on_stack, result = {}, {}, [], set(), []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph.get(start, ()))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is not None:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(graph.get(child, ())))))
                elif child in on_stack:
                    low[node] = min(low[node], index[child])
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    result.append(sorted(component))
    return result


def loop_through(graph, component):
    """One loop that starts and ends at the component's first unit."""
    members = set(component)
    start = component[0]
    previous = {start: None}
    queue = [start]
    while queue:
        node = queue.pop(0)
        for child in sorted(graph[node] & members):
            if child == start:
                path = [node]
                while previous[path[-1]] is not None:
                    path.append(previous[path[-1]])
                return list(reversed(path)) + [start]
            if child not in previous:
                previous[child] = node
                queue.append(child)
    return component


def main():
    folders = sys.argv[1:] or DEFAULT_FOLDERS
    graph = dependencies(source_files(folders))
    components = strongly_connected(graph)
    for component in components:
        print(" -> ".join(loop_through(graph, component)))
        if len(component) > 2:
            print("   (units in this loop: " + ", ".join(component) + ")")
    return 1 if components else 0


if __name__ == "__main__":
    sys.exit(main())
