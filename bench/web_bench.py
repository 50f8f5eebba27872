#!/usr/bin/env python3
"""Compares the page's start with a plain HTML page of the same texts, in
headless Chromium:

    bench/web_bench.py [--runs N] [--page build/web/infotest.html]

The plain page is the test page itself, taken once its window is drawn, with
every script removed: the same elements, texts, styles, fonts and image, and
no program. Each page is opened N times (default 10), the two taking turns,
each time in a browser of its own. A run measures the time from the start of
the navigation until the first frame after the window is drawn (the root
element's data-window="shown"), and, a second later, the proportional memory
(PSS) of the browser's renderer processes and the page's JavaScript heap. The table
shows the medians and the test page's ratios to the plain page, then the
file's size. A benchmark, not a test: the figures depend on the machine.
"""

import argparse
import os
import pathlib
import statistics
import sys
import tempfile
import time

# The DevTools client shared with the page's tests.
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "tests" / "web"))
import devtools  # noqa: E402

# Run before the page's own script: notes the time of the first frame after
# the window is marked drawn (for the plain page, as soon as its root exists).
DRAWN_PROBE = """
(function () {
  function shown() {
    return document.documentElement && document.documentElement.getAttribute('data-window') === 'shown';
  }
  var observer = new MutationObserver(function () {
    if (!shown()) return;
    observer.disconnect();
    requestAnimationFrame(function () { window.__drawnAt = performance.now(); });
  });
  observer.observe(document, {attributes: true, childList: true, subtree: true});
})();
"""


class Chromium(devtools.Chromium):
    def __init__(self, binary):
        super().__init__(binary, flags=["--window-size=1024,768"], prefix="infotest-bench-")
        self.send("Page.enable")
        self.send("Performance.enable")

    def value_of(self, expression, seconds=30):
        value = self.wait_for(expression, seconds)
        if value is None:
            raise SystemExit(f"timed out waiting for {expression}")
        return value

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


def measure(binary, url):
    browser = Chromium(binary)
    try:
        browser.send("Page.addScriptToEvaluateOnNewDocument", {"source": DRAWN_PROBE})
        browser.send("Page.navigate", {"url": url})
        drawn_ms = browser.value_of("window.__drawnAt")
        time.sleep(1)
        metrics = {m["name"]: m["value"] for m in browser.send("Performance.getMetrics")["metrics"]}
        return drawn_ms, browser.renderer_pss_kib(), metrics["JSHeapUsedSize"] / 1024
    finally:
        browser.close()


def plain_page(binary, page, path):
    """The drawn test page as static HTML, its scripts removed."""
    browser = Chromium(binary)
    try:
        browser.send("Page.navigate", {"url": page.as_uri()})
        browser.value_of("document.documentElement.getAttribute('data-window')==='shown'")
        html = browser.evaluate("(function(){var d=document.documentElement.cloneNode(true);"
                                "d.querySelectorAll('script').forEach(function(s){s.remove();});"
                                "return '<!DOCTYPE html>'+d.outerHTML;})()")
    finally:
        browser.close()
    path.write_text(html, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser(description="The page's start against a plain page.")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--page", type=pathlib.Path, default=pathlib.Path("build/web/infotest.html"))
    parser.add_argument("--browser", default="chromium")
    args = parser.parse_args()
    page = args.page.resolve()
    if not page.exists():
        print(f"{page} is missing: cmake --preset web && cmake --build --preset web", file=sys.stderr)
        return 1
    with tempfile.TemporaryDirectory(prefix="infotest-plain-") as scratch:
        plain = pathlib.Path(scratch, "plain.html")
        plain_page(args.browser, page, plain)
        results = {"infotest": [], "plain": []}
        for _ in range(args.runs):
            results["infotest"].append(measure(args.browser, page.as_uri()))
            results["plain"].append(measure(args.browser, plain.as_uri()))
        plain_size = plain.stat().st_size

    medians = {name: [statistics.median(run[i] for run in runs) for i in range(3)]
               for name, runs in results.items()}
    print(f"medians of {args.runs} runs each    infotest.html   plain page   ratio")
    for i, (what, unit) in enumerate((("until the window is drawn", "ms"),
                                      ("renderer processes' PSS", "KiB"),
                                      ("JavaScript heap", "KiB"))):
        ours, theirs = medians["infotest"][i], medians["plain"][i]
        print(f"{what:<28} {ours:10.0f} {unit:<3} {theirs:9.0f} {unit:<3} {ours / theirs:6.2f}")
    print(f"infotest.html: {page.stat().st_size} bytes (the plain page: {plain_size} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
