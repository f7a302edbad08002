#!/usr/bin/env python3
"""Loopback stand-in for the publisher's web servers.

Serves the static site under --root and whatever a scenario file configures, and logs every
request as one JSON line (method, path, query, headers, request line) for tests to read.

Scenario file (JSON, re-read whenever it changes):
    {"routes": {"/update/ConfigTnVexa.htm": {
        "status": 200,             # status code (default 200)
        "body": "text",            # body text (UTF-8), or
        "file": "/abs/or/site-relative/path",   # body from a file, or
        "size": 1048576,           # a generated body of this many bytes (deterministic bytes)
        "content_type": "text/html",
        "headers": {"X-A": "b"},   # extra response headers
        "no_length": false,        # omit Content-Length (the connection closes after the body)
        "chunked": false,          # send the body with chunked transfer coding
        "short_by": 0,             # announce the full length but send this many bytes less
        "delay": 0.0,              # seconds to wait before answering
        "rate": 0,                 # bytes per second while sending the body (0: no limit)
        "sign": true,              # false: no signature is served for this route
        "sign_key": "/path/key.pem"  # sign with this key instead of --sign-key
    }}}
A route key matches the request path exactly; a key ending in "*" matches by prefix.

Like the real publisher, the stand-in signs what it serves: a request for PATH.sig that no route
names is answered with the detached signature (ECDSA P-256 over SHA-256, DER, made by `openssl
dgst -sha256 -sign`) of what PATH serves, signed for the file name of PATH (see signed_message),
with --sign-key (the development key in this folder) unless the route says otherwise.
Only 127.0.0.1 is ever bound.

A process that can't signal the server (a Windows test under Wine starts it without a usable
process handle) stops it with --stop-file: the server ends once that file exists. --lifetime
bounds the run of a server whose starter died before it could stop it.
"""
import argparse
import hashlib
import json
import os
import sys
import subprocess
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

_CONTENT_TYPES = {
    ".htm": "text/html; charset=utf-8", ".html": "text/html; charset=utf-8", ".css": "text/css",
    ".js": "application/javascript", ".png": "image/png", ".gif": "image/gif", ".jpg": "image/jpeg",
    ".ico": "image/x-icon", ".exe": "application/octet-stream", ".ini": "text/plain",
    ".txt": "text/plain; charset=utf-8", ".swf": "application/x-shockwave-flash",
}


_generated = (None, b"")  # (size, body) of the body built last: a 100 MB one takes a while
_generated_lock = threading.Lock()


