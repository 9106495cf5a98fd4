#!/usr/bin/env python3
"""A scripted HTTP/1.1 server for the client's tests, on 127.0.0.1 only.

It serves responses written in a script, keeps connections alive (WinINet reuses them), records
every request byte for byte, and ends by itself after --lifetime seconds.

The script is a JSON object mapping a path to one response or to a list of responses served in
turn, the last one repeating. A request is matched on its target as sent (an absolute URI, as sent
to a proxy, counts from its path), first with its query and then without. Unscripted paths get a
404. A response is an object with any of:

    "status":   the status line, default "HTTP/1.1 200 OK"; any reason phrase, or none
    "headers":  header lines, in order, sent as written (Content-Length is added unless asked not to)
    "body":     a string (sent as UTF-8) or a list of parts: strings, {"hex": "e4b8ad"},
                {"gbk": "版本号"}, {"repeat": "a", "count": 498}
    "pad_headers_to": pads with X-Pad-N lines so that the header block, status line to the empty
                line, is exactly this many bytes
    "content_length": false sends no Content-Length and closes the connection after the body
    "close":    true closes the connection after the response
    "stall":    true reads the request and never answers; the connection stays open until the
                client gives up

"{port}" in the status, the headers and string body parts stands for this server's port.

Control requests, under /__control/, are not recorded:

    POST /__control/script            the body, a script object, replaces those paths' responses
                                      and restarts their turns
    GET  /__control/count?path=P      how many requests for P were recorded, in decimal
    GET  /__control/request?path=P&index=I
                                      the raw bytes of the I-th recorded request for P (0 first,
                                      -1 the last)
    GET  /__control/closed-port       a port on 127.0.0.1 that nothing listens on
    POST /__control/reset             forgets the recorded requests

--log appends every recorded request as a JSON line {"target", "path", "raw"} (raw as Latin-1, so
each character is one byte).
"""

import argparse
import json
import os
import select
import socket
import socketserver
import sys
import threading
import urllib.parse

HOST = "127.0.0.1"
MAX_HEADER_BYTES = 1 << 20


class Script:
    def __init__(self, port, log_path):
        self.port = port
        self.log_path = log_path
        self.lock = threading.Lock()
        self.responses = {}
        self.turns = {}
        self.requests = {}

    def load(self, script):
        with self.lock:
            for path, responses in script.items():
                self.responses[path] = responses if isinstance(responses, list) else [responses]
                self.turns[path] = 0

    def next_response(self, target):
        path = request_path(target)
        with self.lock:
            for key in (path, path.split("?", 1)[0]):
                if key in self.responses:
                    responses = self.responses[key]
                    turn = self.turns[key]
                    self.turns[key] = turn + 1
                    return responses[min(turn, len(responses) - 1)]
        return {"status": "HTTP/1.1 404 Not Found", "body": "no script for " + path}

    def record(self, target, raw):
        path = request_path(target)
        with self.lock:
            self.requests.setdefault(path, []).append(raw)
            if self.log_path:
                entry = {"target": target, "path": path, "raw": raw.decode("latin-1")}
                with open(self.log_path, "a", encoding="utf-8") as log:
                    log.write(json.dumps(entry, ensure_ascii=False) + "\n")

    def recorded(self, path):
        with self.lock:
            return list(self.requests.get(path, []))

    def reset(self):
        with self.lock:
            self.requests.clear()

    def expand(self, text):
        return text.replace("{port}", str(self.port))


def request_path(target):
    if "://" in target.split("?", 1)[0]:
        parts = urllib.parse.urlsplit(target)
        return (parts.path or "/") + ("?" + parts.query if parts.query else "")
    return target


def body_bytes(script, body):
    parts = body if isinstance(body, list) else [body]
    out = bytearray()
    for part in parts:
        if isinstance(part, str):
            out += script.expand(part).encode("utf-8")
        elif "hex" in part:
            out += bytes.fromhex(part["hex"])
        elif "gbk" in part:
            out += part["gbk"].encode("gbk")
        elif "repeat" in part:
            out += part["repeat"].encode("utf-8") * part["count"]
        else:
            raise ValueError("unknown body part: %r" % (part,))
    return bytes(out)


def response_bytes(script, response):
    body = body_bytes(script, response.get("body", ""))
    lines = [script.expand(response.get("status", "HTTP/1.1 200 OK"))]
    lines += [script.expand(line) for line in response.get("headers", [])]
    if response.get("content_length", True):
        lines.append("Content-Length: %d" % len(body))
    head = "".join(line + "\r\n" for line in lines).encode("utf-8")
    pad_to = response.get("pad_headers_to")
    if pad_to:
        head += padding(pad_to - len(head) - len(b"\r\n"))
    return head + b"\r\n" + body


