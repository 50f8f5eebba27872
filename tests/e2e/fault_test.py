#!/usr/bin/python3
"""The keyboard and the faults a pupil's desktop can throw at the program.

Each case runs the shipped program under Xvfb with a session bus of its
own (see desktop.py), reads it through the accessibility bus and drives it
with xdotool and with the close requests a window manager sends:

  keyboard          the whole test taken with Tab, the arrow keys and space
  keyboard-at-21    Tab, Shift+Tab, space and Return at the last question
                    never take the test past it
  close-mid-test    a close request ends the program with status 0
  close-with-box    a close request while a message box is open is ignored
  click-burst       500 random clicks over the window, on the title screen
                    and at the last question (INFOTEST_BURST_SEED replays)
  ticks-with-box    clock ticks while a message box is open change nothing
                    but the clock

Every program's standard error is kept; a sanitizer's report in it fails
the case, as does any exit status but 0.

Usage: fault_test.py PROGRAM DESCRIBE CLOSE_WINDOW CASE... [--work DIR]
DESCRIBE prints the question bank and the control rectangles as JSON;
CLOSE_WINDOW sends a window the WM_DELETE_WINDOW client message.
"""

import json
import math
import os
import random
import subprocess
import sys
import tempfile
import time

from desktop import Failure, Program, Session, check, option_named, role_name, shown_entry, wait_for

START = "Начать тест"
CHECK = "Проверить"
EXIT = "Выход"
NEXT = "Следующий вопрос"
ACCEPTED = "Ответ принят"
PRESS_CHECK = "Нажмите кнопку ПРОВЕРИТЬ"
PRESS_CHECK_ON_EXIT = "Нажмите кнопку ПРОВЕРИТЬ    "
CHOOSE = "Выберите ответ"
SHOW_TEACHER = "Покажите результат учителю"

# More stops than the window has focusable controls: a walk round the focus
# chain that takes longer than this is going round in circles.
MAX_STOPS = 12


def grade_for(questions, errors):
    share = (questions - errors) / questions * 100
    if share >= 90:
        return "Ваша оценка: 5"
    if share >= 75:
        return "Ваша оценка: 4"
    if share >= 50:
        return "Ваша оценка: 3"
    return "Ваша оценка: 2"


class Context:
    """One case: its programs and where their output goes. The cases of one
    run share a session: the accessibility library keeps to the first bus
    it meets."""

    def __init__(self, paths, describe, work, session):
        self.paths = paths
        self.describe = describe
        self.bank = describe["bank"]
        self.work = work
        self.session = session
        self.programs = []

    def program(self, tag):
        stderr = os.path.join(self.work, f"{tag}.stderr")
        program = Program(self.paths["program"], self.session, self.describe, stderr)
        self.programs.append(program)
        return program

    def request_close(self, program):
        program.request_close(self.paths["close_window"])

    def close(self):
        for program in self.programs:
            program.stop()


# ---------------------------------------------------------------- keyboard

def focus_key(program, key):
    """Presses a key that moves the focus and waits for the focus to move."""
    before = program.focused()
    program.key(key)
    return wait_for(f"the focus to leave {before!r} on {key}", lambda: _moved(program, before))


def _moved(program, before):
    now = program.focused()
    if now is None:
        return None
    if before is not None and (now.role, now.name, now.rect) == (before.role, before.name, before.rect):
        return None
    return now


def tab_to(program, matches, what, key="Tab"):
    """Walks the focus chain with Tab until the focused control matches."""
    stops = []
    focused = wait_for("a focused control", program.focused)
    for _ in range(MAX_STOPS):
        if matches(focused):
            return focused
        stops.append(focused)
        focused = focus_key(program, key)
    raise Failure(f"{key} never reached {what}; stops: {stops}")


def named(name):
    return lambda node: node.name == name


def is_option(node):
    return node.role == "radio button"


def focus_chain(program, key="Tab"):
    """The stops of one walk round the focus chain, from the focused control."""
    first = wait_for("a focused control", program.focused)
    stops = [first]
    for _ in range(MAX_STOPS):
        focused = focus_key(program, key)
        if (focused.role, focused.name, focused.rect) == (first.role, first.name, first.rect):
            return stops
        stops.append(focused)
    raise Failure(f"{key} does not come back to {first!r}: {stops}")


