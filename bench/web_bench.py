#!/usr/bin/env python3
"""Compares the page's start with a plain HTML page of the same texts, in
headless Chromium:

    bench/web_bench.py [--runs N] [--slowdown 1,4] [--trace DIR] [--page build/web/infotest.html]

The plain page is the test page itself, taken once its window is drawn, with
every script removed: the same elements, texts, styles, fonts and image, and
no program. Each page is opened N times (default 10) at each CPU slowdown
(DevTools' CPU throttling; default 1 and 4, a slow school tablet), the two
taking turns, each time in a browser of its own.

Both runs end at the same point, which neither page marks itself: the first
frame in which the window is complete. A probe that runs before the page's
own script looks at every frame for
  - the fonts the drawn window uses, loaded (document.fonts);
  - every image complete and decoded;
  - every control the drawn title screen shows, there with its box and its
    text, and seen;
and, for the test page, the program ready: the probe then clicks «Начать
тест» and the run ends in the frame where that click has started the test
(a click the page keeps and carries out later ends it when it is carried
out). A page that only marks itself drawn ends nothing.

A run reports the time from the start of the navigation to that frame, the
longest main-thread task until then (from a trace of the run's tasks), and,
a second later, the proportional memory (PSS) of the browser's renderer
processes and the page's JavaScript heap. The table gives the medians, the
test page's ratios to the plain page, and the file's size. With --trace the
first run of each page is also traced in detail: the trace is written to
DIR (open it in the browser's Performance panel) and its main-thread time
up to the end frame is summed by kind of work. A benchmark, not a test: the
figures depend on the machine.
"""

import argparse
import json
import os
import pathlib
import statistics
import sys
import tempfile
import time

# The DevTools client shared with the page's tests.
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "tests" / "web"))
import devtools  # noqa: E402

# What the drawn window shows, read from the test page once it is drawn: the
# controls seen with their texts, the faces loaded, and the button that
# starts the test.
SHOWN_SCREEN = """
(function () {
  var controls = [];
  document.querySelectorAll('#Form1 [id]').forEach(function (element) {
    var box = element.getBoundingClientRect();
    var seen = element.checkVisibility ? element.checkVisibility({visibilityProperty: true})
                                       : getComputedStyle(element).visibility === 'visible';
    if (seen && box.width > 0 && box.height > 0) controls.push({id: element.id, text: element.textContent});
  });
  var fonts = [];
  document.fonts.forEach(function (face) {
    if (face.status === 'loaded') fonts.push([face.family, face.weight, face.style].join('|'));
  });
  return {controls: controls, fonts: fonts, images: document.images.length};
})()
"""

# Run before the page's own script, at every frame until the window is
# complete (and, with needsProgram, the test started by a click on the start
# button); then window.__completeAt holds that frame's time.
PROBE = """
(function (expected, startButton, needsProgram) {
  var decoded = new WeakMap();
  function imagesDecoded() {
    if (document.images.length < expected.images) return false;
    for (var i = 0; i < document.images.length; i++) {
      var image = document.images[i];
      if (!image.complete || !image.naturalWidth) return false;
      if (!decoded.has(image)) {
        decoded.set(image, false);
        image.decode().then(function () { decoded.set(image, true); }, function () {});
      }
      if (!decoded.get(image)) return false;
    }
    return true;
  }
  function fontsLoaded() {
    if (!document.fonts) return false;
    var loaded = {};
    document.fonts.forEach(function (face) {
      if (face.status === 'loaded') loaded[[face.family, face.weight, face.style].join('|')] = true;
    });
    return expected.fonts.every(function (face) { return loaded[face]; });
  }
  function seen(id, text) {
    var element = document.getElementById(id);
    if (!element || element.textContent !== text) return false;
    var box = element.getBoundingClientRect();
    if (!(box.width > 0 && box.height > 0)) return false;
    return element.checkVisibility ? element.checkVisibility({visibilityProperty: true})
                                   : getComputedStyle(element).visibility === 'visible';
  }
  function complete() {
    return fontsLoaded() && imagesDecoded() &&
      expected.controls.every(function (control) { return seen(control.id, control.text); });
  }
  function started() {
    var button = document.getElementById(startButton);
    return !button || !button.checkVisibility({visibilityProperty: true});
  }
  // Once complete, the window stays so: later frames only look for the
  // test started, so that the probe weighs on both pages alike.
  var clicked = false;
  function frame(time) {
    if (clicked && started()) return done(time);
    if (!clicked && (!document.documentElement || !complete())) return requestAnimationFrame(frame);
    if (!needsProgram) return done(time);
    if (!clicked) performance.mark('infotest-complete');
    clicked = true;
    document.getElementById(startButton).click();
    if (started()) return done(time);
    requestAnimationFrame(frame);
  }
  function done(time) {
    performance.mark('infotest-end');
    window.__completeAt = time;
  }
  requestAnimationFrame(frame);
})(%s, %s, %s);
"""

