"""A headless Chromium driven over the DevTools protocol, for the page's
tests (tests/ui/web/browser.py) and its benchmark (bench/web_bench.py).

The browser gets a fresh profile and is reached over its DevTools websocket;
commands go to the one page it opens with, events arriving while a command
waits for its reply go to event(), which a subclass overrides.
"""

import json
import pathlib
import shutil
import subprocess
import tempfile
import time

import websocket

FLAGS = ["--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"]

# Commands of these domains go to the browser itself, the rest to the page.
BROWSER_DOMAINS = ("Target.", "Browser.")


def connect(url, timeout):
    """The DevTools websocket. Chromium refuses a handshake that names an
    origin it was not told to allow (Debian 12's Chromium 150 answers 403),
    and no origin is needed on 127.0.0.1: the handshake sends none."""
    return websocket.create_connection(url, timeout=timeout, suppress_origin=True)


class Chromium:
    """One headless Chromium with a fresh profile, attached to its page.

    binary: the browser to run (a name on PATH or a path);
    flags: more command-line flags, e.g. --window-size=1024,768;
    timeout: seconds a command may wait for its reply.
    """

    def __init__(self, binary, flags=(), timeout=60, prefix="infotest-chromium-"):
        self.profile = tempfile.mkdtemp(prefix=prefix)
        self.socket = None
        self.session = None
        self.next_id = 0
        self.process = subprocess.Popen(
            [binary, *FLAGS, *flags, "--user-data-dir=" + self.profile,
             "--remote-debugging-port=0", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self.socket = connect(self._devtools_address(), timeout)
            target = self._page_target()
            self.session = self.send("Target.attachToTarget",
                                     {"targetId": target, "flatten": True})["sessionId"]
        except BaseException:
            self.close()
            raise

    def _devtools_address(self):
        # The browser writes its port and path once it listens.
        port_file = pathlib.Path(self.profile, "DevToolsActivePort")
        deadline = time.monotonic() + 30
        while True:
            try:
                lines = port_file.read_text().split()
            except OSError:
                lines = []
            if len(lines) >= 2:
                return "ws://127.0.0.1:%s%s" % (lines[0], lines[1])
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise SystemExit("chromium did not start (%s)" % self.process.args[0])
            time.sleep(0.05)

    def _page_target(self):
        # The page the browser opened with may be listed a moment after the
        # websocket is served.
        deadline = time.monotonic() + 30
        while True:
            for target in self.send("Target.getTargets")["targetInfos"]:
                if target["type"] == "page":
                    return target["targetId"]
            if time.monotonic() > deadline:
                raise SystemExit("chromium opened no page")
            time.sleep(0.05)

    def close(self):
        """Ends the browser and removes its profile. Closed through DevTools
        the browser ends all its processes before it exits, so that none
        still writes into the profile being removed."""
        try:
            if self.socket is not None:
                try:
                    self.socket.settimeout(10)
                    self.send("Browser.close")
                except (OSError, RuntimeError, websocket.WebSocketException):
                    pass  # the browser may drop the connection before it replies
            self.process.wait(timeout=10 if self.socket is not None else 0)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        finally:
            if self.socket is not None:
                self.socket.close()
            shutil.rmtree(self.profile, ignore_errors=True)

    def send(self, method, params=None):
        """Sends a command and returns its result; RuntimeError on an error."""
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if self.session and not method.startswith(BROWSER_DOMAINS):
            message["sessionId"] = self.session
        self.socket.send(json.dumps(message))
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})
            if "method" in reply:
                self.event(reply["method"], reply.get("params", {}))

    def event(self, method, params):
        """An event of an enabled domain; a subclass keeps what it needs."""

    def evaluate(self, expression):
        """The expression's value in the page; RuntimeError when it throws."""
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True})
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, seconds=30):
        """The expression's first truthy value within the time, or None. A
        page still loading counts as not yet."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                value = self.evaluate(expression)
                if value:
                    return value
            except RuntimeError:
                pass
            time.sleep(0.05)
        return None
