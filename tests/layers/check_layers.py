#!/usr/bin/env python3
"""The path says the layer: checks every #include under src/.

- A file under src/core includes only files under src/core and headers of
  QtCore (found in the QtCore include folder given) or of the C and C++
  libraries: never a widget or GUI header, never a file under src/ui.
- The libraries beyond Qt stay in the folder that uses them: libgit2 and
  toml++ only under src/core/project.
- No folder includes, directly or through other folders, a folder that
  includes it back.
- Only the one reader (core/text/BoundedFile) opens a file to read it:
  nowhere else a read-only open, fopen, a stream on a file or QSettings,
  so that every file is opened without blocking and checked to be a
  regular file. The one writer (core/text/AtomicFile) reads back only the
  bytes it writes over.

Usage: check_layers.py SRC_DIR QTCORE_INCLUDE_DIR
Prints each breach as FILE:LINE: reason and exits 1; exits 0 when there is
none."""

import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
READS = re.compile(r'\bO_RDONLY\b|\bfopen\s*\(|\bifstream\b|QIODevice::Read|\bQSettings\b|\bQTextStream\b'
                   r'|\bQFile::open\b|\.readAll\s*\(')
# Headers of a library beyond Qt, and the one folder that may include them.
LIBRARIES = {"git2": os.path.join("core", "project"), "toml++": os.path.join("core", "project")}
READERS = {os.path.join("core", "text", "BoundedFile.cpp"), os.path.join("core", "text", "AtomicFile.cpp")}


def main():
    src, qtcore = sys.argv[1], sys.argv[2]
    if not os.path.isfile(os.path.join(qtcore, "QString")):
        sys.exit(f"{qtcore}: not QtCore's include folder")
    qt_modules = os.path.dirname(qtcore)
    breaches = []
    graph = {}  # folder -> {folder it includes: first FILE:LINE that does}
    for folder, _, names in os.walk(src):
        for name in sorted(names):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, src)
            here = os.path.dirname(rel)
            in_core = rel.startswith("core" + os.sep)
            with open(path, encoding="utf-8") as f:
                for number, line in enumerate(f, 1):
                    code = line.split("//")[0]
                    if rel not in READERS and READS.search(code):
                        breaches.append(f"src/{rel}:{number}: a file read other than by readBoundedFile")
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    quote, header = m.groups()
                    where = f"src/{rel}:{number}"
                    if quote == '"':
                        if not os.path.isfile(os.path.join(src, header)):
                            breaches.append(f"{where}: \"{header}\" is not a path under src/")
                            continue
                        there = os.path.dirname(header)
                        if in_core and not header.startswith("core/"):
                            breaches.append(f"{where}: a core file includes \"{header}\"")
                        if there != here:
                            graph.setdefault(here, {}).setdefault(there, where)
                    elif LIBRARIES.get(re.split(r"[/.]", header)[0], here) != here:
                        home = LIBRARIES[re.split(r"[/.]", header)[0]]
                        breaches.append(f"{where}: <{header}> outside src/{home}")
                    elif in_core:
                        module = header.split("/")[0] if "/" in header else None
                        if module and module.startswith("Qt") and module != "QtCore":
                            breaches.append(f"{where}: a core file includes <{header}> of {module}")
                        elif header.startswith("Q") and "/" not in header:
                            if not os.path.isfile(os.path.join(qtcore, header)):
                                owner = [d for d in sorted(os.listdir(qt_modules))
                                         if os.path.isfile(os.path.join(qt_modules, d, header))]
                                breaches.append(f"{where}: a core file includes <{header}>"
                                                + (f" of {owner[0]}" if owner else ", not a QtCore header"))

    # Folders that reach each other: a cycle through the include graph.
    def reach(start):
        seen, todo = set(), [start]
        while todo:
            for nxt in graph.get(todo.pop(), {}):
                if nxt not in seen:
                    seen.add(nxt)
                    todo.append(nxt)
        return seen

    for a in sorted(graph):
        for b, where in sorted(graph[a].items()):
            if a in reach(b):
                breaches.append(f"{where}: {a}/ includes {b}/, which includes {a}/ back")

    for b in breaches:
        print(b)
    print(f"{len(breaches)} breaches of the layers")
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main())
