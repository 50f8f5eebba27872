#!/usr/bin/env python3
"""Checks the finished page as a teacher gets it, from the file alone.

    check_page.py PAGE

It must be one file of at most 320 KiB that refers to nothing outside
itself, carry exactly the page's Content-Security-Policy, and hold only
script that the oldest browsers the page is meant for can run: every inline
script parses as ECMAScript 2020 and the inlined WebAssembly validates with
the MVP features alone. Every value the script and the styles take from the
C++ tables (the object infotestWindow, the custom properties) must be there.
Prints each finding and exits non-zero on any.
"""

import base64
import html.parser
import json
import os
import re
import subprocess
import sys
import tempfile

MAX_BYTES = 320 * 1024
POLICY = ("default-src 'none'; script-src 'unsafe-inline' 'unsafe-eval' 'wasm-unsafe-eval'; "
          "style-src 'unsafe-inline'; img-src data:; font-src data:")
URL_ATTRIBUTES = {"src", "href", "action", "formaction", "srcset", "poster", "data",
                  "background", "manifest", "ping", "cite", "longdesc", "xlink:href"}
NETWORK_URL = re.compile(r"\b(?:https?|wss?|ftp)://|\burl\(\s*['\"]?\s*//", re.IGNORECASE)
CSS_URL = re.compile(r"url\(\s*['\"]?([^'\")\s]*)", re.IGNORECASE)
# Base64 of WebAssembly's magic number, "\0asm".
WASM_BASE64 = re.compile(r"AGFzbQ[A-Za-z0-9+/]+={0,2}")
ACORN = ("const acorn = require('acorn');"
         "acorn.parse(require('fs').readFileSync(process.argv[1], 'utf8'),"
         " {ecmaVersion: 2020, sourceType: 'script'});")


def local_reference(value):
    """Whether a URL attribute stays inside the file: data, a fragment, or
    the page itself (an empty link reloads it)."""
    value = value.strip()
    return value == "" or value.startswith("#") or value.lower().startswith("data:")


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.policies = []
        self.scripts = []
        self.styles = []
        self.problems = []
        self._in = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "meta" and (attrs.get("http-equiv") or "").lower() == "content-security-policy":
            self.policies.append(attrs.get("content") or "")
        if tag == "script" and "src" in attrs:
            self.problems.append(f"a script is loaded from {attrs['src']!r}")
        if tag == "link" and (attrs.get("rel") or "").lower() in ("stylesheet", "preload", "prefetch",
                                                                  "dns-prefetch", "preconnect", "import"):
            self.problems.append(f"a <link rel={attrs['rel']}> loads {attrs.get('href')!r}")
        for name, value in attrs.items():
            if name in URL_ATTRIBUTES and value is not None and not local_reference(value):
                self.problems.append(f"<{tag} {name}={value[:60]!r}> refers outside the file")
        if attrs.get("style"):
            self.styles.append(attrs["style"])
        if tag in ("script", "style"):
            self._in = (tag, [])

    def handle_data(self, data):
        if self._in:
            self._in[1].append(data)

    def handle_endtag(self, tag):
        if self._in and self._in[0] == tag:
            (self.scripts if tag == "script" else self.styles).append("".join(self._in[1]))
            self._in = None


def check_styles(styles):
    problems = []
    for style in styles:
        if re.search(r"@import\b", style, re.IGNORECASE):
            problems.append("a style sheet imports another")
        for target in CSS_URL.findall(style):
            if not local_reference(target):
                problems.append(f"a style refers to {target[:60]!r}")
    return problems


def check_scripts(scripts, scratch):
    problems = []
    environment = dict(os.environ, NODE_PATH="/usr/share/nodejs")
    for number, script in enumerate(scripts, 1):
        path = os.path.join(scratch, f"script{number}.js")
        with open(path, "w", encoding="utf-8") as stream:
            stream.write(script)
        parse = subprocess.run(["node", "-e", ACORN, path], env=environment,
                               capture_output=True, text=True)
        if parse.returncode != 0:
            detail = (parse.stderr.strip().splitlines() or ["?"])
            problems.append(f"inline script {number} is not ECMAScript 2020: "
                            + next((line for line in detail if "SyntaxError" in line), detail[-1]))
    return problems