# Trace categories: the tasks alone for the timed runs; with --trace, what
# the Performance panel records as well.
TASK_CATEGORIES = "toplevel,blink.user_timing"
DETAIL_CATEGORIES = ("toplevel,blink.user_timing,devtools.timeline,disabled-by-default-devtools.timeline,"
                     "v8,v8.execute,disabled-by-default-v8.compile,loading,blink,fonts")


class Chromium(devtools.Chromium):
    def __init__(self, binary):
        self.trace_events = []
        self.trace_done = False
        super().__init__(binary, flags=["--window-size=1024,768"], prefix="infotest-bench-")
        self.send("Page.enable")
        self.send("Performance.enable")

    def event(self, method, params):
        if method == "Tracing.dataCollected":
            self.trace_events += params["value"]
        elif method == "Tracing.tracingComplete":
            self.trace_done = True

    def value_of(self, expression, seconds=60):
        value = self.wait_for(expression, seconds)
        if value is None:
            raise SystemExit(f"timed out waiting for {expression}")
        return value

    def stop_tracing(self):
        self.send("Tracing.end")
        deadline = time.monotonic() + 60
        while not self.trace_done:
            if time.monotonic() > deadline:
                raise SystemExit("the trace did not end")
            message = json.loads(self.socket.recv())
            if "method" in message:
                self.event(message["method"], message.get("params", {}))
        return self.trace_events

    def renderer_pss_kib(self):
        """The proportional set size of the renderer processes among the
        browser's descendants: the tab's share of the machine's memory, with
        the pages of the browser's code shared with its other processes
        counted in part."""
        children = {}
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    with open(f"/proc/{entry}/stat") as stat:
                        parent = int(stat.read().rsplit(")", 1)[1].split()[1])
                    children.setdefault(parent, []).append(int(entry))
                except (OSError, ValueError, IndexError):
                    pass
        total, queue = 0, [self.process.pid]
        while queue:
            pid = queue.pop()
            queue += children.get(pid, [])
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                    if b"--type=renderer" not in cmdline.read():
                        continue
                with open(f"/proc/{pid}/smaps_rollup") as rollup:
                    total += next(int(line.split()[1]) for line in rollup if line.startswith("Pss:"))
            except (OSError, StopIteration):
                pass
        return total


def main_thread(events):
    """The page's renderer main thread, (pid, tid): the one with the marks."""
    for event in events:
        if event.get("name") == "infotest-end" or event.get("name") == "infotest-complete":
            return event["pid"], event["tid"]
    raise SystemExit("the trace has no end mark")


def mark_time(events, thread, name):
    times = [e["ts"] for e in events if e.get("name") == name and (e["pid"], e["tid"]) == thread]
    return min(times) if times else None


def longest_task_ms(events, thread, until):
    """The longest main-thread task before the window was complete, its part
    after that point (the probe's click) left out."""
    longest = 0
    for event in events:
        if (event.get("ph") == "X" and event.get("cat") == "toplevel" and (event["pid"], event["tid"]) == thread
                and event["ts"] < until):
            longest = max(longest, min(event["ts"] + event.get("dur", 0), until) - event["ts"])
    return longest / 1000


# The kinds of main-thread work a trace names, by the start of the event's
# name; the first that matches counts.
KINDS = (
    ("parsing the HTML", ("ParseHTML", "HTMLDocumentParser", "TextResourceDecoder", "DecodedDataDocumentParser")),
    ("compiling the scripts", ("v8.compile", "V8.Compile", "V8.Parse", "V8.Optimize")),
    ("compiling the WebAssembly", ("v8.wasm", "wasm.", "V8.Wasm")),
    ("running the scripts (the WebAssembly's decoding and instantiation, the runtime, the window)",
     ("EvaluateScript", "v8.run", "v8.callFunction", "FunctionCall", "RunMicrotasks", "TimerFire",
      "FireAnimationFrame", "EventDispatch", "v8.", "V8.")),
    ("loading the fonts", ("DecodeFont", "FontCache", "FontDataManager", "WebSandboxSupportLinux", "Font")),
    ("decoding the image", ("Decode", "ImageDecode", "ImageResource")),
    ("style and layout", ("UpdateLayoutTree", "Layout", "LocalFrameView::performLayout", "LocalFrameView::layout",
                          "Document::recalcStyle", "Document::updateStyle", "InlineNode", "Blink.Style",
                          "Blink.Layout")),
    ("paint and compositing", ("Paint", "PrePaint", "Layerize", "Commit", "Blink.Paint", "Blink.Composit",
                               "LocalFrameView::RunPaint", "LocalFrameView::pushPaint")),
)


