#!/usr/bin/env python3
"""Checks that every C++ source of the tree is formatted as .clang-format says.

Usage: check_format.py SOURCE_DIR [CLANG_FORMAT]. Build folders (any folder holding a
CMakeCache.txt) and dot folders are left out. Exits 1 naming the files that are off.
"""
import os
import subprocess
import sys


def sources(root):
    for folder, dirs, files in os.walk(root):
        dirs[:] = sorted(d for d in dirs if not d.startswith('.') and
                         not os.path.exists(os.path.join(folder, d, 'CMakeCache.txt')))
        for name in sorted(files):
            if name.endswith(('.cpp', '.h')):
                yield os.path.join(folder, name)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else '.'
    tool = sys.argv[2] if len(sys.argv) > 2 else 'clang-format'
    files = list(sources(root))
    off = []
    for i in range(0, len(files), 100):
        batch = files[i:i + 100]
        run = subprocess.run([tool, '--dry-run', '-Werror', *batch], capture_output=True, text=True)
        if run.returncode != 0:
            for line in run.stderr.splitlines():
                if ': error: ' in line:
                    name = os.path.relpath(line.split(':', 1)[0], root)
                    if name not in off:
                        off.append(name)
            if not off:
                sys.exit(f'{tool} failed: {run.stderr.strip()}')
    for name in off:
        print(f'{name}: not formatted (make format fixes it)')
    print(f'{len(off)} of {len(files)} files off')
    sys.exit(1 if off else 0)


if __name__ == '__main__':
    main()