def check_wasm(text, scratch):
    modules = WASM_BASE64.findall(text)
    if len(modules) != 1:
        return [f"expected one inlined WebAssembly module, found {len(modules)}"]
    path = os.path.join(scratch, "page.wasm")
    with open(path, "wb") as stream:
        stream.write(base64.b64decode(modules[0]))
    print(f"WebAssembly: {os.path.getsize(path)} bytes")
    validate = subprocess.run(["wasm-opt", "--mvp-features", path, "-o", os.devnull],
                              capture_output=True, text=True)
    if validate.returncode != 0:
        lines = (validate.stderr or validate.stdout).strip().splitlines()
        return ["the WebAssembly needs more than the MVP features: " + " / ".join(lines[:3])]
    return []


WINDOW_OBJECT = re.compile(r"\bvar infotestWindow = ")
WINDOW_VALUE = re.compile(r"\binfotestWindow((?:\.[A-Za-z_$][\w$]*)+)")
CUSTOM_PROPERTY = re.compile(r"(--[\w-]+)\s*:")
CUSTOM_PROPERTY_USE = re.compile(r"var\(\s*(--[\w-]+)\s*\)")


def check_shared_values(text, scripts, styles):
    """The values the page's script and styles share with the C++ tables
    (make_page.py puts them in): each one they use is defined."""
    problems = []
    start = WINDOW_OBJECT.search(text)
    try:
        window = json.JSONDecoder().raw_decode(text, start.end())[0] if start else None
    except ValueError:
        window = None
    if not isinstance(window, dict):
        problems.append("the page has no object infotestWindow of the C++ tables' values")
        window = {}
    for path in sorted({path for script in scripts for path in WINDOW_VALUE.findall(script)}):
        value = window
        for name in path.split(".")[1:]:
            value = value.get(name) if isinstance(value, dict) else None
        if value is None:
            problems.append(f"the script uses infotestWindow{path}, which the page does not define")
    defined = {name for style in styles for name in CUSTOM_PROPERTY.findall(style)}
    for name in sorted({name for style in styles for name in CUSTOM_PROPERTY_USE.findall(style)} - defined):
        problems.append(f"the styles use {name}, which the page does not define")
    return problems


FONT_FACE = re.compile(r"@font-face\s*\{[^}]*font-family:\s*\"Infotest Sans\"[^}]*font-weight:\s*(\d+)"
                       r"[^}]*url\(data:font/woff2;base64,([A-Za-z0-9+/=]+)\)")


def check_fonts(text):
    """The fallback faces: regular and bold, under the family name of our
    own, since the licence reserves the original one."""
    import io
    from fontTools.ttLib import TTFont
    faces = FONT_FACE.findall(text)
    problems = [] if sorted(weight for weight, _ in faces) == ["400", "700"] else [
        f"expected \"Infotest Sans\" at weights 400 and 700, found {[w for w, _ in faces]}"]
    for weight, data in faces:
        names = TTFont(io.BytesIO(base64.b64decode(data)))["name"]
        for name_id in (1, 3, 4, 6, 16):
            record = names.getName(name_id, 3, 1, 0x409)
            if record and "Liberation" in str(record):
                problems.append(f"the {weight} face is still called {str(record)!r}")
    if faces and "SIL Open Font License" not in text:
        problems.append("the fonts' licence notice is missing")
    return problems


def check(path):
    size = os.path.getsize(path)
    print(f"{os.path.basename(path)}: {size} bytes")
    problems = []
    if size > MAX_BYTES:
        problems.append(f"the page is {size} bytes, more than {MAX_BYTES}")
    with open(path, encoding="utf-8") as stream:
        text = stream.read()
    page = Page()
    page.feed(text)
    page.close()
    problems += page.problems
    if page.policies != [POLICY]:
        problems.append(f"the page's policy is {page.policies!r}, not exactly [{POLICY!r}]")
    for match in NETWORK_URL.finditer(text):
        problems.append(f"a network address: {text[match.start():match.start() + 60]!r}")
    problems += check_styles(page.styles)
    problems += check_fonts(text)
    problems += check_shared_values(text, page.scripts, page.styles)
    if not page.scripts:
        problems.append("the page has no inline script")
    with tempfile.TemporaryDirectory(prefix="infotest-page-") as scratch:
        problems += check_scripts(page.scripts, scratch)
        problems += check_wasm(text, scratch)
    return problems


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    problems = check(sys.argv[1])
    for problem in problems:
        print("page check failed: " + problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
