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
import subprocess
import sys
import tempfile
import time

from desktop import Failure, Program, run_with_shots, Session, check, option_named, shown_entry, wait_for


def check_title_screen(program, shots):
    shot = os.path.join(shots, "title.png")
    wait_for("the clock to count", lambda: (program.caption("Label13") or "0") != "0")
    program.screenshot(shot)
    nodes = program.nodes()
    names = {n.name for n in nodes if n.role == "push button" and n.showing}
    check({"Начать тест", "Проверить", "Выход"} <= names,
          f"buttons on the title screen: {names}; roles shown: {sorted({n.role for n in nodes if n.showing})}")
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
    program.expect_clean_end("the second Exit")


def run(path, describe_path, shots):
    describe = json.loads(subprocess.run([describe_path], check=True, capture_output=True,
                                         text=True).stdout)
    bank = describe["bank"]
    session = Session()
    programs = []
    try:
        program = Program(path, session, describe, os.path.join(shots, "whole-test.stderr"))
        programs.append(program)
        check_title_screen(program, shots)
        check_clock_counts(program)
        print("title screen and clock: ok", flush=True)
        errors = take_test(program, bank, wrong_answers=4, shots=shots)
        print(f"21 questions answered, {errors} wrong", flush=True)
        finish(program, "Ваша оценка: 4", shots)
        print("grade, frozen clock and exit: ok", flush=True)

        early = Program(path, session, describe, os.path.join(shots, "early-exit.stderr"))
        programs.append(early)
        early.click_control("Command3")
        early.expect_clean_end("Exit before Start")
        print("Exit before Start: ok", flush=True)
    finally:
        for program in programs:
            program.stop()
        session.close()


if __name__ == "__main__":
    sys.exit(run_with_shots(run, __doc__, "end-to-end", sys.argv))