def kind_of(name):
    for kind, starts in KINDS:
        if name.startswith(starts):
            return kind
    return "the rest (navigation, messages, tasks' own time)"


def time_by_kind(events, thread, start, until):
    """Main-thread time from `start` to `until` (microseconds) by kind of
    work: each complete event's time less that of the events inside it."""
    spans = sorted((e for e in events if e.get("ph") == "X" and (e["pid"], e["tid"]) == thread
                    and start <= e["ts"] < until and e.get("dur")),
                   key=lambda e: (e["ts"], -e["dur"]))
    totals, stack = {}, []
    for event in spans:
        begin, end = event["ts"], min(event["ts"] + event["dur"], until)
        while stack and stack[-1][1] <= begin:
            stack.pop()
        if stack:
            totals[stack[-1][0]] -= end - begin
        kind = kind_of(event["name"])
        totals[kind] = totals.get(kind, 0) + (end - begin)
        stack.append((kind, end))
    return totals


def functions_by_time(profile, until):
    """The script functions (WebAssembly ones among them) the sampling
    profiler found running before `until`, by time."""
    nodes = {node["id"]: node["callFrame"] for node in profile["nodes"]}
    totals, at = {}, profile["startTime"]
    for sample, delta in zip(profile["samples"], profile["timeDeltas"]):
        at += delta
        if at >= until:
            break
        frame = nodes[sample]
        name = frame["functionName"] or "(anonymous)"
        if name in ("(idle)", "(program)", "(root)"):
            continue
        where = pathlib.Path(frame["url"]).name if frame["url"] else ""
        key = f"{name} {where}:{frame['lineNumber'] + 1}" if where else name
        totals[key] = totals.get(key, 0) + delta
    return totals


def measure(binary, url, probe, slowdown, trace_to=None):
    browser = Chromium(binary)
    try:
        if slowdown > 1:
            browser.send("Emulation.setCPUThrottlingRate", {"rate": slowdown})
        browser.send("Tracing.start", {"categories": DETAIL_CATEGORIES if trace_to else TASK_CATEGORIES,
                                       "transferMode": "ReportEvents"})
        if trace_to:
            browser.send("Profiler.enable")
            browser.send("Profiler.setSamplingInterval", {"interval": 200})
            browser.send("Profiler.start")
        browser.send("Page.addScriptToEvaluateOnNewDocument", {"source": probe})
        browser.send("Page.navigate", {"url": url})
        complete_ms = browser.value_of("window.__completeAt")
        time.sleep(1)
        metrics = {m["name"]: m["value"] for m in browser.send("Performance.getMetrics")["metrics"]}
        pss = browser.renderer_pss_kib()
        profile = browser.send("Profiler.stop")["profile"] if trace_to else None
        events = browser.stop_tracing()
    finally:
        browser.close()
    thread = main_thread(events)
    until = mark_time(events, thread, "infotest-complete") or mark_time(events, thread, "infotest-end")
    if trace_to:
        trace_to.write_text(json.dumps({"traceEvents": events}), encoding="utf-8")
        report_trace(trace_to.name, events, thread, until, complete_ms, profile)
    return complete_ms, longest_task_ms(events, thread, until), pss, metrics["JSHeapUsedSize"] / 1024


def report_trace(name, events, thread, until, complete_ms, profile):
    # The navigation starts where the page's clock starts.
    start = until - complete_ms * 1000
    print(f"\n{name}: the main thread's {complete_ms:.0f} ms from the navigation to the complete window (ms)")
    for kind, total in sorted(time_by_kind(events, thread, start, until).items(), key=lambda item: -item[1]):
        print(f"  {total / 1000:7.1f}  {kind}")
    milestones = (("the HTML parsed", "Document::FinishedParsing"), ("the fonts decoded", "DecodeFont"))
    for what, event_name in milestones:
        found = [e["ts"] + e.get("dur", 0) for e in events
                 if e.get("name") == event_name and (e["pid"], e["tid"]) == thread and start <= e["ts"] < until]
        if found:
            print(f"  at {(max(found) - start) / 1000:5.0f}  {what}")
    print("  the script functions that ran longest (ms):")
    for function, total in sorted(functions_by_time(profile, until).items(), key=lambda item: -item[1])[:12]:
        print(f"  {total / 1000:7.1f}  {function}")