def check_chain_in_view(program, stops, where):
    """Every stop of the focus chain is a control the pupil can see."""
    ox, oy, w, h = program.window_rect
    for stop in stops:
        x, y, sw, sh = stop.rect
        check(stop.showing and ox <= x and oy <= y and x + sw <= ox + w and y + sh <= oy + h,
              f"{where}: the focus stops on {stop!r} at {stop.rect}, outside the window {program.window_rect}")
    names = [(stop.role, stop.name) for stop in stops]
    check(len(set(names)) == len(names), f"{where}: a control is visited twice in one round: {stops}")


def describe_chain(stops):
    return " -> ".join("option" if is_option(stop) else stop.name.split("\n")[0] for stop in stops)


def close_box_with_keyboard(program, text):
    """Waits for a message box with this text and closes it with space on its button."""
    box = wait_for(f"the box {text!r}", program.alert)
    said = program.box_text(box)
    check(said == text, f"box says {said!r}, expected {text!r}")
    button = program.box_button(box)
    focused = wait_for("the focus on the box's button", program.focused)
    check(focused.rect == button.rect, f"the box's button has no focus; {focused!r} has")
    program.key("space")
    wait_for("the box to close", lambda: program.alert() is None)
    # The box had the input focus; a window manager would now hand it back
    # to the window, and there is none.
    program.focus_window()
    return wait_for("the focus back in the window", program.focused)


def select_with_keyboard(program, caption):
    """Tabs into the option group, walks it with the arrow keys and checks an option with space."""
    focused = tab_to(program, is_option, "the option group")
    for _ in range(MAX_STOPS):
        if focused.name == caption:
            break
        target = wait_for(f"option {caption!r}", lambda: option_named(program, caption))
        focused = focus_key(program, "Down" if target.rect[1] > focused.rect[1] else "Up")
        check(is_option(focused), f"the arrow keys left the option group for {focused!r}")
    check(focused.name == caption, f"the arrow keys never reached option {caption!r}")
    program.key("space")
    wait_for(f"option {caption!r} to be checked",
             lambda: [n.name for n in program.options() if n.checked] == [caption])


def press_with_keyboard(program, name):
    tab_to(program, named(name), f"the button {name!r}")
    program.key("space")


def case_keyboard(ctx):
    program = ctx.program("keyboard")
    program.focus_window()
    focused = wait_for("the focus", program.focused)
    check(focused.name == START, f"the focus starts on {focused!r}, not on the Start button")
    stops = focus_chain(program)
    print(f"focus chain on the title screen: {describe_chain(stops)}", flush=True)
    check_chain_in_view(program, stops, "title screen")
    names = [stop.name for stop in stops]
    check({START, CHECK, EXIT} <= set(names), f"the title screen's buttons are not all in the chain: {names}")
    check(NEXT not in names and not any(is_option(s) for s in stops),
          f"hidden controls take the focus on the title screen: {names}")

    press_with_keyboard(program, START)
    wait_for("the first question", lambda: program.caption("Label6") == "1"
             and shown_entry(program, ctx.bank) is not None and len(program.options()) == 4)
    focused = wait_for("the focus after Start", program.focused)
    print(f"focus after Start: {focused.name}", flush=True)
    stops = focus_chain(program)
    print(f"focus chain during the test: {describe_chain(stops)}", flush=True)
    check_chain_in_view(program, stops, "question 1")
    names = [stop.name for stop in stops]
    check({CHECK, EXIT, NEXT} <= set(names), f"the test's buttons are not all in the chain: {names}")
    check(START not in names, "the hidden Start button takes the focus")
    check(sum(is_option(s) for s in stops) == 1, f"the option group is not one stop of the chain: {names}")

    # The refusals, each box closed from the keyboard.
    for button, text in ((NEXT, PRESS_CHECK), (CHECK, CHOOSE), (EXIT, PRESS_CHECK_ON_EXIT)):
        press_with_keyboard(program, button)
        focused = close_box_with_keyboard(program, text)
        check(focused.name == button, f"the focus came back from the box {text!r} on {focused!r}, not {button!r}")
    check(program.caption("Label6") == "1", "a refused key press moved the test on")

    wrong_answers = 7
    errors = 0
    seen = set()
    for position in range(1, 22):
        entry = wait_for(f"question {position}", lambda: shown_entry(program, ctx.bank))
        check(entry["text"] not in seen, f"question {position} was asked before")
        seen.add(entry["text"])
        right = position > wrong_answers
        chosen = entry["correct"] if right else entry["correct"] % 4 + 1
        select_with_keyboard(program, entry["options"][chosen - 1])
        press_with_keyboard(program, CHECK)
        errors += 0 if right else 1
        wait_for("the answer to be accepted", lambda: program.caption("Label7") == ACCEPTED
                 and program.caption("Label4") == str(errors))
        if position < 21:
            press_with_keyboard(program, NEXT)
            wait_for(f"question {position + 1}", lambda: program.caption("Label6") == str(position + 1))
    print(f"21 questions answered from the keyboard, {errors} wrong", flush=True)
    stops = focus_chain(program)
    check_chain_in_view(program, stops, "question 21")
    check(NEXT not in [s.name for s in stops], "the Next button takes the focus at question 21")

    press_with_keyboard(program, EXIT)
    wait_for("the grade", lambda: program.caption("Label14") == grade_for(21, errors))
    close_box_with_keyboard(program, SHOW_TEACHER)
    press_with_keyboard(program, EXIT)
    program.expect_clean_end("the second Exit from the keyboard")
    print("grade and exit from the keyboard: ok", flush=True)


