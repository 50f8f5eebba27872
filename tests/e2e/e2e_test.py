#!/usr/bin/python3
"""Takes the whole test with the mouse, in a real X server, as a pupil would.

The shipped program runs under Xvfb with its own session bus; the test
clicks real pixels with xdotool, reads what the window shows through the
accessibility bus (AT-SPI) and checks colours on screenshots. It knows the
right answers from the question text, whatever order the program drew.

Usage: e2e_test.py PROGRAM DESCRIBE [SCREENSHOT_DIR]
DESCRIBE is a helper that prints the question bank and the control
rectangles as JSON.
"""

import json
import os
import signal
import subprocess
import sys
import tempfile
import time

TITLE = "Информация. Измерение информации. Ловенда"
TIMEOUT = 20.0


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
    """An Xvfb display and a D-Bus session bus of the test's own."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
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
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")})

    def close(self):
        if self.dbus_pid:
            try:
                os.kill(self.dbus_pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        self.xvfb.terminate()
        self.xvfb.wait(timeout=10)


class Node:
    """One accessible object as seen at one moment."""

    def __init__(self, accessible, pyatspi):
        self.role = accessible.getRoleName()
        self.name = accessible.name or ""
        states = accessible.getState()
        self.showing = states.contains(pyatspi.STATE_SHOWING)
        self.checked = states.contains(pyatspi.STATE_CHECKED)
        try:
            extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            self.rect = (extents.x, extents.y, extents.width, extents.height)
        except NotImplementedError:
            self.rect = (0, 0, 0, 0)

    @property
    def centre(self):
        x, y, w, h = self.rect
        return x + w // 2, y + h // 2


class Program:
    """The running program, seen through the accessibility bus and the screen."""

    def __init__(self, path, session, describe):
        import pyatspi
        self.pyatspi = pyatspi
        self.session = session
        self.layout = describe["controls"]
        self.process = subprocess.Popen([path], env=session.env)
        self.frame_origin = wait_for("the window", self._find_window)

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
                return node.rect[0], node.rect[1]
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

    def label(self, control):
        """The caption of a label, found by its rectangle."""
        rect = self.screen_rect(control)
        for node in self.nodes():
            if node.role == "label" and node.rect == rect:
                return node
        return None

    def caption(self, control):
        node = self.label(control)
        return None if node is None else node.name

    def click_at(self, x, y):
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"],
                       env=self.session.env, check=True)

    def click_control(self, control):
        x, y, w, h = self.screen_rect(control)
        self.click_at(x + w // 2, y + h // 2)

    def alert(self):
        for node in self.nodes():
            if node.role in ("alert", "dialog") and node.showing:
                return node
        return None

    def expect_box(self, text):
        """Waits for a message box with this text and closes it with its button."""
        box = wait_for(f"the box {text!r}", self.alert)
        said = self.box_text(box)
        check(said == text, f"box says {said!r}, expected {text!r}")
        button = wait_for("the box's button", lambda: next(
            (n for n in self.nodes() if n.role == "push button" and n.showing
             and _inside(n.rect, box.rect)), None))
        self.click_at(*button.centre)
        wait_for("the box to close", lambda: self.alert() is None)

    def box_text(self, box):
        """The message of a box: the text of the label it shows."""
        labels = [n.name for n in self.nodes()
                  if n.role == "label" and n.showing and _inside(n.rect, box.rect)]
        return labels[0] if len(labels) == 1 else labels

    def options(self):
        return [n for n in self.nodes() if n.role == "radio button" and n.showing]

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


def shown_entry(program, bank):
    text = program.caption("Label1")
    for entry in bank:
        if entry["text"] == text:
            return entry
    return None


def option_named(program, caption):
    for node in program.options():
        if node.name == caption:
            return node
    return None


def check_title_screen(program, shots):
    shot = os.path.join(shots, "title.png")
    wait_for("the clock to count", lambda: (program.caption("Label13") or "0") != "0")
    program.screenshot(shot)
    names = {n.name for n in program.nodes() if n.role == "push button" and n.showing}
    check({"Начать тест", "Проверить", "Выход"} <= names, f"buttons on the title screen: {names}")
    check("Следующий вопрос" not in names, "the Next button shows on the title screen")
    check(not program.options(), "option buttons show on the title screen")
    check(program.most_common_colour(shot, program.screen_rect("Command1")) == "FFFF80",
          "the Start button's face is not light yellow")
    check(program.most_common_colour(shot, program.screen_rect("Command2")) == "80FF80",
          "the Check button's face is not green")
    # The title image lies over the question label: its dark-green text must
    # show where the two overlap.
    x, y, w, h = program.screen_rect("Label1")
    check(program.count_colour(shot, (x, y + 8, w, h - 8), "004000") > 200,
          "the title image is covered by the question label")


def check_clock_counts(program):
    first = int(wait_for("the seconds", lambda: program.caption("Label13")))
    wait_for("the clock to tick", lambda: int(program.caption("Label13") or "0") != first)


def take_test(program, bank, wrong_answers, shots):
    program.click_control("Command1")
    wait_for("the first question", lambda: program.caption("Label6") == "1"
             and shown_entry(program, bank) is not None and len(program.options()) == 4)
    check(program.caption("Label8") == "из 21", "Label8 does not read 'из 21'")
    program.screenshot(os.path.join(shots, "question.png"))

    program.click_control("Command4")
    program.expect_box("Нажмите кнопку ПРОВЕРИТЬ")
    program.click_control("Command2")
    program.expect_box("Выберите ответ")
    program.click_control("Command3")
    program.expect_box("Нажмите кнопку ПРОВЕРИТЬ    ")
    check(program.caption("Label6") == "1", "a refused press moved the test on")

    errors = 0
    seen = set()
    for position in range(1, 22):
        entry = shown_entry(program, bank)
        check(entry is not None, f"question {position} is not from the bank")
        check(entry["text"] not in seen, f"question {position} was asked before")
        seen.add(entry["text"])
        right = position > wrong_answers
        chosen = entry["correct"] if right else entry["correct"] % 4 + 1
        caption = entry["options"][chosen - 1]
        option = wait_for(f"option {caption!r}", lambda: option_named(program, caption))
        program.click_at(*option.centre)
        wait_for("the option to be selected", lambda: option_named(program, caption).checked)
        program.click_control("Command2")
        errors += 0 if right else 1
        wait_for("the answer to be accepted", lambda: program.caption("Label7") == "Ответ принят"
                 and program.caption("Label4") == str(errors))
        if position < 21:
            program.click_control("Command4")
            wait_for(f"question {position + 1}", lambda: program.caption("Label6") == str(position + 1))
    ox, oy = program.frame_origin
    next_buttons = [n for n in program.nodes() if n.name == "Следующий вопрос"]
    check(all(n.rect[0] - ox >= 794 or n.rect[1] - oy >= 428 for n in next_buttons),
          "the Next button is still inside the window at the last question")
    return errors


def finish(program, grade, shots):
    program.click_control("Command3")
    box = wait_for("the grade box", program.alert)
    check(program.box_text(box) == "Покажите результат учителю",
          f"grade box says {program.box_text(box)!r}")
    check(program.caption("Label14") == grade,
          f"grade reads {program.caption('Label14')!r}, expected {grade!r}")
    program.screenshot(os.path.join(shots, "grade.png"))
    program.expect_box("Покажите результат учителю")
    frozen = (program.caption("Label11"), program.caption("Label13"))
    # The clock must stay still: give it more than one tick to move.
    time.sleep(2.2)
    check((program.caption("Label11"), program.caption("Label13")) == frozen,
          "the clock went on after the grade")
    names = {n.name for n in program.nodes() if n.showing}
    check("Следующий вопрос" not in names and "Ответ принят" not in names,
          "the Next button or the status line still shows with the grade")
    program.click_control("Command3")
    status = program.process.wait(timeout=TIMEOUT)
    check(status == 0, f"the program ended with status {status}")


def run(path, describe_path, shots):
    describe = json.loads(subprocess.run([describe_path], check=True, capture_output=True,
                                         text=True).stdout)
    bank = describe["bank"]
    session = Session()
    programs = []
    try:
        program = Program(path, session, describe)
        programs.append(program)
        check_title_screen(program, shots)
        check_clock_counts(program)
        print("title screen and clock: ok", flush=True)
        errors = take_test(program, bank, wrong_answers=4, shots=shots)
        print(f"21 questions answered, {errors} wrong", flush=True)
        finish(program, "Ваша оценка: 4", shots)
        print("grade, frozen clock and exit: ok", flush=True)

        early = Program(path, session, describe)
        programs.append(early)
        early.click_control("Command3")
        status = early.process.wait(timeout=TIMEOUT)
        check(status == 0, f"Exit before Start ended with status {status}")
        print("Exit before Start: ok", flush=True)
    finally:
        for program in programs:
            if program.process.poll() is None:
                program.process.kill()
                program.process.wait()
        session.close()


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    shots = sys.argv[3] if len(sys.argv) > 3 else tempfile.mkdtemp(prefix="infotest-shots-")
    os.makedirs(shots, exist_ok=True)
    try:
        run(sys.argv[1], sys.argv[2], shots)
    except Failure as failure:
        print(f"FAILED: {failure} (screenshots in {shots})", flush=True)
        return 1
    print(f"end-to-end: passed (screenshots in {shots})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
