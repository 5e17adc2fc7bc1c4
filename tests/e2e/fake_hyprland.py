#!/usr/bin/env python3
"""A small stand-in for Hyprland's two sockets (Hyprland is not packaged in Debian 12).

fake_hyprland.py DIR STATE: serves DIR/.socket.sock (one request per connection: "j/clients",
"j/monitors", "j/cursorpos", "j/getoption general:border_size"; answered, then closed) and
DIR/.socket2.sock (event lines "name>>data"). STATE is a JSON file re-read on each request:
{"clients": [...], "monitors": [...], "cursor": {"x":..,"y":..}, "stall": false,
 "events": ["openwindow>>..."]} — events are sent once each, in order, as they appear.
With "stall": true the request socket accepts connections but never reads or answers.
Each request is logged to DIR/requests.log.
"""
import json, os, socket, sys, threading, time

folder, state_path = sys.argv[1], sys.argv[2]


def state():
    with open(state_path) as f:
        return json.load(f)


def serve_requests():
    server = socket.socket(socket.AF_UNIX)
    server.bind(os.path.join(folder, ".socket.sock"))
    server.listen(16)
    stalled = []
    while True:
        conn, _ = server.accept()
        s = state()
        if s.get("stall"):
            stalled.append(conn)  # never read, never answered
            continue
        command = conn.recv(4096).decode()
        with open(os.path.join(folder, "requests.log"), "a") as log:
            log.write("%.6f %s\n" % (time.time(), command))
        if command == "j/clients":
            reply = json.dumps(s.get("clients", []))
        elif command == "j/monitors":
            reply = json.dumps(s.get("monitors", []))
        elif command == "j/cursorpos":
            reply = json.dumps(s.get("cursor", {"x": 0, "y": 0}))
        elif command == "j/getoption general:border_size":
            reply = json.dumps({"option": "general:border_size", "int": s.get("border", 0)})
        else:
            reply = "unknown request"
        conn.sendall(reply.encode())
        conn.close()


def serve_events():
    server = socket.socket(socket.AF_UNIX)
    server.bind(os.path.join(folder, ".socket2.sock"))
    server.listen(4)
    while True:
        conn, _ = server.accept()
        sent = 0
        try:
            while True:
                events = state().get("events", [])
                for line in events[sent:]:
                    conn.sendall((line + "\n").encode())
                sent = len(events)
                time.sleep(0.02)
        except OSError:
            pass


threading.Thread(target=serve_requests, daemon=True).start()
serve_events()