# ------------------------------------------------------- the last question

def answer_with_mouse(program, bank, last, check_last):
    """Takes the test with the mouse up to position last, all answers right."""
    program.click_control("Command1")
    wait_for("the first question", lambda: program.caption("Label6") == "1"
             and shown_entry(program, bank) is not None and len(program.options()) == 4)
    for position in range(1, last + 1):
        entry = wait_for(f"question {position}", lambda: shown_entry(program, bank))
        if position == last and not check_last:
            return
        caption = entry["options"][entry["correct"] - 1]
        option = wait_for(f"option {caption!r}", lambda: option_named(program, caption))
        program.click_at(*option.centre)
        wait_for("the option to be selected", lambda: option_named(program, caption).checked)
        program.click_control("Command2")
        wait_for("the answer to be accepted", lambda: program.caption("Label7") == ACCEPTED)
        if position < last:
            program.click_control("Command4")
            wait_for(f"question {position + 1}", lambda: program.caption("Label6") == str(position + 1))


def settle(program, where):
    """Shows that a key press at question 21 moved nothing: gives it time to
    be (wrongly) acted on, then looks."""
    time.sleep(0.15)
    check(program.caption("Label6") == "21", f"{where} moved the test to {program.caption('Label6')!r}")
    nodes = program.nodes()
    box = program.alert(nodes)
    check(box is None, f"{where} opened a box: {box and program.box_text(box, nodes)!r}")


def probe_last_question(program, key):
    """One round of the focus chain with key, pressing space and Return at
    every stop but Exit. The first press on an option chooses it and the
    first on Check with an option chosen judges the question; no press may
    take the test past 21, and the Next button never takes the focus."""
    stops = focus_chain(program, key)
    check(NEXT not in [s.name for s in stops], f"the Next button takes the focus at question 21 ({key})")
    boxes = 0
    for _ in stops:
        focused = wait_for("a focused control", program.focused)
        check(focused.name != NEXT, f"the Next button takes the focus at question 21 ({key})")
        for press in () if focused.name == EXIT else ("space", "Return"):
            where = f"{press} on {focused!r}"
            chosen = [n.name for n in program.options() if n.checked]
            judged = program.caption("Label7") == ACCEPTED
            program.key(press)
            if is_option(focused) and press == "space":
                wait_for(f"{where} to choose it",
                         lambda: [n.name for n in program.options() if n.checked] == [focused.name])
            elif focused.name == CHECK and not chosen:
                close_box_with_keyboard(program, CHOOSE)
                boxes += 1
            elif focused.name == CHECK and not judged:
                wait_for(f"{where} to judge question 21", lambda: program.caption("Label7") == ACCEPTED)
            settle(program, where)
        focus_key(program, key)
    return boxes


def case_keyboard_at_21(ctx):
    program = ctx.program("keyboard-at-21")
    answer_with_mouse(program, ctx.bank, last=21, check_last=False)
    check(program.caption("Label6") == "21", "the mouse did not reach question 21")
    program.focus_window()
    stops = focus_chain(program)
    print(f"focus chain at question 21: {describe_chain(stops)}", flush=True)
    check_chain_in_view(program, stops, "question 21")
    # From Check, so that the first presses find no option chosen.
    tab_to(program, named(CHECK), "the Check button")
    boxes = probe_last_question(program, "Tab")
    boxes += probe_last_question(program, "shift+Tab")
    check(program.caption("Label7") == ACCEPTED,
          "question 21 was not judged by space on an option and then on Check")
    # Judged now: this is where a press of Next would go to a position 22.
    boxes += probe_last_question(program, "Tab")
    boxes += probe_last_question(program, "shift+Tab")
    print(f"space and Return at every stop of question 21: still at 21 ({boxes} boxes closed)", flush=True)
    errors = int(program.caption("Label4"))
    press_with_keyboard(program, EXIT)
    wait_for("the grade", lambda: program.caption("Label14") == grade_for(21, errors))
    close_box_with_keyboard(program, SHOW_TEACHER)
    check(program.caption("Label6") == "21", "the grade moved the position")
    press_with_keyboard(program, EXIT)
    program.expect_clean_end("the second Exit at question 21")


