#!/usr/bin/env python3
"""Asks the app's automation socket for its state again and again until STOP_FILE appears,
then for SETTLE more seconds; prints the slowest answer in seconds and how many were asked."""
import socket
import sys
import time
import os

path, stop_file, settle = sys.argv[1], sys.argv[2], float(sys.argv[3])
slowest, asked, stop_at = 0.0, 0, None
while stop_at is None or time.monotonic() < stop_at:
    if stop_at is None and os.path.exists(stop_file):
        stop_at = time.monotonic() + settle
    began = time.monotonic()
    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
        s.settimeout(30)
        s.connect(path)
        s.sendall(b'{"cmd":"state"}\n')
        reply = b""
        while not reply.endswith(b"\n"):
            chunk = s.recv(65536)
            if not chunk:
                break
            reply += chunk
    slowest = max(slowest, time.monotonic() - began)
    asked += 1
    time.sleep(0.02)
print("%.3f %d" % (slowest, asked))
