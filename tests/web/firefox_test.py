#!/usr/bin/env python3
"""One whole test taken in headless Firefox ESR, as a pupil takes it.

    firefox_test.py [--browser firefox-esr] PAGE

Firefox is driven over WebDriver BiDi (its own --remote-debugging-port, no
separate driver), with trusted mouse input: the pupil meets the boxes, answers
all 21 questions, sees the grade that matches the errors counted, and ends
the program with status 0.
"""

import argparse
import json
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import websocket

# A fresh profile that asks nothing and reaches for no server of its own.
PROFILE_PREFS = {
    "app.update.disabledForTesting": True,
    "browser.shell.checkDefaultBrowser": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "toolkit.telemetry.reportingpolicy.firstRun": False,
    "browser.safebrowsing.update.enabled": False,
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
    "extensions.update.enabled": False,
}


class Firefox:
    def __init__(self, binary):
        self.profile = tempfile.mkdtemp(prefix="infotest-firefox-")
        with open(pathlib.Path(self.profile, "user.js"), "w") as prefs:
            for name, value in PROFILE_PREFS.items():
                prefs.write(f"user_pref({json.dumps(name)}, {json.dumps(value)});\n")
        self.process = subprocess.Popen(
            [binary, "--headless", "--no-remote", "--profile", self.profile,
             "--remote-debugging-port", "0", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        self.socket = None
        try:
            # Firefox refuses a WebSocket handshake that names an origin.
            self.socket = websocket.create_connection(
                self._listening_address() + "/session", timeout=120, suppress_origin=True)
            self.next_id = 0
            self.send("session.new", {"capabilities": {}})
            self.context = self.send("browsingContext.getTree", {})["contexts"][0]["context"]
        except BaseException:
            self.close()
            raise

    def _listening_address(self):
        found = []

        def read():
            for line in self.process.stderr:
                match = re.search(r"WebDriver BiDi listening on (ws://\S+)", line)
                if match and not found:
                    found.append(match.group(1))

        threading.Thread(target=read, daemon=True).start()
        deadline = time.monotonic() + 60
        while not found:
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise SystemExit("firefox did not start its WebDriver BiDi server")
            time.sleep(0.05)
        return found[0]

    def close(self):
        if self.socket:
            try:
                self.send("session.end", {})
                self.socket.close()
            except (OSError, RuntimeError, websocket.WebSocketException):
                pass  # the browser is killed either way
        self.process.kill()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)

    def send(self, method, params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if message.get("type") == "error" or "error" in message:
                    raise RuntimeError(f"{method}: {message.get('error')}: {message.get('message')}")
                return message["result"]

    def value(self, expression):
        """The expression's value in the page, passed back as JSON."""
        result = self.send("script.evaluate", {"expression": f"JSON.stringify({expression})",
                                               "awaitPromise": False, "target": {"context": self.context}})
        if result.get("type") != "success":
            raise RuntimeError(f"{expression}: {result.get('exceptionDetails', {}).get('text')}")
        encoded = result["result"].get("value")
        return None if encoded is None else json.loads(encoded)

    def wait_until(self, expression, seconds=30):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.value(expression):
                return True
            time.sleep(0.05)
        return False

    def centre(self, element_id):
        return self.value(f"(function(){{var r=document.getElementById({json.dumps(element_id)})"
                          ".getBoundingClientRect();return [Math.round(r.left+r.width/2),"
                          "Math.round(r.top+r.height/2)];})()")

    def click(self, element_id):
        """A trusted click at the centre of the element's box."""
        self.click_at(*self.centre(element_id))

    def click_at(self, x, y):
        actions = [{"type": "pointerMove", "x": x, "y": y}, {"type": "pointerDown", "button": 0},
                   {"type": "pointerUp", "button": 0}]
        self.send("input.performActions", {"context": self.context, "actions": [
            {"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
             "actions": actions}]})


def grade_for(errors, questions=21):
    percent = (questions - errors) / questions * 100
    return next(grade for grade, least in ((5, 90), (4, 75), (3, 50), (2, 0)) if percent >= least)


class WholeTest:
    def __init__(self, browser):
        self.browser = browser
        self.failures = 0

    def expect(self, condition, what):
        print(("ok    " if condition else "FAIL  ") + what, flush=True)
        self.failures += 0 if condition else 1

    def text(self, element_id):
        return self.browser.value(f"(function(){{var e=document.getElementById({json.dumps(element_id)});"
                                  "return e?e.textContent:null;})()")

    def box_closed_by_ok(self, prompt, what):
        self.expect(self.browser.wait_until("!!document.getElementById('MsgBox')", 5)
                    and self.text("MsgBoxText") == prompt, what)
        self.browser.click("MsgBoxOK")
        self.expect(self.browser.wait_until("!document.getElementById('MsgBox')", 5), "OK closes the box")

    def run(self, page):
        b = self.browser
        b.send("browsingContext.setViewport", {"context": b.context,
                                                "viewport": {"width": 1024, "height": 768}})
        b.send("browsingContext.navigate", {"context": b.context, "url": page.as_uri(), "wait": "complete"})
        self.expect(b.wait_until("document.documentElement.getAttribute('data-window')==='shown'"),
                    "the window is drawn")
        self.expect(b.value("document.title") == "Информация. Измерение информации. Ловенда",
                    "the tab has the window's title")
        b.click("Command1")
        self.expect(self.text("Label6") == "1", "Start shows question 1")
        b.click("Command4")
        self.box_closed_by_ok("Нажмите кнопку ПРОВЕРИТЬ", "Next before Check warns")
        b.click("Command2")
        self.box_closed_by_ok("Выберите ответ", "Check with nothing chosen warns")
        b.click("Command3")
        self.box_closed_by_ok("Нажмите кнопку ПРОВЕРИТЬ    ", "Exit before Check warns")

        next_place = b.centre("Command4")
        errors = 0
        steady = True
        for position in range(1, 22):
            # The same answer place every time: some right, some wrong.
            b.click("Option%d" % (position % 4 + 1))
            b.click("Command2")
            counted = int(self.text("Label4") or "0")
            steady = steady and self.text("Label7") == "Ответ принят" and counted in (errors, errors + 1)
            errors = counted
            if position < 21:
                b.click("Command4")
                steady = steady and self.text("Label6") == str(position + 1)
        self.expect(steady, "every answer is accepted and counts at most one error")
        self.expect(self.text("Label6") == "21", "the pupil reaches question 21")
        b.click_at(*next_place)
        self.expect(self.text("Label6") == "21", "a click where Next was does not pass question 21")
        b.click("Command3")
        self.expect(self.text("Label14") == f"Ваша оценка: {grade_for(errors)}",
                    f"Exit shows the grade for {errors} errors of 21")
        self.box_closed_by_ok("Покажите результат учителю", "and asks to show it to the teacher")
        b.click("Command3")
        self.expect(b.wait_until("document.documentElement.getAttribute('data-window')==='ended'", 5)
                    and b.value("document.documentElement.getAttribute('data-exit-status')") == "0",
                    "the second Exit ends the program with status 0")
        self.expect("Тест завершён. Эту вкладку можно закрыть." in b.value("document.body.textContent")
                    and not b.value("!!document.getElementById('Form1')"),
                    "the window leaves the page, which says the test is over")
        return 1 if self.failures else 0


def main():
    parser = argparse.ArgumentParser(description="One whole test in headless Firefox ESR.")
    parser.add_argument("--browser", default="firefox-esr")
    parser.add_argument("page", type=pathlib.Path)
    args = parser.parse_args()
    browser = Firefox(args.browser)
    try:
        return WholeTest(browser).run(args.page.resolve())
    finally:
        browser.close()


if __name__ == "__main__":
    sys.exit(main())
