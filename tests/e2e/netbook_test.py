#!/usr/bin/python3
"""Opens the program on a netbook's 1024 x 600 screen under a window manager
with a taskbar (icewm), so that the work area is smaller than the screen: the
window, frame and all, must lie wholly inside the work area, and the buttons
along its bottom must take clicks.

Usage: netbook_test.py PROGRAM DESCRIBE [SCREENSHOT_DIR]
"""

import json
import os
import subprocess
import sys
import tempfile

from desktop import Failure, Program, run_with_shots, Session, check, wait_for

SCREEN = (1024, 600)


def run(path, describe_path, shots):
    describe = json.loads(subprocess.run([describe_path], check=True, capture_output=True,
                                         text=True).stdout)
    session = Session(screen="%dx%d" % SCREEN, window_manager="icewm")
    program = None
    try:
        wx, wy, ww, wh = session.work_area()
        check(wh < SCREEN[1], f"the work area {ww} x {wh} leaves no room for a taskbar")
        program = Program(path, session, describe, os.path.join(shots, "netbook.stderr"))
        x, y, w, h = wait_for("the window's frame", program.outer_frame)
        program.screenshot(os.path.join(shots, "netbook.png"))
        print(f"work area ({wx}, {wy}) {ww} x {wh}; window frame ({x}, {y}) {w} x {h}", flush=True)
        check(wx <= x and wy <= y and x + w <= wx + ww and y + h <= wy + wh,
              "the window's frame does not lie wholly inside the work area")
        # Moved no more than needed: the laid-out left edge, and the bottom
        # on the taskbar's edge.
        check(x == 107 and y + h == wy + wh, f"the window moved further than needed: ({x}, {y})")
        # Start, Check and Exit lie at the bottom of the window, where the
        # taskbar covered them before: clicks reach them. Exit after one
        # checked question ends the program.
        program.click_control("Command1")
        wait_for("the first question", lambda: len(program.options()) == 4)
        program.click_control("Command2")
        # The window manager places the box itself, and the box's position
        # read back through the accessibility bus misses its frame: Enter
        # closes it, as its button has the focus.
        box = wait_for("the box", program.alert)
        check(program.box_text(box) == "Выберите ответ", f"box says {program.box_text(box)!r}")
        program.key("Return")
        wait_for("the box to close", lambda: program.alert() is None)
        program.click_at(*program.options()[0].centre)
        wait_for("the option to be selected", lambda: program.options()[0].checked)
        program.click_control("Command2")
        wait_for("the answer to be accepted", lambda: program.caption("Label7") == "Ответ принят")
        program.click_control("Command3")
        program.expect_clean_end("Exit on the netbook screen")
    finally:
        if program:
            program.stop()
        session.close()


if __name__ == "__main__":
    sys.exit(run_with_shots(run, __doc__, "netbook screen", sys.argv))