def generated_body(size):
    """Deterministic bytes, so that a test can compute the digest of a generated download."""
    global _generated
    with _generated_lock:
        if _generated[0] != size:
            _generated = (size, (bytes(range(256)) * (size // 256 + 1))[:size])
        return _generated[1]


_signatures = {}  # (what the body is, name, key) -> signature: a 100 MB body is signed once
_signatures_lock = threading.Lock()

# A signature covers a fixed context and the name the file is signed for before its bytes, so
# that one made for a game's client never passes for the program (release-key.sh does the same).
SIGNATURE_CONTEXT = b"TnVexa signed file"


def signed_message(body, name):
    return SIGNATURE_CONTEXT + b"\0" + name.encode("utf-8") + b"\0" + body


def signature(identity, body, key, name):
    """identity names the body without building it (a generated body by its size), else None;
    body() gives the bytes."""
    if identity is None:
        data = body()
        identity = hashlib.sha256(data).hexdigest()
        body = lambda: data  # noqa: E731
    cache_key = (identity, name, os.path.abspath(key))
    with _signatures_lock:
        if cache_key not in _signatures:
            _signatures[cache_key] = subprocess.run(["openssl", "dgst", "-sha256", "-sign", key],
                                                    input=signed_message(body(), name),
                                                    capture_output=True, check=True).stdout
        return _signatures[cache_key]


class Scenario:
    def __init__(self, path):
        self.path = path
        self.mtime = None
        self.routes = {}
        self.lock = threading.Lock()

    def route_for(self, path):
        with self.lock:
            if self.path:
                try:
                    mtime = os.stat(self.path).st_mtime_ns
                except OSError:
                    mtime = None
                if mtime != self.mtime:
                    self.mtime = mtime
                    try:
                        with open(self.path, encoding="utf-8") as f:
                            self.routes = json.load(f).get("routes", {})
                    except (OSError, ValueError):
                        self.routes = {}
            if path in self.routes:
                return self.routes[path]
            for key, route in self.routes.items():
                if key.endswith("*") and path.startswith(key[:-1]):
                    return route
        return None


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "StandIn/1.0"

    def log_message(self, fmt, *args):  # the JSON log replaces the default stderr lines
        pass

    def _log(self, parsed):
        entry = {
            "time": time.time(),
            "method": self.command,
            "request_line": self.requestline,
            "path": parsed.path,
            "query": parsed.query,
            "headers": [[k, v] for k, v in self.headers.items()],
        }
        with self.server.log_lock:
            with open(self.server.log_path, "a", encoding="utf-8") as f:
                f.write(json.dumps(entry, ensure_ascii=False) + "\n")

    def do_GET(self):
        parsed = urllib.parse.urlsplit(self.path)
        self._log(parsed)
        path = urllib.parse.unquote(parsed.path)
        route = self._route(path)
        if route is None and path.endswith(".sig"):
            route = self._signature_route(path[:-len(".sig")])
        self._answer(route or {"status": 404, "body": "not found"})

    def _route(self, path):
        route = self.server.scenario.route_for(path)
        return self._static_route(path) if route is None else route

    def _signature_route(self, path):
        route = self._route(path)
        if route is None or route.get("sign", True) is False or int(route.get("status", 200)) != 200:
            return None
        # A generated body is known by its size: a 100 MB download is not built again to be signed.
        generated = "size" in route and not {"bytes", "body", "file"} & route.keys()
        identity = ("generated", int(route["size"])) if generated else None
        try:
            sig = signature(identity, lambda: self._body(route), route.get("sign_key") or self.server.sign_key,
                            path.rsplit("/", 1)[-1])
        except OSError:
            return None
        return {"bytes": sig, "content_type": "application/octet-stream"}

    do_HEAD = do_GET

    def _static_route(self, path):
        root = os.path.realpath(self.server.root)
        full = os.path.realpath(os.path.join(root, path.lstrip("/")))
        if os.path.isdir(full):
            full = os.path.join(full, "index.html")
        if not (full == root or full.startswith(root + os.sep)) or not os.path.isfile(full):
            return None
        return {"file": full}

    def _body(self, route):
        if "bytes" in route:
            return route["bytes"]
        if "body" in route:
            return route["body"].encode("utf-8")
        if "size" in route:
            return generated_body(int(route["size"]))
        if "file" in route:
            name = route["file"]
            if not os.path.isabs(name):
                name = os.path.join(self.server.root, name)
            with open(name, "rb") as f:
                return f.read()
        return b""

    def _answer(self, route):
        delay = float(route.get("delay", 0))
        if delay > 0:
            time.sleep(delay)
        try:
            body = self._body(route)
        except OSError:
            body, route = b"missing", {"status": 500}
        status = int(route.get("status", 200))
        ctype = route.get("content_type")
        if not ctype:
            ctype = _CONTENT_TYPES.get(os.path.splitext(route.get("file", ""))[1].lower(),
                                       "text/html; charset=utf-8")
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        for k, v in route.get("headers", {}).items():
            self.send_header(k, v)
        chunked = bool(route.get("chunked"))
        no_length = bool(route.get("no_length"))
        short_by = int(route.get("short_by", 0))
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
        elif not no_length:
            self.send_header("Content-Length", str(len(body)))
        if no_length or short_by:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        if self.command == "HEAD":
            return
        if short_by:
            body = body[: max(0, len(body) - short_by)]
        rate = int(route.get("rate", 0))
        try:
            if chunked:
                for i in range(0, len(body), 4096):
                    piece = body[i:i + 4096]
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
                self.wfile.write(b"0\r\n\r\n")
            elif rate > 0:
                step = max(1, rate // 10)
                for i in range(0, len(body), step):
                    self.wfile.write(body[i:i + step])
                    self.wfile.flush()
                    time.sleep(0.1)
            else:
                self.wfile.write(body)
            self.wfile.flush()
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True


def _watch_stop(server, stop_file, lifetime):
    end = time.monotonic() + lifetime if lifetime > 0 else None
    while not (stop_file and os.path.exists(stop_file)) and (end is None or time.monotonic() < end):
        time.sleep(0.1)
    server.shutdown()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--port", type=int, default=0, help="0 picks a free port")
    ap.add_argument("--root", default=os.path.join(here, "site"))
    ap.add_argument("--log", default=os.path.join(os.getcwd(), "publisher-requests.jsonl"))
    ap.add_argument("--scenario", default="")
    ap.add_argument("--port-file", default="", help="write the bound port here once listening")
    ap.add_argument("--stop-file", default="", help="end once this file exists")
    ap.add_argument("--sign-key", default=os.path.join(here, "dev-publisher.pem"),
                    help="the private key that signs what is served (PATH.sig)")
    ap.add_argument("--lifetime", type=float, default=0, help="end after this many seconds (0: never)")
    args = ap.parse_args()

    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.root = args.root
    server.log_path = args.log
    server.log_lock = threading.Lock()
    server.scenario = Scenario(args.scenario)
    server.sign_key = args.sign_key
    port = server.server_address[1]
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(str(port))
        os.replace(tmp, args.port_file)
    print(f"stand-in publisher on http://127.0.0.1:{port}/ (log {args.log})", flush=True)
    if args.stop_file or args.lifetime > 0:
        threading.Thread(target=_watch_stop, args=(server, args.stop_file, args.lifetime), daemon=True).start()
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
