#!/usr/bin/env python3
"""A local HTTP server for the tests, the download benchmark and the run script.

Binds 127.0.0.1 only. With --port 0 (the default) the system picks the port,
which is written to --port-file; the process id goes to --pid-file. The server
ends by itself after --max-seconds, so a test run that dies cannot leave it
behind for long.

Routes (n, announce, chunks, delay_ms and seconds are decimal numbers):
  /bytes/<n>                      200, Content-Length n, n pattern bytes
  /nolength/<n>                   200, no Content-Length: n pattern bytes, then close
  /status/<code>                  that status with a short text body
  /truncated/<n>?announce=<m>     200, Content-Length m, only n bytes, then close
  /slow/<n>?chunks=<k>&delay_ms=<d>  200, Content-Length n, k pieces with d ms between
  /late/<n>?seconds=<s>           says nothing for s seconds (at most 60), then
                                  answers as /bytes/<n> would
  /text?body=<percent-encoded>    200, Content-Length, exactly the decoded bytes
  /endless?announce=<m>           200, Content-Length m (default 1) and chunked:
                                  pattern chunks without end (until --max-seconds)
  /trickle?announce=<m>&delay_ms=<d>  200, Content-Length m (default 1000000),
                                  one byte every d ms (default 500)
  /redirect/<code>?to=<address>   that status with Location: the address as given
  /loop/<n>                       302 to /loop/<n+1>, for ever
  /signed?body=<percent-encoded>&sig=<mode>  as /text; the same address with
                                  ".sig" appended answers its signature, by
                                  mode: good (by --sign-key), other (by a key
                                  of the server's own), tampered (the body is
                                  served with its last byte changed, the
                                  signature is the true one), another (a good
                                  signature of other bytes), empty, none (404)
  anything else                   a file under --root (404 without --root)

Pattern byte i is i % 251: a prime period, so a piece that lands at the wrong
offset shows.
"""

import argparse
import functools
import os
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
from http import HTTPStatus
from http.server import SimpleHTTPRequestHandler, ThreadingHTTPServer

PERIOD = 251
# A block that starts and ends on a whole period, so consecutive blocks join
# seamlessly; large bodies are sent from it without building them in memory.
BLOCK = bytes(i % PERIOD for i in range(PERIOD * 1024))


def pattern(start, count):
    """count pattern bytes beginning at body offset start."""
    out = bytearray()
    offset = start % PERIOD
    while count > 0:
        piece = BLOCK[offset:offset + count]
        out += piece
        count -= len(piece)
        offset = 0
    return bytes(out)


