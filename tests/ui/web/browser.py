#!/usr/bin/env python3
"""Runs the page in headless Chromium over the DevTools protocol.

  browser.py tests PAGE   the test build of the page: prints the output of the
                          tests that run inside it and passes when they pass.
  browser.py page PAGE    the finished page, from outside with trusted input:
                          a whole test by mouse, the keyboard, a small
                          viewport, a fresh run after the end, and no network
                          request at all.
"""

import argparse
import base64
import json
import pathlib
import sys
import time

# The DevTools client shared with the benchmark.
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "web"))
import devtools  # noqa: E402


class Browser(devtools.Chromium):
    """The browser's page, noting the page's network requests and console
    output."""

    def __init__(self, binary):
        self.requests = []
        self.console = []
        self.on_console = None
        # The tests inside the page run for minutes without answering.
        super().__init__(binary, timeout=900)
        for domain in ("Page", "Runtime", "Network", "Log"):
            self.send(domain + ".enable")

    def event(self, method, params):
        if method == "Network.requestWillBeSent":
            self.requests.append(params["request"]["url"])
        elif method == "Runtime.consoleAPICalled":
            text = " ".join(str(arg.get("value", arg.get("description", ""))) for arg in params["args"])
            self.console.append(text)
            if self.on_console:
                self.on_console(text)
        elif method == "Runtime.exceptionThrown":
            self.console.append("exception: " + json.dumps(params["exceptionDetails"])[:500])
        elif method == "Log.entryAdded":
            self.console.append(params["entry"]["level"] + ": " + params["entry"]["text"])

    def viewport(self, width, height):
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})

    def navigate(self, url):
        self.send("Page.navigate", {"url": url})

    def click_at(self, x, y):
        for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent",
                      {"type": kind, "x": x, "y": y, "button": "left", "buttons": 1, "clickCount": 1})

    def click(self, element_id):
        """A trusted click in the middle of an element; False when it is not shown."""
        rect = self.evaluate("(function(e){if(!e)return null;var r=e.getBoundingClientRect();"
                             "return [r.left+r.width/2,r.top+r.height/2];})(document.getElementById(%s))"
                             % json.dumps(element_id))
        if not rect:
            return False
        self.click_at(rect[0], rect[1])
        return True

    KEYS = {"Tab": 9, "Enter": 13, " ": 32, "ArrowDown": 40}

    def key(self, name, repeats=0):
        """A trusted key press, held for `repeats` repeated key downs."""
        code = self.KEYS[name]
        common = {"key": name, "code": "Space" if name == " " else name, "windowsVirtualKeyCode": code}
        down = dict(common, type="keyDown")
        if name in (" ", "Enter"):
            down["text"] = "\r" if name == "Enter" else " "
        self.send("Input.dispatchKeyEvent", down)
        for _ in range(repeats):
            self.send("Input.dispatchKeyEvent", dict(down, autoRepeat=True))
        self.send("Input.dispatchKeyEvent", dict(common, type="keyUp"))

    def screenshot(self, path):
        data = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        pathlib.Path(path).write_bytes(base64.b64decode(data))


def run_tests(browser, page, arguments):
    browser.on_console = lambda text: print(text, flush=True)
    browser.viewport(1024, 768)
    browser.navigate(page.as_uri() + ("#" + " ".join(arguments) if arguments else ""))
    if not browser.wait_for("document.documentElement.hasAttribute('data-tests')", seconds=900):
        print("the tests did not finish")
        return 1
    verdict = browser.evaluate("document.documentElement.getAttribute('data-tests')")
    print("web window tests in Chromium:", verdict)
    return 0 if verdict == "passed" else 1


