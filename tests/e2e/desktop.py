"""The shipped program in a real X server, seen and driven as a pupil would.

A Session is an Xvfb display with a session bus of its own; a Program is one
run of the program on it, read through the accessibility bus (AT-SPI) and
driven with xdotool (mouse and keyboard) and with close requests that a
window manager would send. The end-to-end tests share these pieces.
"""

import os
import re
import signal
import subprocess
import tempfile
import time

TITLE = "Информация. Измерение информации. Ловенда"
TIMEOUT = 20.0

# What AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer print
# when they find something; a build without them never prints these.
SANITIZER_REPORT = re.compile(r"ERROR: AddressSanitizer|runtime error:|LeakSanitizer")


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=TIMEOUT, interval=0.05):
    """Polls probe until it returns something true; fails after timeout."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        try:
            last = probe()
        except Exception as error:  # the accessibility tree changes under us
            last = error
            if time.monotonic() > deadline:
                raise
        else:
            if last:
                return last
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what} (last seen: {last!r})")
        time.sleep(interval)


def check(condition, message):
    if not condition:
        raise Failure(message)


class Session:
    """An Xvfb display and a D-Bus session bus of the test's own.

    Without a window manager by default, as the window tests expect; with
    one (icewm, say) when a test needs frames, a taskbar and the work area
    that the window manager publishes.
    """

    def __init__(self, screen="1280x1024", window_manager=None):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{screen}x24",
             "-noreset", "-nolisten", "tcp"],
            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            display = pipe.readline().strip()
        check(display, "Xvfb did not start")
        self.env = dict(os.environ)
        self.env["DISPLAY"] = ":" + display
        for name in ("WAYLAND_DISPLAY", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                     "QT_QPA_PLATFORM", "SESSION_MANAGER"):
            self.env.pop(name, None)
        out = subprocess.run(["dbus-launch", "--sh-syntax"], env=self.env, check=True,
                             capture_output=True, text=True).stdout
        self.dbus_pid = None
        for line in out.splitlines():
            name, _, value = line.partition("=")
            value = value.rstrip(";").strip("'")
            if name == "DBUS_SESSION_BUS_ADDRESS":
                self.env[name] = value
            if name == "DBUS_SESSION_BUS_PID":
                self.dbus_pid = int(value)
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        self.env["QT_ACCESSIBILITY"] = "1"
        self.env["NO_AT_BRIDGE"] = "0"
        self.env.setdefault("XDG_RUNTIME_DIR", _runtime_dir())
        # In a sanitizer build: a report with its stack, for the log.
        self.env.setdefault("UBSAN_OPTIONS", "print_stacktrace=1")
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")})
        self.window_manager = None
        if window_manager:
            self.window_manager = subprocess.Popen([window_manager], env=self.env,
                                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                wait_for("the window manager's work area", self.work_area)
            except Exception:
                self.close()
                raise

    def root_property(self, name):
        """The numbers of a property of the root window, or None when it is unset."""
        out = subprocess.run(["xprop", "-root", name], env=self.env, capture_output=True,
                             text=True).stdout
        return _cardinals(out)

    def work_area(self):
        """The work area (x, y, width, height) that the window manager publishes."""
        numbers = self.root_property("_NET_WORKAREA")
        return tuple(numbers[:4]) if numbers and len(numbers) >= 4 else None

    def close(self):
        if self.window_manager:
            self.window_manager.terminate()
            self.window_manager.wait(timeout=10)
        if self.dbus_pid:
            try:
                os.kill(self.dbus_pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        self.xvfb.terminate()
        self.xvfb.wait(timeout=10)


def _cardinals(xprop_line):
    """The numbers of an xprop line such as "_NET_WORKAREA(CARDINAL) = 0, 0, 1024, 574"."""
    _, equals, values = xprop_line.partition(" = ")
    if not equals:
        return None
    try:
        return [int(value) for value in values.split(",")]
    except ValueError:
        return None


def _runtime_dir():
    """A private runtime directory, so that Qt does not warn about a missing one."""
    path = os.path.join("/tmp", f"infotest-runtime-{os.getuid()}")
    os.makedirs(path, mode=0o700, exist_ok=True)
    return path


def role_name(accessible, pyatspi):
    """The kind of an accessible object, in the words the tests use.

    The roles the tests look for are told by their number: the names that
    the accessibility library gives them change between its versions
    (at-spi2-core 2.53 renamed "push button" to "button", so Debian 13 reads
    every command button as "button" where Debian 12 reads "push button").
    Other roles keep the library's name.
    """
    role = accessible.getRole()
    for number, name in ((pyatspi.ROLE_PUSH_BUTTON, "push button"),
                         (pyatspi.ROLE_RADIO_BUTTON, "radio button"),
                         (pyatspi.ROLE_LABEL, "label"),
                         (pyatspi.ROLE_ALERT, "alert"),
                         (pyatspi.ROLE_DIALOG, "dialog"),
                         (pyatspi.ROLE_FRAME, "frame")):
        if role == number:
            return name
    return accessible.getRoleName()


class Node:
    """One accessible object as seen at one moment."""

    def __init__(self, accessible, pyatspi):
        self.role = role_name(accessible, pyatspi)
        self.name = accessible.name or ""
        states = accessible.getState()
        self.showing = states.contains(pyatspi.STATE_SHOWING)
        self.checked = states.contains(pyatspi.STATE_CHECKED)
        self.focused = states.contains(pyatspi.STATE_FOCUSED)
        try:
            extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            self.rect = (extents.x, extents.y, extents.width, extents.height)
        except NotImplementedError:
            self.rect = (0, 0, 0, 0)

    @property
    def centre(self):
        x, y, w, h = self.rect
        return x + w // 2, y + h // 2

    def __repr__(self):
        return f"<{self.role} {self.name!r}>"


class Program:
    """The running program, seen through the accessibility bus and the screen.

    Its standard error goes to a file, so that a test can look for a
    sanitizer's report in it once the program has ended.
    """

    def __init__(self, path, session, describe, stderr_path=None):
        import pyatspi
        self.pyatspi = pyatspi
        self.session = session
        self.layout = describe["controls"]
        self.stderr_path = stderr_path
        stderr = open(stderr_path, "wb") if stderr_path else None
        try:
            self.process = subprocess.Popen([path], env=session.env, stderr=stderr)
        finally:
            if stderr:
                stderr.close()
        self.window_rect = wait_for("the window", self._find_window)
        self.frame_origin = self.window_rect[:2]
        self._window_id = None

    def _application(self):
        desktop = self.pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    def nodes(self):
        """Every accessible object of the program, depth first."""
        app = self._application()
        found = []
        if app is None:
            return found
        stack = [app]
        while stack:
            accessible = stack.pop()
            if accessible is None:
                continue
            if accessible is not app:
                found.append(Node(accessible, self.pyatspi))
            for index in reversed(range(accessible.childCount)):
                stack.append(accessible.getChildAtIndex(index))
        return found

    def _find_window(self):
        for node in self.nodes():
            if node.name == TITLE and node.showing and node.rect[2] > 0:
                return node.rect
        return None

    def screen_rect(self, control):
        """Where a control of the layout sits on the screen at creation."""
        entry = self.layout[control]
        x, y, w, h = entry["rect"]
        if entry["parent"] != "Form1":
            px, py, _, _ = self.screen_rect(entry["parent"])
            x, y = x + px, y + py
        ox, oy = self.frame_origin
        return ox + x, oy + y, w, h

    def label(self, control, nodes=None):
        """The caption of a label, found by its rectangle."""
        rect = self.screen_rect(control)
        for node in self.nodes() if nodes is None else nodes:
            if node.role == "label" and node.rect == rect:
                return node
        return None

    def caption(self, control, nodes=None):
        node = self.label(control, nodes)
        return None if node is None else node.name

    def click_at(self, x, y):
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"],
                       env=self.session.env, check=True)

    def click_control(self, control):
        x, y, w, h = self.screen_rect(control)
        self.click_at(x + w // 2, y + h // 2)

    def alert(self, nodes=None):
        for node in self.nodes() if nodes is None else nodes:
            if node.role in ("alert", "dialog") and node.showing:
                return node
        return None

    def box_button(self, box):
        """The OK button of an open message box."""
        return wait_for("the box's button", lambda: next(
            (n for n in self.nodes() if n.role == "push button" and n.showing
             and _inside(n.rect, box.rect)), None))

    def expect_box(self, text):
        """Waits for a message box with this text and closes it with its button."""
        box = wait_for(f"the box {text!r}", self.alert)
        said = self.box_text(box)
        check(said == text, f"box says {said!r}, expected {text!r}")
        self.click_at(*self.box_button(box).centre)
        wait_for("the box to close", lambda: self.alert() is None)

    def box_text(self, box, nodes=None):
        """The message of a box: the text of the label it shows."""
        labels = [n.name for n in (self.nodes() if nodes is None else nodes)
                  if n.role == "label" and n.showing and _inside(n.rect, box.rect)]
        return labels[0] if len(labels) == 1 else labels

    def options(self, nodes=None):
        return [n for n in (self.nodes() if nodes is None else nodes)
                if n.role == "radio button" and n.showing]

    # The keyboard. Without a window manager nobody gives the window the
    # input focus when it opens; focus_window does what a window manager
    # would do, and keys then go to the window that has the focus.

    def window_id(self):
        """The X window of the program's main window, found by its pid and title."""
        if self._window_id is None:
            found = subprocess.run(["xdotool", "search", "--pid", str(self.process.pid)],
                                   env=self.session.env, capture_output=True, text=True).stdout
            for wid in found.split():
                name = subprocess.run(["xdotool", "getwindowname", wid], env=self.session.env,
                                      capture_output=True, text=True).stdout.strip()
                if name == TITLE:
                    self._window_id = wid
            check(self._window_id, f"no X window titled {TITLE!r} of pid {self.process.pid}")
        return self._window_id

    def outer_frame(self):
        """The window with the window manager's frame, (x, y, width, height), once
        the window manager has framed it; None before."""
        info = subprocess.run(["xwininfo", "-id", self.window_id()], env=self.session.env,
                              capture_output=True, text=True).stdout
        fields = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
        x, y = int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"])
        w, h = int(fields["Width"]), int(fields["Height"])
        extents = _cardinals(subprocess.run(
            ["xprop", "-id", self.window_id(), "_NET_FRAME_EXTENTS"], env=self.session.env,
            capture_output=True, text=True).stdout)
        if not extents or len(extents) != 4:
            return None
        left, right, top, bottom = extents
        return x - left, y - top, w + left + right, h + top + bottom

    def focus_window(self):
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window_id()],
                       env=self.session.env, check=True)

    def key(self, *keys):
        subprocess.run(["xdotool", "key", *keys], env=self.session.env, check=True)

    def focused(self, nodes=None):
        """The control that has the keyboard focus, or None."""
        found = [n for n in (self.nodes() if nodes is None else nodes)
                 if n.focused and n.showing and n.role != "frame"]
        # A message box reports its button row as focused along with the
        # button; the control is the innermost of them.
        found = [n for n in found
                 if not any(o is not n and o.rect != n.rect and _inside(o.rect, n.rect) for o in found)]
        return found[0] if len(found) == 1 else None

    def request_close(self, closer):
        """Asks the main window to close, as a window manager's close button does."""
        subprocess.run([closer, str(self.process.pid), TITLE], env=self.session.env, check=True)

    def running(self):
        return self.process.poll() is None

    def sanitizer_report(self):
        """What a sanitizer printed on the program's standard error, or None."""
        if not self.stderr_path or not os.path.exists(self.stderr_path):
            return None
        with open(self.stderr_path, encoding="utf-8", errors="replace") as stream:
            text = stream.read()
        return text if SANITIZER_REPORT.search(text) else None

    def expect_clean_end(self, what):
        """Waits for the program to end and checks it ended well."""
        try:
            status = self.process.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure(f"{what}: the program is still running after {TIMEOUT:.0f} s") from None
        report = self.sanitizer_report()
        check(report is None, f"{what}: a sanitizer reported:\n{report}")
        check(status == 0, f"{what}: the program ended with status {status}")

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.session.env, check=True)

    def most_common_colour(self, shot, rect):
        x, y, w, h = rect
        out = subprocess.run(
            ["convert", shot, "-crop", f"{w - 8}x{h - 8}+{x + 4}+{y + 4}", "+repage",
             "-format", "%c", "histogram:info:-"],
            check=True, capture_output=True, text=True).stdout
        best = max((line for line in out.splitlines() if line.strip()),
                   key=lambda line: int(line.split(":")[0]))
        return best.split("#")[1][:6].upper()

    def count_colour(self, shot, rect, colour):
        x, y, w, h = rect
        out = subprocess.run(
            ["convert", shot, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-format", "%c",
             "histogram:info:-"], check=True, capture_output=True, text=True).stdout
        return sum(int(line.split(":")[0]) for line in out.splitlines()
                   if f"#{colour}" in line.upper())


def _inside(inner, outer):
    ix, iy, iw, ih = inner
    ox, oy, ow, oh = outer
    return ox <= ix and oy <= iy and ix + iw <= ox + ow and iy + ih <= oy + oh


def shown_entry(program, bank, nodes=None):
    text = program.caption("Label1", nodes)
    for entry in bank:
        if entry["text"] == text:
            return entry
    return None


def option_named(program, caption, nodes=None):
    for node in program.options(nodes):
        if node.name == caption:
            return node
    return None


def run_with_shots(run, doc, label, argv):
    """The command line of a test script that takes the program and bank paths
    and an optional screenshot folder: runs `run(program, bank, shots)` and
    turns a Failure into exit status 1, printing where the screenshots are."""
    if len(argv) < 3:
        print(doc)
        return 2
    shots = argv[3] if len(argv) > 3 else tempfile.mkdtemp(prefix="infotest-shots-")
    os.makedirs(shots, exist_ok=True)
    try:
        run(argv[1], argv[2], shots)
    except Failure as failure:
        print(f"FAILED: {failure} (screenshots in {shots})", flush=True)
        return 1
    print(f"{label}: passed (screenshots in {shots})")
    return 0