# ------------------------------------------------------------ close requests

def case_close_mid_test(ctx):
    program = ctx.program("close-title")
    wait_for("the clock to count", lambda: (program.caption("Label13") or "0") != "0")
    ctx.request_close(program)
    program.expect_clean_end("a close request on the title screen")
    print("close request on the title screen: ended with status 0", flush=True)

    program = ctx.program("close-mid-test")
    answer_with_mouse(program, ctx.bank, last=2, check_last=False)
    entry = shown_entry(program, ctx.bank)
    option = option_named(program, entry["options"][0])
    program.click_at(*option.centre)
    wait_for("the option to be selected", lambda: option_named(program, entry["options"][0]).checked)
    ctx.request_close(program)
    program.expect_clean_end("a close request at question 2")
    print("close request at question 2 with an option chosen: ended with status 0", flush=True)


def case_close_with_box(ctx):
    program = ctx.program("close-with-box")
    program.click_control("Command1")
    wait_for("the first question", lambda: program.caption("Label6") == "1"
             and shown_entry(program, ctx.bank) is not None and len(program.options()) == 4)
    program.click_control("Command2")
    box = wait_for("the box", program.alert)
    check(program.box_text(box) == CHOOSE, f"box says {program.box_text(box)!r}")
    for _ in range(2):
        ctx.request_close(program)
    # Nothing may happen: give the request time to be (wrongly) acted on.
    time.sleep(1.0)
    check(program.running(), f"a close request with a box open ended the program ({program.process.returncode})")
    box = program.alert()
    check(box is not None and program.box_text(box) == CHOOSE, "the box went away on a close request")
    program.click_at(*program.box_button(box).centre)
    wait_for("the box to close", lambda: program.alert() is None)
    # Nor once the box is closed: the request was refused, not postponed.
    time.sleep(0.5)
    check(program.running(), "the close request was carried out once the box closed")

    entry = shown_entry(program, ctx.bank)
    caption = entry["options"][entry["correct"] - 1]
    program.click_at(*option_named(program, caption).centre)
    wait_for("the option to be selected", lambda: option_named(program, caption).checked)
    program.click_control("Command2")
    wait_for("the answer to be accepted", lambda: program.caption("Label7") == ACCEPTED
             and program.caption("Label4") == "0")
    program.click_control("Command4")
    wait_for("question 2", lambda: program.caption("Label6") == "2")
    check(program.running(), "the program ended while the test went on")
    print("close request with a box open: ignored; the test went on", flush=True)

    ctx.request_close(program)
    program.expect_clean_end("a close request after the box")
    print("close request after the box: ended with status 0", flush=True)


# --------------------------------------------------------------- click burst

class Watcher:
    """Reads the position, the status line and the grade label as fast as the
    accessibility bus answers, through objects looked up once. The grade
    label is hidden until the grade is shown, and a hidden control has no
    place on the screen: it is the one hidden label."""

    def __init__(self, program):
        self.program = program
        self.pyatspi = program.pyatspi
        app = program._application()
        wanted = {program.screen_rect(c): c for c in ("Label6", "Label7")}
        self.objects = {}
        hidden = []
        stack = [app]
        while stack:
            accessible = stack.pop()
            if accessible is None:
                continue
            if role_name(accessible, self.pyatspi) == "label":
                extents = accessible.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
                rect = (extents.x, extents.y, extents.width, extents.height)
                if rect in wanted:
                    self.objects[wanted[rect]] = accessible
                if not accessible.getState().contains(self.pyatspi.STATE_SHOWING):
                    hidden.append(accessible)
            for index in range(accessible.childCount):
                stack.append(accessible.getChildAtIndex(index))
        check(len(self.objects) == 2, f"labels not found: {sorted(set(wanted.values()) - set(self.objects))}")
        check(len(hidden) == 1, f"{len(hidden)} hidden labels, expected the grade label alone")
        self.objects["Label14"] = hidden[0]
        self.positions = []
        self.grade_seen = False
        self.last = None

    def read(self):
        """One reading, or None once the program has gone."""
        try:
            label6 = self.objects["Label6"]
            position = label6.name or ""
            status = self.objects["Label7"].name or ""
            grade = self.objects["Label14"]
            shown = grade.getState().contains(self.pyatspi.STATE_SHOWING) or bool(grade.name)
            # The window stays shown while the program runs; once it is
            # closing, what the labels say no longer counts.
            if not label6.getState().contains(self.pyatspi.STATE_SHOWING):
                return None
        except Exception:  # the program ended under the query
            return None
        if not self.positions or self.positions[-1] != position:
            self.positions.append(position)
        self.grade_seen = self.grade_seen or shown
        self.last = (position, status, shown)
        return self.last


