#!/usr/bin/python3
"""A pupil who cannot see takes the start of a test and the grade with Orca,
the screen reader: the keyboard only, and what Orca speaks checked at every
step.

Usage: screen_reader_test.py PROGRAM DESCRIBE [SCREENSHOT_DIR]

Orca runs through orca_runner.py, which writes down what it would speak.
Each key waits for what it must make Orca say, never for a fixed time.
"""

import json
import os
import re
import subprocess
import sys
import tempfile

from desktop import Failure, Program, Session, check, run_with_shots, wait_for

# What Orca speaks in its own words differs between its versions ("push
# button" or "button", a "notification" before an announcement or not), so
# only the program's own texts are looked for.
QUESTION = re.compile(r"Вопрос (\d+) из 21\. (.+)")


class Orca:
    def __init__(self, session, work):
        self.path = os.path.join(work, "utterances.jsonl")
        open(self.path, "w").close()
        env = dict(session.env)
        env.update({"HOME": work, "XDG_CONFIG_HOME": os.path.join(work, "config"),
                    "XDG_DATA_HOME": os.path.join(work, "data"), "XDG_CACHE_HOME": os.path.join(work, "cache"),
                    "GTK_MODULES": "gail:atk-bridge", "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"})
        # Orca's own words are matched in English, whatever the machine speaks.
        env.pop("LANGUAGE", None)
        runner = os.path.join(os.path.dirname(os.path.abspath(__file__)), "orca_runner.py")
        self.log = open(os.path.join(work, "orca.log"), "wb")
        self.process = subprocess.Popen(["/usr/bin/python3", runner, self.path], env=env,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        self.heard = 0  # utterances already taken by a check

    def lines(self):
        with open(self.path, encoding="utf-8") as lines:
            return [json.loads(line) for line in lines if line.strip()]

    def said(self):
        return [line for line in self.lines() if isinstance(line, str)]

    def descriptions_fresh(self):
        """Waits, where Orca keeps the descriptions it spoke for a while (Orca
        48: two seconds), until it has dropped them: a pupil who listens to
        the new question takes longer than that, the test does not."""
        marks = lambda: [line for line in self.lines() if isinstance(line, dict)]
        wait_for("how Orca takes descriptions", marks)
        if marks()[0]["descriptions"] == "live":
            return
        seen = len(marks())
        wait_for("Orca to drop the descriptions it spoke", lambda: len(marks()) > seen, timeout=10)

    def expect(self, what, matches):
        """Waits until Orca says something that `matches`, after what earlier
        checks took; returns it."""
        def find():
            check(self.process.poll() is None, f"Orca ended (status {self.process.returncode})")
            said = self.said()
            for index in range(self.heard, len(said)):
                if matches(said[index]):
                    self.heard = index + 1
                    return said[index]
            return None
        return wait_for(what, find, timeout=30)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
        self.log.close()


def key(session, name):
    subprocess.run(["xdotool", "key", name], env=session.env, check=True)


def question_said(number):
    def matches(text):
        found = QUESTION.search(text)
        return found is not None and int(found.group(1)) == number
    return matches


def answer_question(session, orca, number, bank_texts, last):
    """From the button that has the focus after the question came: Tab onto
    the answers, choose one, check it, and go on to the next question."""
    orca.descriptions_fresh()
    key(session, "Tab")
    heard = orca.expect(f"the question {number} with its first answer", question_said(number))
    check(QUESTION.search(heard).group(2).rstrip(" .") in bank_texts, f"not a question of the bank: {heard!r}")
    key(session, "Down")
    orca.expect("an answer selected by the arrow", lambda text: "selected radio button" in text
                and "not selected" not in text)
    key(session, "Tab")
    orca.expect("the Check button", lambda text: text.startswith("Проверить"))
    key(session, "space")
    orca.expect("the judgement", lambda text: re.search(r"Ответ принят\. Ошибок: \d+\.?$", text))
    key(session, "Tab")
    orca.expect("the Exit button", lambda text: text.startswith("Выход"))
    if last:
        return
    key(session, "Tab")
    orca.expect("the Next button", lambda text: text.startswith("Следующий вопрос"))
    key(session, "space")
    orca.expect(f"question {number + 1} announced", question_said(number + 1))


def run(path, describe_path, shots):
    describe = json.loads(subprocess.run([describe_path], check=True, capture_output=True, text=True).stdout)
    bank_texts = {entry["text"].rstrip(" .") for entry in describe["bank"]}
    session = Session(window_manager="icewm")
    work = tempfile.mkdtemp(prefix="infotest-orca-")
    orca = program = None
    try:
        orca = Orca(session, work)
        orca.expect("Orca to start", lambda text: text.startswith("Screen reader on"))
        program = Program(path, session, describe, os.path.join(shots, "screen-reader.stderr"))
        orca.expect("the Start button", lambda text: text.startswith("Начать тест"))
        print("Orca speaks the focused Start button", flush=True)

        key(session, "space")
        orca.expect("question 1 announced after Start", question_said(1))
        # The focus is on Check; Exit, then Next, then the answers.
        key(session, "Tab")
        orca.expect("the Exit button", lambda text: text.startswith("Выход"))
        key(session, "Tab")
        orca.expect("the Next button", lambda text: text.startswith("Следующий вопрос"))
        for number in range(1, 6):
            answer_question(session, orca, number, bank_texts, last=number == 5)
            print(f"question {number}: the question with the answers, the judgement, the next question", flush=True)

        key(session, "space")
        orca.expect("the grade's box", lambda text: "Покажите результат учителю" in text)
        check(not any("Ваша оценка" in text for text in orca.said()),
              "the grade was spoken while its box was open")
        key(session, "Return")
        orca.expect("the grade, once its box is closed", lambda text: re.search(r"Ваша оценка: [2-5]\.?$", text))
        print("the grade is spoken once its box is closed", flush=True)
        program.screenshot(os.path.join(shots, "screen-reader-grade.png"))
    except Failure:
        if orca:
            print("Orca said:\n  " + "\n  ".join(orca.said()), flush=True)
        raise
    finally:
        if program:
            program.stop()
        if orca:
            orca.stop()
        session.close()


if __name__ == "__main__":
    sys.exit(run_with_shots(run, __doc__, "screen reader", sys.argv))