def padding(size):
    """Header lines "X-Pad-N: ppp..." of size bytes in all, each under 1000 bytes: WinINet under
    Wine cuts header lines of about 4 KiB."""
    count = max(1, -(-size // 900))
    lines = []
    for i in range(count):
        name = b"X-Pad-%d: " % i
        fill = size // count + (1 if i < size % count else 0) - len(name) - len(b"\r\n")
        if fill < 1:
            raise ValueError("cannot pad a header block by %d bytes" % size)
        lines.append(name + b"p" * fill + b"\r\n")
    return b"".join(lines)


class Connection(socketserver.BaseRequestHandler):
    def handle(self):
        self.buffer = b""
        while True:
            request = self.read_request()
            if request is None:
                return
            raw, target, version, headers = request
            if target.startswith("/__control/"):
                self.control(target, raw, headers)
                return
            script = self.server.script
            script.record(target, raw)
            response = script.next_response(target)
            if response.get("stall"):
                self.wait_for_close()
                return
            self.request.sendall(response_bytes(script, response))
            closing = (
                response.get("close")
                or not response.get("content_length", True)
                or version == "HTTP/1.0"
                or headers.get("connection", "").lower() == "close"
            )
            if closing:
                self.request.shutdown(socket.SHUT_WR)
                return

    def read_request(self):
        while b"\r\n\r\n" not in self.buffer:
            if len(self.buffer) > MAX_HEADER_BYTES:
                return None
            chunk = self.request.recv(65536)
            if not chunk:
                return None
            self.buffer += chunk
        end = self.buffer.index(b"\r\n\r\n") + 4
        head = self.buffer[:end].decode("latin-1")
        request_line, *header_lines = head[:-4].split("\r\n")
        fields = request_line.split(" ")
        if len(fields) != 3:
            return None
        headers = {}
        for line in header_lines:
            name, _, value = line.partition(":")
            headers[name.strip().lower()] = value.strip()
        length = int(headers.get("content-length", "0") or 0)
        while len(self.buffer) < end + length:
            chunk = self.request.recv(65536)
            if not chunk:
                return None
            self.buffer += chunk
        raw = self.buffer[: end + length]
        self.buffer = self.buffer[end + length :]
        return raw, fields[1], fields[2], headers

    def wait_for_close(self):
        while True:
            readable, _, _ = select.select([self.request], [], [], 1.0)
            if readable and not self.request.recv(65536):
                return

    def control(self, target, raw, headers):
        script = self.server.script
        parts = urllib.parse.urlsplit(target)
        query = urllib.parse.parse_qs(parts.query)
        status, body = "200 OK", b""
        if parts.path == "/__control/script":
            script.load(json.loads(raw[raw.index(b"\r\n\r\n") + 4 :].decode("utf-8")))
        elif parts.path == "/__control/reset":
            script.reset()
        elif parts.path == "/__control/count":
            body = str(len(script.recorded(query["path"][0]))).encode()
        elif parts.path == "/__control/request":
            recorded = script.recorded(query["path"][0])
            index = int(query.get("index", ["-1"])[0])
            if -len(recorded) <= index < len(recorded):
                body = recorded[index]
            else:
                status = "404 Not Found"
        elif parts.path == "/__control/closed-port":
            body = str(closed_port()).encode()
        else:
            status = "404 Not Found"
        head = "HTTP/1.1 %s\r\nContent-Length: %d\r\nConnection: close\r\n\r\n" % (status, len(body))
        self.request.sendall(head.encode() + body)
        self.request.shutdown(socket.SHUT_WR)


def closed_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        probe.bind((HOST, 0))
        return probe.getsockname()[1]


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--port", type=int, default=0, help="port on 127.0.0.1; 0 picks a free one")
    parser.add_argument("--port-file", help="file the chosen port is written to once listening")
    parser.add_argument("--script", help="JSON script file served from the start")
    parser.add_argument("--log", help="file every recorded request is appended to, as JSON lines")
    parser.add_argument("--lifetime", type=float, default=300, help="seconds before the server ends")
    args = parser.parse_args()

    server = Server((HOST, args.port), Connection)
    port = server.server_address[1]
    server.script = Script(port, args.log)
    if args.script:
        with open(args.script, encoding="utf-8") as script_file:
            server.script.load(json.load(script_file))

    # Connections that stall or linger must not keep the process alive past its lifetime.
    deadline = threading.Timer(args.lifetime, lambda: os._exit(0))
    deadline.daemon = True
    deadline.start()

    if args.port_file:
        temporary = args.port_file + ".tmp"
        with open(temporary, "w") as port_file:
            port_file.write("%d\n" % port)
        os.replace(temporary, args.port_file)
    print(port, flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
