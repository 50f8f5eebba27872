#!/usr/bin/env python3
"""The page checks pass on the real page and catch each fault put into a copy.

    check_page_test.py PAGE
"""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_page  # noqa: E402

PAGE = sys.argv.pop(1) if len(sys.argv) > 1 else "build/web/infotest.html"
# A WebAssembly module whose one function uses memory.fill (bulk memory).
BULK_MEMORY_WASM = "AGFzbQEAAAABBAFgAAADAgEABQMBAAEKDQELAEEAQQBBAPwLAAs="


class PageChecks(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(PAGE, encoding="utf-8") as stream:
            cls.page = stream.read()

    def problems_of(self, text):
        with tempfile.NamedTemporaryFile("w", suffix=".html", encoding="utf-8", delete=False) as copy:
            copy.write(text)
        try:
            return check_page.check(copy.name)
        finally:
            os.unlink(copy.name)

    def assert_caught(self, text, words):
        problems = self.problems_of(text)
        self.assertTrue(any(words in problem for problem in problems), problems)

    def test_the_real_page_passes(self):
        self.assertEqual(self.problems_of(self.page), [])

    def test_faults_are_caught(self):
        def body(added):
            return self.page.replace("</body>", added + "</body>")

        cases = {
            "policy": (self.page.replace("font-src data:", "font-src *"), "policy"),
            "image from a server": (body('<img src="https://example.org/a.png">'), "refers outside"),
            "style from a server": (body('<div style="background: url(//example.org/a.png)"></div>'),
                                    "network address"),
            "newer script": (body("<script>var a; a ??= 1;</script>"), "ECMAScript 2020"),
            "newer WebAssembly": (check_page.WASM_BASE64.sub(BULK_MEMORY_WASM, self.page), "MVP"),
            "font name": (self.page.replace('font-family: "Infotest Sans"; font-style: normal; font-weight: 700',
                                            'font-family: "Liberation Sans"; font-weight: 700'), "weights 400 and 700"),
            "size": (body("<!--" + "x" * check_page.MAX_BYTES + "-->"), "more than"),
            "key code missing": (self.page.replace('"Enter": 13, ', ""), "infotestWindow.keys.Enter"),
            "window values missing": (self.page.replace("var infotestWindow = ", "var infotestWindowValues = "),
                                      "no object infotestWindow"),
            "style value missing": (self.page.replace("--window-width: ", "--window-wide: "), "--window-width"),
        }
        for name, (text, words) in cases.items():
            with self.subTest(name):
                self.assert_caught(text, words)


if __name__ == "__main__":
    unittest.main()
