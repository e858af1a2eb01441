#!/usr/bin/env python3
"""Checks that the source libraries depend one way.

Every folder under src/ with a corvane_library() is one library. A library may include headers of
its own folder and of the libraries ALLOWED names for it (the layering of the program), nothing
above it and no sibling it does not stand on. Its CMake DEPS must stay inside the same table and
must cover every library it includes (so that it links on its own). The include graph must have
no cycle.

usage: check_deps.py [SOURCE_ROOT]     exit status 1 and one line per fault when it fails
"""
import os
import re
import sys

# library folder -> library folders it may use directly (the layering, bottom to top).
ALLOWED = {
    "base": [],
    "storage": ["base"],
    "messages": ["base"],
    "link": ["base"],
    "network": ["link", "storage", "messages", "base"],
    "messages/ui": ["messages", "base"],
    "views/core": ["network", "link", "storage", "messages", "base"],
    "views": ["views/core", "messages/ui", "network", "link", "storage", "messages", "base"],
    "history/core": ["views/core", "network", "storage", "messages", "base"],
    "history": ["history/core", "views", "views/core", "messages/ui", "network", "storage", "messages", "base"],
    "shell": ["views", "views/core", "history", "history/core", "messages/ui", "network", "link", "storage",
              "messages", "base"],
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
LIBRARY = re.compile(r"corvane_library\(\s*(\w+)(.*?)\)", re.S)


def find_libraries(src):
    """folder -> (target, declared DEPS targets) for every folder with a corvane_library()."""
    libs = {}
    for dirpath, _, files in os.walk(src):
        if "CMakeLists.txt" not in files:
            continue
        with open(os.path.join(dirpath, "CMakeLists.txt"), encoding="utf-8") as f:
            text = re.sub(r"#.*", "", f.read())
        match = LIBRARY.search(text)
        if not match:
            continue
        args = match.group(2).split()
        deps, taking = [], False
        for word in args:
            if word in ("QT", "EXCLUDE"):
                taking = False
            elif word == "DEPS":
                taking = True
            elif taking:
                deps.append(word)
        folder = os.path.relpath(dirpath, src).replace(os.sep, "/")
        libs[folder] = (match.group(1), deps)
    return libs


def library_of(path, folders):
    """The library folder an include path names (longest matching folder), or None."""
    best = None
    for folder in folders:
        if path.startswith(folder + "/") and "/" not in path[len(folder) + 1:]:
            if best is None or len(folder) > len(best):
                best = folder
    return best


def included_libraries(src, folder, folders):
    """library folder -> [(file, include)] for the includes of the library's own files."""
    found = {}
    directory = os.path.join(src, folder)
    for name in sorted(os.listdir(directory)):
        if not name.endswith((".h", ".cpp")):
            continue
        with open(os.path.join(directory, name), encoding="utf-8") as f:
            for include in INCLUDE.findall(f.read()):
                lib = library_of(include, folders)
                if lib and lib != folder:
                    found.setdefault(lib, []).append((folder + "/" + name, include))
    return found


def closure(start, edges):
    seen, todo = set(), list(start)
    while todo:
        node = todo.pop()
        if node not in seen:
            seen.add(node)
            todo.extend(edges.get(node, []))
    return seen


def find_cycle(edges):
    state, stack = {}, []

    def visit(node):
        state[node] = 1
        stack.append(node)
        for nxt in edges.get(node, []):
            if state.get(nxt) == 1:
                return stack[stack.index(nxt):] + [nxt]
            if state.get(nxt) is None:
                cycle = visit(nxt)
                if cycle:
                    return cycle
        stack.pop()
        state[node] = 2
        return None

    for node in sorted(edges):
        if state.get(node) is None:
            cycle = visit(node)
            if cycle:
                return cycle
    return None


def check(root):
    src = os.path.join(root, "src")
    libs = find_libraries(src)
    folders = list(libs)
    target_folder = {target: folder for folder, (target, _) in libs.items()}
    faults = []
    include_edges = {}
    for folder in sorted(folders):
        if folder not in ALLOWED:
            faults.append(f"{folder}: library missing from the allowed-dependency table")
            continue
        allowed = set(ALLOWED[folder])
        uses = included_libraries(src, folder, folders)
        include_edges[folder] = sorted(uses)
        for lib, where in sorted(uses.items()):
            if lib not in allowed:
                for file, include in where:
                    faults.append(f'{file}: includes "{include}" of {lib}, which {folder} may not use')
        declared = [target_folder.get(t) for t in libs[folder][1] if t in target_folder]
        for dep in declared:
            if dep not in allowed:
                faults.append(f"{folder}: CMake DEPS name {libs[dep][0]}, which {folder} may not use")
        cmake_edges = {f: [target_folder[t] for t in d if t in target_folder] for f, (_, d) in libs.items()}
        reachable = closure(declared, cmake_edges)
        for lib in sorted(uses):
            if lib not in reachable:
                faults.append(f"{folder}: includes {lib} but its CMake DEPS do not reach {libs[lib][0]}")
    cycle = find_cycle(include_edges)
    if cycle:
        faults.append("include cycle: " + " -> ".join(cycle))
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    faults = check(root)
    for fault in faults:
        print(fault)
    if not faults:
        print("library dependencies are one-way")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