class Handler(SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # The headers and the body leave in separate writes: with Nagle's
    # algorithm the body of a second request on a kept-alive connection then
    # waits for the client's delayed acknowledgement (about 40 ms), which a
    # real web server does not make its clients wait.
    disable_nagle_algorithm = True
    server_version = "TessalyTestServer/1"

    def log_message(self, format, *args):  # noqa: A002 (the base class's name)
        if self.server.verbose:
            super().log_message(format, *args)

    def do_GET(self):
        self._route(send_body=True)

    def do_HEAD(self):
        self._route(send_body=False)

    # --- routing -----------------------------------------------------------

    def _route(self, send_body):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
        parts = [p for p in url.path.split("/") if p]
        name = parts[0] if parts else ""
        arg = parts[1] if len(parts) > 1 else ""
        try:
            if name == "bytes" and arg.isdigit():
                return self._pattern(int(arg), int(arg), send_body, close=False)
            if name == "nolength" and arg.isdigit():
                return self._pattern(int(arg), None, send_body, close=True)
            if name == "truncated" and arg.isdigit():
                announce = int(self._one(query, "announce", str(int(arg) * 2)))
                return self._pattern(int(arg), announce, send_body, close=True)
            if name == "slow" and arg.isdigit():
                return self._slow(int(arg), int(self._one(query, "chunks", "4")),
                                  int(self._one(query, "delay_ms", "200")), send_body)
            if name == "status" and arg.isdigit():
                return self._status(int(arg), send_body)
            if name == "late" and arg.isdigit():
                time.sleep(max(0.0, min(float(self._one(query, "seconds", "5")), 60.0)))
                return self._pattern(int(arg), int(arg), send_body, close=False)
            if name == "endless":
                return self._endless(int(self._one(query, "announce", "1")), send_body)
            if name == "trickle":
                return self._trickle(int(self._one(query, "announce", "1000000")),
                                     int(self._one(query, "delay_ms", "500")), send_body)
            if name == "redirect" and arg.isdigit():
                return self._redirect(int(arg), self._raw_query_value(url.query, "to"), send_body)
            if name == "loop" and arg.isdigit():
                return self._redirect(302, f"/loop/{int(arg) + 1}".encode("ascii"), send_body)
            if name == "signed":
                return self._signed(url.query, send_body)
            if name == "text":
                raw = self._raw_query_value(url.query, "body")
                return self._bytes(HTTPStatus.OK, raw, send_body, "text/plain")
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True
            return None
        if self.server.root is None:
            return self._status(404, send_body)
        return super().do_GET() if send_body else super().do_HEAD()

    @staticmethod
    def _one(query, key, default):
        values = query.get(key)
        return values[0] if values and values[0] != "" else default

    @staticmethod
    def _raw_query_value(query, key):
        # Bytes as sent, so a test can serve CR, LF or code-page bytes exactly.
        for item in query.split("&"):
            k, _, v = item.partition("=")
            if k == key:
                return urllib.parse.unquote_to_bytes(v.replace("+", " "))
        return b""

    # --- responses ---------------------------------------------------------

    def _head(self, code, length, close, content_type="application/octet-stream"):
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Cache-Control", "no-store")
        if length is not None:
            self.send_header("Content-Length", str(length))
        if close:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()

    def _bytes(self, code, body, send_body, content_type="application/octet-stream"):
        self._head(code, len(body), close=False, content_type=content_type)
        if send_body:
            self.wfile.write(body)

    def _status(self, code, send_body):
        try:
            phrase = HTTPStatus(code).phrase
        except ValueError:
            phrase = ""
        self._bytes(code, f"{code} {phrase}\n".encode("ascii"), send_body, "text/plain")

    def _pattern(self, count, announce, send_body, close):
        self._head(HTTPStatus.OK, announce, close)
        if not send_body:
            return
        # Each block ends on a whole period, so every write starts the pattern
        # afresh; a memoryview sends without copying.
        block = memoryview(BLOCK)
        sent = 0
        while sent < count:
            piece = min(count - sent, len(BLOCK))
            self.wfile.write(block[:piece])
            sent += piece
        self.wfile.flush()

    def _slow(self, count, chunks, delay_ms, send_body):
        self._head(HTTPStatus.OK, count, close=False)
        if not send_body:
            return
        chunks = max(1, chunks)
        sent = 0
        for i in range(chunks):
            piece = count // chunks + (1 if i < count % chunks else 0)
            if i:
                time.sleep(min(delay_ms, 10000) / 1000.0)
            self.wfile.write(pattern(sent, piece))
            self.wfile.flush()
            sent += piece


    def _endless(self, announce, send_body):
        # Both headers: a client that trusts the chunks reads for ever.
        self.send_response(HTTPStatus.OK)
        self.send_header("Content-Length", str(announce))
        self.send_header("Transfer-Encoding", "chunked")
        self.send_header("Connection", "close")
        self.close_connection = True
        self.end_headers()
        if not send_body:
            return
        block = BLOCK[:8192]
        chunk = b"%x\r\n" % len(block) + block + b"\r\n"
        while True:
            self.wfile.write(chunk)

    def _trickle(self, announce, delay_ms, send_body):
        self._head(HTTPStatus.OK, announce, close=True)
        if not send_body:
            return
        for i in range(announce):
            self.wfile.write(pattern(i, 1))
            self.wfile.flush()
            time.sleep(max(1, min(delay_ms, 10000)) / 1000.0)

    def _signed(self, query, send_body):
        wants_signature = query.endswith(".sig")
        if wants_signature:
            query = query[:-len(".sig")]
        body = self._raw_query_value(query, "body")
        mode = self._raw_query_value(query, "sig").decode("latin-1")
        if not wants_signature:
            if mode == "tampered" and body:
                body = body[:-1] + bytes([body[-1] ^ 1])
            return self._bytes(HTTPStatus.OK, body, send_body, "text/plain")
        if mode == "none" or self.server.sign_key is None:
            return self._status(404, send_body)
        if mode == "empty":
            return self._bytes(HTTPStatus.OK, b"", send_body)
        key = self.server.other_key() if mode == "other" else self.server.sign_key
        signed = body + b"\r\n" if mode == "another" else body
        return self._bytes(HTTPStatus.OK, sign(key, signed), send_body)

    def _redirect(self, code, location, send_body):
        self.send_response(code)
        self.send_header("Location", location.decode("latin-1"))
        body = b"moved\n"
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if send_body:
            self.wfile.write(body)


def sign(key, data):
    """The DER ECDSA signature over SHA-256 that the publishing command writes."""
    return subprocess.run(["openssl", "dgst", "-sha256", "-sign", key], input=data,
                          capture_output=True, check=True).stdout


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = False
    sign_key = None
    _other_key = None
    _other_lock = threading.Lock()

    def other_key(self):
        # A P-256 key no build trusts, made once per server.
        with self._other_lock:
            if self._other_key is None:
                folder = tempfile.mkdtemp(prefix="tessaly-other-key-")
                self._other_key = os.path.join(folder, "other.key")
                subprocess.run(["openssl", "ecparam", "-name", "prime256v1", "-genkey",
                                "-noout", "-out", self._other_key], check=True,
                               capture_output=True)
            return self._other_key


def write_atomically(path, text):
    temporary = f"{path}.{os.getpid()}.tmp"
    with open(temporary, "w", encoding="ascii") as f:
        f.write(text)
    os.replace(temporary, path)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--port", type=int, default=0, help="0: any free port")
    parser.add_argument("--port-file", help="receives the port number")
    parser.add_argument("--pid-file", help="receives this process's id")
    parser.add_argument("--root", help="serves the files of this folder as well")
    parser.add_argument("--max-seconds", type=float, default=600.0,
                        help="ends by itself after this long (default 600)")
    parser.add_argument("--sign-key", help="PEM private key that /signed signs with")
    parser.add_argument("--verbose", action="store_true", help="logs each request")
    args = parser.parse_args(argv)

    root = os.path.abspath(args.root) if args.root else None
    # Without --root no file is served (the route answers 404 first), so the
    # working directory is never exposed.
    server = Server(("127.0.0.1", args.port), functools.partial(Handler, directory=root))
    server.root = root
    server.verbose = args.verbose
    server.sign_key = os.path.abspath(args.sign_key) if args.sign_key else None
    port = server.server_address[1]
    if args.pid_file:
        write_atomically(args.pid_file, f"{os.getpid()}\n")
    if args.port_file:
        write_atomically(args.port_file, f"{port}\n")
    print(f"test_http_server: http://127.0.0.1:{port}/ (pid {os.getpid()})", flush=True)

    timer = threading.Timer(args.max_seconds, server.shutdown)
    timer.daemon = True
    timer.start()
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        timer.cancel()
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
