#!/usr/bin/env python3
"""A small HTTP server on 127.0.0.1 for the update tests and the download benchmark.

Serves the files below --root by their path. A few paths behave badly on purpose:
  /__redirect/<path>  answers 302 to /<path>
  /__drop/<path>      announces the whole file, sends half of it, then drops the connection
  /__slow/<path>      sends the file in small pieces with pauses (for a cancel)
  /__shutdown         ends the server
A file <path>.redirect beside a served path holds an address: <path> then answers
302 to that address (so a test can send one file of a fixed layout elsewhere).
Anything else that is not a file answers 404. The chosen port is written to
--port-file (through a temporary name, so a reader never sees half a number). The
server ends by itself after --idle seconds without a request and after --lifetime
seconds in any case, so a test that dies never leaves it behind.
"""
import argparse
import os
import socket
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

last_request = time.monotonic()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    root = "."

    def log_message(self, *args):
        pass

    def local_file(self, path):
        relative = path.split("?", 1)[0].lstrip("/")
        full = os.path.realpath(os.path.join(self.root, relative))
        if not full.startswith(os.path.realpath(self.root) + os.sep) or not os.path.isfile(full):
            return None
        return full

    def send_plain(self, status, body=b"", extra=None):
        self.send_response(status)
        for name, value in (extra or {}).items():
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        global last_request
        last_request = time.monotonic()
        path = self.path
        if path == "/__shutdown":
            self.send_plain(200, b"bye")
            threading.Thread(target=self.server.shutdown, daemon=True).start()
            return
        for prefix in ("/__redirect/", "/__drop/", "/__slow/"):
            if path.startswith(prefix):
                mode, path = prefix, "/" + path[len(prefix):]
                break
        else:
            mode = None
        if mode == "/__redirect/":
            self.send_plain(302, b"", {"Location": path})
            return
        target = self.local_file(path + ".redirect")
        if target is not None:
            with open(target) as text:
                self.send_plain(302, b"", {"Location": text.read().strip()})
            return
        full = self.local_file(path)
        if full is None:
            self.send_plain(404, b"not found")
            return
        size = os.path.getsize(full)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(size))
        self.end_headers()
        with open(full, "rb") as source:
            if mode == "/__drop/":
                self.wfile.write(source.read(size // 2))
                self.wfile.flush()
                self.connection.shutdown(socket.SHUT_RDWR)
                self.close_connection = True
            elif mode == "/__slow/":
                while chunk := source.read(4096):
                    self.wfile.write(chunk)
                    self.wfile.flush()
                    time.sleep(0.05)
            else:
                self.wfile.flush()
                self.connection.sendfile(source)


class Server(ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A client that gives up early (a cancel, a failure test) is expected.
        pass


def detach_from_the_callers_output():
    # Wine hands this process the test program's standard handles: CTest's output
    # pipe. A server still alive after its test would keep CTest waiting on that pipe
    # until the server's idle end, so the server lets go of it at once.
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    os.close(devnull)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--idle", type=float, default=120)
    parser.add_argument("--lifetime", type=float, default=900)
    args = parser.parse_args()
    detach_from_the_callers_output()

    Handler.root = args.root
    server = Server(("127.0.0.1", 0), Handler)
    started = time.monotonic()

    def watchdog():
        while True:
            time.sleep(0.5)
            now = time.monotonic()
            if now - last_request > args.idle or now - started > args.lifetime:
                server.shutdown()
                return

    threading.Thread(target=watchdog, daemon=True).start()
    temporary = args.port_file + ".tmp"
    with open(temporary, "w") as out:
        out.write(str(server.server_address[1]))
    os.replace(temporary, args.port_file)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()
        try:
            os.remove(args.port_file)
        except OSError:
            pass


if __name__ == "__main__":
    main()