def burst(ctx, program, rng, clicks, where):
    x0, y0, w, h = program.window_rect
    command = ["xdotool"]
    for _ in range(clicks):
        command += ["mousemove", str(rng.randrange(x0, x0 + w)), str(rng.randrange(y0, y0 + h)),
                    "mousedown", "1", "mouseup", "1", "sleep", "0.004"]
    watcher = Watcher(program)
    watcher.read()
    readings = 0
    started = time.monotonic()
    clicker = subprocess.Popen(command, env=ctx.session.env)
    while clicker.poll() is None:
        if watcher.read() is not None:
            readings += 1
        elif not program.running():
            break
    clicker.wait()
    elapsed = time.monotonic() - started
    for _ in range(20):  # what the last clicks did
        watcher.read()
    print(f"{where}: {clicks} clicks in {elapsed:.1f} s, {readings} readings, "
          f"positions seen: {' '.join(p or '-' for p in watcher.positions)}, "
          f"grade {'shown' if watcher.grade_seen else 'not shown'}", flush=True)

    numbers = [int(p) for p in watcher.positions if p]
    check(all(1 <= n <= 21 for n in numbers), f"{where}: the position went out of 1..21: {watcher.positions}")
    check(numbers == sorted(numbers), f"{where}: the position went back: {watcher.positions}")

    try:
        status = program.process.wait(timeout=1.0)
    except subprocess.TimeoutExpired:
        status = None
    if status is not None:
        report = program.sanitizer_report()
        check(report is None, f"{where}: a sanitizer reported:\n{report}")
        check(status == 0, f"{where}: the program ended with status {status}")
        # Exit ends the program only before Start, at a judged question below
        # 5, or once the grade is shown; the last reading must allow one of them.
        position = watcher.last[0]
        allowed = position == "" or int(position) < 5 or watcher.grade_seen
        check(allowed, f"{where}: the program ended at question {position} without showing the grade")
        print(f"{where}: ended with status 0 through Exit "
              f"({'before Start' if position == '' else 'with the grade' if watcher.grade_seen else 'below question 5'})",
              flush=True)
        return
    # Still running: close what boxes are open and end it with a close request.
    for _ in range(10):
        box = program.alert()
        if box is None:
            break
        program.click_at(*program.box_button(box).centre)
        wait_for("the box to close", lambda: program.alert() is None or program.alert().rect != box.rect)
    check(program.alert() is None, f"{where}: boxes keep coming")
    ctx.request_close(program)
    program.expect_clean_end(f"{where}: a close request after the burst")
    print(f"{where}: still running after the burst; a close request ended it with status 0", flush=True)


def case_click_burst(ctx):
    seed = int(os.environ.get("INFOTEST_BURST_SEED") or random.SystemRandom().randrange(2 ** 32))
    print(f"burst seed: {seed} (replay with INFOTEST_BURST_SEED={seed})", flush=True)
    rng = random.Random(seed)
    program = ctx.program("burst-title")
    wait_for("the clock to count", lambda: (program.caption("Label13") or "0") != "0")
    burst(ctx, program, rng, 500, "title screen")

    program = ctx.program("burst-1")
    answer_with_mouse(program, ctx.bank, last=1, check_last=False)
    burst(ctx, program, rng, 500, "question 1")

    program = ctx.program("burst-21")
    answer_with_mouse(program, ctx.bank, last=21, check_last=True)
    burst(ctx, program, rng, 500, "question 21, judged")


# ------------------------------------------------------------ ticks and boxes