class PageChecks:
    def __init__(self, browser, screenshots, axe=None):
        self.browser = browser
        self.screenshots = screenshots
        if axe and not axe.is_file():
            raise SystemExit("browser.py: no axe-core at %s; scripts/setup.sh test installs it" % axe)
        self.axe = axe.read_text(encoding="utf-8") if axe else None
        self.failures = []

    def expect(self, condition, what):
        print(("ok      " if condition else "FAILED  ") + what, flush=True)
        if not condition:
            self.failures.append(what)

    def shot(self, name):
        """A screen the pupil sees: its screenshot, and its accessibility
        audit."""
        if self.screenshots:
            pathlib.Path(self.screenshots).mkdir(parents=True, exist_ok=True)
            self.browser.screenshot(pathlib.Path(self.screenshots, name + ".png"))
        if self.axe:
            self.audit(name)

    def audit(self, name):
        """axe-core's every rule on the screen, best practices included; a
        violation names the rule and the elements."""
        if not self.value("typeof axe === 'object'"):
            self.browser.evaluate(self.axe)
        result = self.browser.send("Runtime.evaluate", {
            "expression": "axe.run(document, {resultTypes: ['violations']}).then(function (r) {"
                          "return r.violations.map(function (v) { return v.id + ' (' + v.impact + '): ' +"
                          "v.nodes.map(function (n) { return n.target.join(' '); }).join(', '); }); })",
            "awaitPromise": True, "returnByValue": True})
        violations = result.get("result", {}).get("value")
        if violations is None:
            self.expect(False, "axe-core ran on the screen '%s': %s" % (name, json.dumps(result)[:300]))
            return
        self.expect(not violations, "axe-core finds no violation on the screen '%s' %s"
                    % (name, "; ".join(violations)))

    def forced_colours(self):
        """In forced colours (a high-contrast theme) every control of the
        question stays shown in the theme's system colours, and the focus
        is drawn without a shadow."""
        b = self.browser
        b.send("Emulation.setEmulatedMedia", {"features": [{"name": "forced-colors", "value": "active"}]})
        self.expect(b.wait_for("matchMedia('(forced-colors: active)').matches", 5), "forced colours are on")
        self.expect(self.value("getComputedStyle(document.getElementById('Command2')).backgroundColor")
                    != "rgb(128, 255, 128)", "the table's colours give way to the theme's")
        shown = self.value("['Command2','Command3','Command4','Frame1','Option1','Option2','Option3','Option4']"
                           ".filter(function (id) { var e = document.getElementById(id), r = e.getBoundingClientRect();"
                           "return getComputedStyle(e).visibility === 'visible' && r.width > 0 && r.height > 0; })"
                           ".length")
        self.expect(shown == 8, "every button, the frame and every option stay shown")
        for _ in range(10):
            if self.value("document.activeElement.type") == "radio":
                break
            b.key("Tab")
        ring = self.value("(function (e) { var s = getComputedStyle(e);"
                          "return [s.outlineStyle, s.outlineWidth]; })"
                          "(document.activeElement.nextElementSibling)")
        self.expect(ring == ["solid", "2px"], "the focused answer has a solid outline: %s" % ring)
        self.tab_to("Command2")
        ring = self.value("getComputedStyle(document.activeElement).outlineStyle")
        self.expect(ring == "solid", "the focused button has a solid outline")
        self.shot("question-forced-colours")
        b.send("Emulation.setEmulatedMedia", {"features": [{"name": "forced-colors", "value": "none"}]})
        self.expect(b.wait_for("getComputedStyle(document.getElementById('Command2')).backgroundColor"
                               "==='rgb(128, 255, 128)'", 5),
                    "outside forced colours the table's colours are back")

    def value(self, expression):
        return self.browser.evaluate(expression)

    def text(self, element_id):
        return self.value("(document.getElementById(%s)||{}).textContent" % json.dumps(element_id))

    def topmost_option(self):
        return self.value("['Option1','Option2','Option3','Option4'].map(function(id){"
                          "return [document.getElementById(id).getBoundingClientRect().top,id];})"
                          ".sort(function(a,b){return a[0]-b[0];})[0][1]")

    def tab_to(self, element_id):
        for _ in range(30):
            if self.value("document.activeElement.id") == element_id:
                return
            self.browser.key("Tab")
        self.expect(False, "Tab reaches " + element_id)

    # Holds the program back: its WebAssembly is instantiated only once the
    # check calls __release(true), or fails on __release(false). The page
    # hears that its fonts have loaded only on __releaseFonts().
    HOLD_PROGRAM = """
(function () {
  var instantiate = WebAssembly.instantiate, go, fontsGo;
  var released = new Promise(function (resolve) { go = resolve; });
  var fontsReleased = new Promise(function (resolve) { fontsGo = resolve; });
  window.__release = go;
  window.__releaseFonts = fontsGo;
  var load = FontFace.prototype.load;
  FontFace.prototype.load = function () {
    var loading = load.call(this);
    return fontsReleased.then(function () { return loading; });
  };
  // What the window has at the moment it is first shown.
  new MutationObserver(function (changes, observer) {
    var stage = document.getElementById('Stage'), image = document.getElementById('Picture1');
    if (!stage || stage.hasAttribute('data-hidden')) return;
    observer.disconnect();
    var faces = [];
    document.fonts.forEach(function (face) { faces.push(face.status); });
    window.__atReveal = {fonts: faces, image: image.complete && image.naturalWidth > 0};
  }).observe(document, {attributes: true, subtree: true, attributeFilter: ['data-hidden']});
  WebAssembly.instantiate = function () {
    var args = arguments;
    return released.then(function (run) {
      return run ? instantiate.apply(WebAssembly, args) : Promise.reject(new Error('held back'));
    });
  };
})();
"""

    def before_the_program_runs(self, page):
        """The window the page draws before its program runs: whole, with the
        focus on Start; what the pupil does then is carried out once the
        program runs, the clock counts from when the window showed, and a
        program that fails to start leaves the note in its place."""
        b = self.browser
        hold = b.send("Page.addScriptToEvaluateOnNewDocument", {"source": self.HOLD_PROGRAM})["identifier"]
        try:
            b.navigate(page.as_uri())
            loaded = b.wait_for("(function () { var faces = [];"
                                " document.fonts.forEach(function (face) { faces.push(face.status); });"
                                " return faces.length > 0 && faces.every(function (s) { return s === 'loaded'; });"
                                "})()", 10)
            self.expect(loaded and self.value("document.getElementById('Stage').hasAttribute('data-hidden')"),
                        "the window stays unseen until the page has heard that its fonts are loaded")
            b.evaluate("__releaseFonts()")
            self.expect(b.wait_for("!document.getElementById('Stage').hasAttribute('data-hidden')", 10),
                        "the page shows its window before the program runs")
            at_reveal = self.value("window.__atReveal")
            self.expect(at_reveal and at_reveal["image"] and at_reveal["fonts"]
                        and all(status == "loaded" for status in at_reveal["fonts"]),
                        "whole from its first frame, its fonts loaded and its image decoded: %s" % at_reveal)
            self.expect(self.value("document.activeElement.id") == "Command1", "the focus on Start")
            self.shot("title-before-the-program")
            b.key("Tab")
            self.expect(self.value("document.activeElement.id") == "Command1", "a Tab waits for the program")
            b.click("Command1")
            self.expect(self.text("Label6") == "" and self.value("document.activeElement.id") == "Command1",
                        "and so does a click")
            # Let more than a second pass on the window's clock.
            b.wait_for("performance.now() > infotestPage.windowShownAt() + 1500", 10)
            b.evaluate("__release(true)")
            self.expect(b.wait_for("document.documentElement.getAttribute('data-window')==='shown'", 10),
                        "the program takes the window over")
            self.expect(self.text("Label6") == "1", "the Tab and the click on Start, kept, start the test")
            self.expect(b.wait_for("document.getElementById('Label13').textContent!==''", 5), "the clock runs")
            shown_for = self.value("performance.now() - infotestPage.windowShownAt()")
            self.expect(shown_for < 2400,
                        "it counted the first second from when the window showed, not from the program's start "
                        "(shown at %.0f ms after the window)" % shown_for)

            b.navigate(page.as_uri())
            b.wait_for("typeof __releaseFonts === 'function'", 10)
            b.evaluate("__releaseFonts()")
            b.wait_for("!document.getElementById('Stage').hasAttribute('data-hidden')", 10)
            b.evaluate("__release(false)")
            self.expect(b.wait_for("document.documentElement.getAttribute('data-exit-status')==='1'", 10)
                        and self.value("!document.getElementById('Stage')&&!document.getElementById('Note').hidden"),
                        "a program that fails to start leaves the note in place of the window, status 1")
        finally:
            b.send("Page.removeScriptToEvaluateOnNewDocument", {"identifier": hold})

    def run(self, page):
        b = self.browser
        b.viewport(1024, 768)
        b.navigate(page.as_uri())
        self.expect(b.wait_for("document.documentElement.getAttribute('data-window')==='shown'"),
                    "the window is drawn and marked shown")
        self.expect(self.value("document.getElementById('Form1').getBoundingClientRect().width") == 794,
                    "drawn 1:1 in a viewport larger than the window")
        self.expect(self.value("document.activeElement.id") == "Command1", "the focus starts on Command1")
        self.expect(b.wait_for("document.getElementById('Picture1').naturalWidth===716", 5),
                    "the title image inside the page is 716 pixels wide")
        self.shot("title")

        b.viewport(480, 320)
        time.sleep(0.2)
        fits = self.value("(function(){var r=document.getElementById('Stage').getBoundingClientRect();"
                          "return r.left>=0&&r.top>=0&&r.right<=480.5&&r.bottom<=320.5&&"
                          "Math.abs(r.width-794*Math.min(480/794,320/428))<0.5&&"
                          "document.documentElement.scrollWidth<=480&&document.documentElement.scrollHeight<=320;})()")
        self.expect(fits, "a 480 x 320 viewport scales the whole window down to fit, without scrolling")
        self.shot("viewport-480x320")
        b.viewport(1024, 768)
        time.sleep(0.2)

        # The keyboard, with trusted keys: the browser's own handling of Tab,
        # Space and Enter must not act a second time.
        b.key("Tab")
        self.expect(self.value("document.activeElement.id") == "Command2", "Tab moves from Command1 to Command2")
        b.key("Tab")
        b.key("Tab")
        b.key("Tab")
        self.expect(self.value("document.activeElement.id") == "Command1", "Tab wraps round the title screen")
        b.key(" ")
        self.expect(self.text("Label6") == "1", "Space on Start starts the test")
        self.expect(b.wait_for("document.getElementById('Label13').textContent!==''", 3),
                    "the clock counts")
        self.shot("question")
        self.forced_colours()
        focused = self.value("document.activeElement.id")
        b.key("Tab")
        b.key("Tab")
        after = self.value("document.activeElement.id")
        self.expect(focused != after and after in ("Command2", "Command3", "Command4", self.topmost_option()),
                    "Tab goes on round the window after Start")
        self.tab_to("Command4")
        b.key(" ")
        self.expect(self.text("MsgBoxText") == "Нажмите кнопку ПРОВЕРИТЬ", "Next before Check warns")
        self.shot("box-press-check")
        b.key("Enter")
        self.expect(self.value("!document.getElementById('MsgBox')"), "Enter closes the box, and only once")
        self.expect(self.value("document.activeElement.id") == "Command4", "the focus returns to Next")
        b.click("Command2")
        self.expect(self.text("MsgBoxText") == "Выберите ответ", "Check with nothing chosen warns")
        self.shot("box-choose")
        # Trusted clicks behind the box, on Exit and on an answer, then Tab:
        # the focus stays on the box's OK and nothing behind it changes.
        b.click("Command3")
        b.click(self.topmost_option())
        b.key("Tab")
        self.expect(self.value("document.activeElement.id") == "MsgBoxOK"
                    and self.text("MsgBoxText") == "Выберите ответ"
                    and not self.value("document.querySelector('#Frame1 input:checked')"),
                    "clicks behind the box and Tab leave the focus on its OK")
        b.click("MsgBoxOK")
        b.click(self.topmost_option())
        b.click("Command2")
        self.tab_to("Command4")
        b.key(" ", repeats=3)
        self.expect(self.text("Label6") == "2", "Space held on Next moves on one question")
        b.click("Command3")
        self.expect(self.text("MsgBoxText") == "Нажмите кнопку ПРОВЕРИТЬ    ", "Exit before Check warns")
        self.shot("box-exit")
        b.click("MsgBoxOK")

        # The whole test by trusted mouse clicks.
        for position in range(2, 22):
            b.click(self.topmost_option())
            b.click("Command2")
            if position < 21:
                b.click("Command4")
        self.expect(self.text("Label6") == "21", "the pupil reaches question 21")
        self.expect(self.value("getComputedStyle(document.getElementById('Command4')).visibility") == "hidden",
                    "Next is out of reach at question 21")
        b.click("Command3")
        self.expect(self.text("Label14").startswith("Ваша оценка: "), "Exit shows the grade")
        self.expect(self.text("MsgBoxText") == "Покажите результат учителю", "and asks to show it to the teacher")
        self.shot("box-teacher")
        b.click("MsgBoxOK")
        self.shot("grade")
        b.click("Command3")
        self.expect(self.value("document.documentElement.getAttribute('data-exit-status')") == "0",
                    "the second Exit ends the program with status 0")
        self.expect(self.value("!document.getElementById('Stage')"), "nothing of the window stays on the page")
        self.shot("end")
        b.click("Again")
        self.expect(b.wait_for("document.documentElement.getAttribute('data-window')==='shown'"),
                    "the link starts the test afresh")
        self.expect(self.text("Label6") == "", "in a fresh run")

        self.expect(not any(u != page.as_uri() and not u.startswith("data:") for u in b.requests),
                    "no network request: " + ", ".join(u[:60] for u in b.requests if not u.startswith("data:")))
        problems = [line for line in b.console
                    if "Content Security Policy" in line or "Refused" in line or line.startswith("exception")
                    or line.startswith("error")]
        self.expect(not problems, "no error, no exception, nothing refused by the policy " + "; ".join(problems))

        self.before_the_program_runs(page)

        # A browser without WebAssembly keeps the note, and the run ends
        # with status 1.
        b.send("Page.addScriptToEvaluateOnNewDocument", {"source": "delete window.WebAssembly;"})
        b.navigate(page.as_uri())
        self.expect(b.wait_for("document.documentElement.getAttribute('data-exit-status')==='1'", 10)
                    and self.value("!document.getElementById('Stage')&&!document.getElementById('Note').hidden"),
                    "without WebAssembly the note stays and the status is 1")
        return 1 if self.failures else 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--browser", default="chromium")
    parser.add_argument("--screenshots", help="a folder for screenshots of the page checks")
    parser.add_argument("--axe", type=pathlib.Path, help="axe-core's axe.min.js: audits every screen of the page")
    parser.add_argument("mode", choices=("tests", "page"))
    parser.add_argument("page", type=pathlib.Path)
    parser.add_argument("arguments", nargs="*", help="for the tests: --gtest_filter=... NAME=value")
    args = parser.parse_args()
    browser = Browser(args.browser)
    try:
        if args.mode == "tests":
            return run_tests(browser, args.page.resolve(), args.arguments)
        return PageChecks(browser, args.screenshots, args.axe).run(args.page.resolve())
    finally:
        browser.close()


if __name__ == "__main__":
    sys.exit(main())
