#!/usr/bin/env python3
"""Fails when a folder includes one it may not.

The rules are the include table of ARCHITECTURE.md (the rows after the line
"<!-- include rules -->"), so the map a newcomer reads is the rule the build keeps. A row names
a folder and what it may include: folders (`base/`), single headers (`app/Config.h`), or `*`
for anything. A file belongs to the longest folder of the table that holds it, so
`platform/x11/` has rules of its own and does not inherit those of `platform/`. Every folder
may include its own headers; a sub-folder and its parent must be allowed explicitly.

Usage: check_includes.py [source root]   (default: the folder above this script)
"""

import os
import re
import sys

MARKER = "<!-- include rules -->"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
TICKED = re.compile(r"`([^`]+)`")
SOURCES = (".h", ".hpp", ".cpp", ".cc")


def read_rules(map_path):
    """{folder: set of allowed entries}, folders and entries without a trailing slash."""
    with open(map_path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    try:
        start = lines.index(MARKER) + 1
    except ValueError:
        sys.exit(f"{map_path}: no line '{MARKER}' before the include table")
    rules = {}
    for number, line in enumerate(lines[start:], start + 1):
        if not line.strip():
            if rules:
                break
            continue
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) < 2 or set(cells[0]) <= set("-: "):
            continue  # the header row and its underline
        folders = TICKED.findall(cells[0])
        if not folders:
            continue
        allowed = {a.rstrip("/") for a in TICKED.findall(cells[1])}
        for folder in folders:
            folder = folder.rstrip("/")
            if folder in rules:
                sys.exit(f"{map_path}:{number}: `{folder}/` has two rows")
            rules[folder] = allowed
    if not rules:
        sys.exit(f"{map_path}: the include table after '{MARKER}' is empty")
    return rules


def owner(path, folders):
    """The longest folder of the table that holds path, or None."""
    best = None
    for folder in folders:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def allowed(rules, source, included, target):
    entries = rules[source]
    return "*" in entries or target == source or target in entries or included in entries


def source_files(root):
    for top in sorted(os.listdir(root)):
        base = os.path.join(root, top)
        if top.startswith(".") or not os.path.isdir(base):
            continue
        for folder, dirs, files in os.walk(base):
            # Build trees (in-source build folders) are not ours to check.
            if "CMakeCache.txt" in files:
                dirs[:] = []
                continue
            dirs[:] = sorted(d for d in dirs if not d.startswith("."))
            for name in sorted(files):
                if name.endswith(SOURCES):
                    yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(__file__), ".."))
    map_path = os.path.join(root, "ARCHITECTURE.md")
    rules = read_rules(map_path)
    tops = {d for d in os.listdir(root) if os.path.isdir(os.path.join(root, d))}
    faults = []
    unlisted = set()
    checked = 0
    for path in source_files(root):
        source = owner(path, rules)
        if source is None:
            unlisted.add(path.split("/")[0] if "/" in path else path)
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                match = INCLUDE.match(line)
                if not match or "/" not in match.group(1):
                    continue
                included = match.group(1)
                checked += 1
                target = owner(included, rules)
                if target is None:
                    if included.split("/")[0] in tops:
                        faults.append(f"{path}:{number}: includes {included}, whose folder has"
                                      f" no row in the include table of ARCHITECTURE.md")
                    continue  # generated or third-party
                if not allowed(rules, source, included, target):
                    faults.append(f"{path}:{number}: {source}/ may not include {included}"
                                  f" ({target}/)")
    for folder, entries in sorted(rules.items()):
        for entry in sorted(entries):
            # A single header that moved away leaves a stale exception behind.
            if entry.endswith(".h") and not os.path.isfile(os.path.join(root, entry)):
                faults.append(f"ARCHITECTURE.md: the row of {folder}/ names {entry},"
                              f" which does not exist")
    for top in sorted(unlisted):
        # Folders without C++ sources of ours (data/, tools with scripts only) need no row.
        faults.append(f"{top}/: holds sources but has no row in the include table of"
                      f" ARCHITECTURE.md")
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} fault(s) against the include rules of ARCHITECTURE.md")
        return 1
    print(f"{checked} includes across {len(rules)} folders keep the rules of ARCHITECTURE.md")
    return 0


if __name__ == "__main__":
    sys.exit(main())
