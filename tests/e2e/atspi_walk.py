#!/usr/bin/python3
"""Walks the accessible tree of one application over AT-SPI and prints it as JSON lines:
the application first, then every node below it, each with its depth-first path, role, name
and states. Usage: atspi_walk.py PID"""
import json
import sys

import pyatspi


def walk(node, path, out, depth=0):
    if node is None or depth > 40:
        return
    try:
        states = [pyatspi.stateToString(s) for s in node.getState().getStates()]
        out.append({"path": path, "role": node.getRoleName(), "name": node.name,
                    "states": states, "children": node.childCount})
        for i in range(node.childCount):
            walk(node.getChildAtIndex(i), f"{path}/{i}", out, depth + 1)
    except Exception as error:  # a node that went away while we walked
        out.append({"path": path, "error": str(error)})


def main():
    pid = int(sys.argv[1])
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        try:
            if app.get_process_id() != pid:
                continue
        except Exception:
            continue
        out = []
        walk(app, "", out)
        for node in out:
            print(json.dumps(node, ensure_ascii=False))
        return 0
    print(f"no application with pid {pid} on the accessibility bus", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
