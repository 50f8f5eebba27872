#!/usr/bin/env python3
"""The DevTools client's handshake, against a server that answers as
Debian 12's Chromium 150 does: 403 to a handshake naming an origin. A newer
Chromium accepts either, so the browser tests alone would not notice a client
that names one again."""

import base64
import hashlib
import pathlib
import socket
import sys
import threading
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import devtools  # noqa: E402

WEBSOCKET_GUID = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11"


class OriginRefusingServer:
    """Answers one websocket handshake on 127.0.0.1: 403 when the request has
    an Origin header, 101 otherwise; keeps the request's header names."""

    def __init__(self):
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        self.headers = {}
        self.thread = threading.Thread(target=self.answer, daemon=True)
        self.thread.start()

    def answer(self):
        connection, _ = self.listener.accept()
        with connection:
            request = b""
            while b"\r\n\r\n" not in request:
                chunk = connection.recv(4096)
                if not chunk:
                    return
                request += chunk
            for line in request.decode("latin-1").split("\r\n")[1:]:
                if ":" in line:
                    name, value = line.split(":", 1)
                    self.headers[name.strip().lower()] = value.strip()
            if "origin" in self.headers:
                connection.sendall(b"HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n")
                return
            accept = base64.b64encode(hashlib.sha1(
                (self.headers["sec-websocket-key"] + WEBSOCKET_GUID).encode()).digest()).decode()
            connection.sendall(("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\n"
                                "Connection: Upgrade\r\nSec-WebSocket-Accept: %s\r\n\r\n" % accept).encode())
            connection.recv(4096)  # the client's close frame, or the end

    def close(self):
        self.listener.close()
        self.thread.join(timeout=5)


class HandshakeTest(unittest.TestCase):
    def test_connects_without_an_origin(self):
        server = OriginRefusingServer()
        try:
            client = devtools.connect("ws://127.0.0.1:%d/devtools/browser/x" % server.port, timeout=5)
            client.close()
        finally:
            server.close()
        self.assertNotIn("origin", server.headers)
        self.assertEqual(server.headers.get("upgrade", "").lower(), "websocket")


if __name__ == "__main__":
    unittest.main()