def snapshot(program, clock_rects):
    """Everything the accessibility bus shows, the clock labels (minutes,
    seconds) apart."""
    nodes = program.nodes()
    clock = tuple(program.caption(c, nodes) for c in ("Label11", "Label13"))
    rest = [(n.role, n.name, n.showing, n.checked, n.focused, n.rect) for n in nodes
            if not (n.role == "label" and n.rect in clock_rects)]
    return clock, rest


def _seconds(clock):
    minutes, seconds = clock
    return int(minutes) * 60 + int(seconds)


def case_ticks_with_box(ctx):
    program = ctx.program("ticks-with-box")
    wait_for("the clock to count", lambda: program.caption("Label13"))
    program.click_control("Command1")
    wait_for("the first question", lambda: program.caption("Label6") == "1"
             and shown_entry(program, ctx.bank) is not None and len(program.options()) == 4)
    clock_rects = {program.screen_rect("Label11"), program.screen_rect("Label13")}
    program.click_control("Command2")
    box = wait_for("the box", program.alert)
    check(program.box_text(box) == CHOOSE, f"box says {program.box_text(box)!r}")
    wait_for("the box's button", lambda: program.box_button(box))
    t0 = time.monotonic()
    clock_before, before = snapshot(program, clock_rects)
    t1 = time.monotonic()
    # Two ticks or more, and nothing else may change meanwhile.
    time.sleep(2.3)
    t2 = time.monotonic()
    clock_after, after = snapshot(program, clock_rects)
    t3 = time.monotonic()
    check(None not in clock_before + clock_after, f"clock labels not found: {clock_before}")
    check(any(role == "alert" for role, *_ in before) and len(before) > 20,
          f"the snapshot misses the window or the box: {before}")
    changed = [(b, a) for b, a in zip(before, after) if b != a]
    check(len(before) == len(after) and not changed,
          f"ticks with a box open changed more than the clock: {changed or (len(before), len(after))}")
    ticked = _seconds(clock_after) - _seconds(clock_before)
    # The clock was read somewhere inside each snapshot; a tick a second,
    # give or take one for where in its second each reading fell.
    least, most = max(1, math.floor(t2 - t1) - 1), math.ceil(t3 - t0) + 1
    check(least <= ticked <= most, f"the clock went from {clock_before} to {clock_after} in "
          f"{t2 - t1:.1f}..{t3 - t0:.1f} s with a box open (expected {least}..{most} ticks)")
    print(f"box open for 2.3 s: the clock went {':'.join(clock_before)} -> {':'.join(clock_after)}, "
          f"{len(before)} other objects unchanged", flush=True)
    program.expect_box(CHOOSE)
    entry = shown_entry(program, ctx.bank)
    caption = entry["options"][entry["correct"] - 1]
    program.click_at(*option_named(program, caption).centre)
    wait_for("the option to be selected", lambda: option_named(program, caption).checked)
    program.click_control("Command2")
    wait_for("the answer to be accepted", lambda: program.caption("Label7") == ACCEPTED)
    ctx.request_close(program)
    program.expect_clean_end("a close request after the ticks")


CASES = {
    "keyboard": case_keyboard,
    "keyboard-at-21": case_keyboard_at_21,
    "close-mid-test": case_close_mid_test,
    "close-with-box": case_close_with_box,
    "click-burst": case_click_burst,
    "ticks-with-box": case_ticks_with_box,
}


def main(argv):
    work = None
    if "--work" in argv:
        at = argv.index("--work")
        work = argv[at + 1]
        argv = argv[:at] + argv[at + 2:]
    if len(argv) < 5 or any(case not in CASES for case in argv[4:]):
        print(__doc__)
        return 2
    paths = {"program": argv[1], "describe": argv[2], "close_window": argv[3]}
    work = work or tempfile.mkdtemp(prefix="infotest-faults-")
    os.makedirs(work, exist_ok=True)
    describe = json.loads(subprocess.run([paths["describe"]], check=True, capture_output=True,
                                         text=True).stdout)
    failed = []
    session = Session()
    try:
        for name in argv[4:]:
            started = time.monotonic()
            ctx = Context(paths, describe, work, session)
            try:
                CASES[name](ctx)
            except Failure as failure:
                print(f"{name}: FAILED: {failure} (program output in {work})", flush=True)
                failed.append(name)
            else:
                print(f"{name}: passed in {time.monotonic() - started:.1f} s", flush=True)
            finally:
                ctx.close()
    finally:
        session.close()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
