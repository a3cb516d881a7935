#!/usr/bin/python3
"""Measures the tick period a live page sees while N WebSocket clients follow
the station: usage web-clients.py URL [N] [SECONDS] (URL such as
http://127.0.0.1:8080/). Prints the mean and spread of the intervals between
"state" messages of the first client."""
import base64
import os
import socket
import statistics
import sys
import time
from urllib.parse import urlparse


def connect(host, port):
    s = socket.create_connection((host, port))
    key = base64.b64encode(os.urandom(16)).decode()
    s.sendall(("GET /ws HTTP/1.1\r\nHost: %s:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
               "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n" % (host, port, key)).encode())
    head = b""
    while b"\r\n\r\n" not in head:
        byte = s.recv(1)
        if not byte:
            raise SystemExit("refused: %r" % head[:80])
        head += byte
    if b" 101 " not in head.split(b"\r\n")[0]:
        raise SystemExit("no upgrade: %r" % head[:80])
    return s


def frames(s):
    buf = b""
    while True:
        while len(buf) < 2:
            more = s.recv(65536)
            if not more:
                return
            buf += more
        length, at = buf[1] & 0x7F, 2
        if length == 126:
            while len(buf) < 4:
                buf += s.recv(65536)
            length, at = int.from_bytes(buf[2:4], "big"), 4
        elif length == 127:
            while len(buf) < 10:
                buf += s.recv(65536)
            length, at = int.from_bytes(buf[2:10], "big"), 10
        while len(buf) < at + length:
            buf += s.recv(65536)
        yield buf[0] & 0x0F, buf[at:at + length]
        buf = buf[at + length:]


def main():
    url = urlparse(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 32
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 20
    clients = [connect(url.hostname, url.port) for _ in range(count)]
    for other in clients[1:]:
        other.setblocking(False)
    stamps = []
    end = time.monotonic() + seconds
    for opcode, payload in frames(clients[0]):
        if opcode == 1 and b'"Type":"state"' in payload:
            stamps.append(time.monotonic())
        for other in clients[1:]:  # the others read too, as pages do
            try:
                other.recv(1 << 20)
            except BlockingIOError:
                pass
        if time.monotonic() > end:
            break
    gaps = [1000 * (b - a) for a, b in zip(stamps, stamps[1:])][4:]
    print("%d clients, %d ticks: period %.1f ms mean, %.1f ms median, sd %.1f ms, min %.1f, max %.1f"
          % (count, len(gaps), statistics.mean(gaps), statistics.median(gaps),
             statistics.pstdev(gaps), min(gaps), max(gaps)))


if __name__ == "__main__":
    main()