def drawn_page(binary, page):
    """The drawn test page as static HTML with its scripts removed, and what
    its window shows."""
    browser = Chromium(binary)
    try:
        browser.send("Page.navigate", {"url": page.as_uri()})
        browser.value_of("document.documentElement.getAttribute('data-window')==='shown'"
                         " && document.fonts.status==='loaded'")
        time.sleep(0.5)
        shown = browser.evaluate(SHOWN_SCREEN)
        html = browser.evaluate("(function(){var d=document.documentElement.cloneNode(true);"
                                "d.querySelectorAll('script').forEach(function(s){s.remove();});"
                                "return '<!DOCTYPE html>'+d.outerHTML;})()")
    finally:
        browser.close()
    if not any(control["id"] == "Command1" for control in shown["controls"]):
        raise SystemExit("the drawn page shows no start button")
    return html, shown


def main():
    parser = argparse.ArgumentParser(description="The page's start against a plain page.")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--slowdown", default="1,4", help="CPU slowdowns to run at, e.g. 1,4")
    parser.add_argument("--trace", type=pathlib.Path, help="a folder for one detailed trace of each page")
    parser.add_argument("--page", type=pathlib.Path, default=pathlib.Path("build/web/infotest.html"))
    parser.add_argument("--browser", default="chromium")
    args = parser.parse_args()
    page = args.page.resolve()
    if not page.exists():
        print(f"{page} is missing: cmake --preset web && cmake --build --preset web", file=sys.stderr)
        return 1
    slowdowns = [float(rate) for rate in args.slowdown.split(",")]
    if args.trace:
        args.trace.mkdir(parents=True, exist_ok=True)

    html, shown = drawn_page(args.browser, page)
    print(f"the complete window: {len(shown['controls'])} controls seen, fonts {shown['fonts']},"
          f" {shown['images']} image(s)")
    expected = json.dumps(shown, ensure_ascii=True)
    probes = {"infotest": PROBE % (expected, '"Command1"', "true"),
              "plain": PROBE % (expected, '"Command1"', "false")}
    with tempfile.TemporaryDirectory(prefix="infotest-plain-") as scratch:
        plain = pathlib.Path(scratch, "plain.html")
        plain.write_text(html, encoding="utf-8")
        urls = {"infotest": page.as_uri(), "plain": plain.as_uri()}
        for slowdown in slowdowns:
            results = {"infotest": [], "plain": []}
            for run in range(args.runs):
                for name in results:
                    trace_to = None
                    if args.trace and run == 0:
                        trace_to = args.trace / f"{name}-x{slowdown:g}.json"
                        measure(args.browser, urls[name], probes[name], slowdown, trace_to)
                    results[name].append(measure(args.browser, urls[name], probes[name], slowdown))
            report(results, args.runs, slowdown)
        plain_size = plain.stat().st_size
    print(f"\ninfotest.html: {page.stat().st_size} bytes (the plain page: {plain_size} bytes)")
    return 0


def report(results, runs, slowdown):
    medians = {name: [statistics.median(run[i] for run in found) for i in range(4)]
               for name, found in results.items()}
    print(f"\nCPU slowdown {slowdown:g}x, medians of {runs} runs each    infotest.html   plain page   ratio")
    for i, (what, unit) in enumerate((("until the window is complete", "ms"),
                                      ("longest task until then", "ms"),
                                      ("renderer processes' PSS", "KiB"),
                                      ("JavaScript heap", "KiB"))):
        ours, theirs = medians["infotest"][i], medians["plain"][i]
        ratio = f"{ours / theirs:6.2f}" if theirs else "     -"
        print(f"{what:<37} {ours:10.0f} {unit:<3} {theirs:9.0f} {unit:<3} {ratio}")
    for name, found in results.items():
        print(f"  {name}: until complete " + " ".join(f"{run[0]:.0f}" for run in found) +
              "; longest task " + " ".join(f"{run[1]:.0f}" for run in found))


if __name__ == "__main__":
    sys.exit(main())
