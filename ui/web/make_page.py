#!/usr/bin/env python3
"""Puts the page together as one file: the template with the styles, the
fonts, the window's markup, the page's script layer, the program's script
and its WebAssembly, the icon and the title image, and the values the
script and styles share with the C++ tables (page_values.cpp writes them
and the markup)."""

import argparse
import base64
import html
import json
import pathlib
import re


def data_uri(path, mime):
    return "data:%s;base64,%s" % (mime, base64.b64encode(pathlib.Path(path).read_bytes()).decode("ascii"))


def script_object(values):
    # A script literal that no "</script" or line separator can break.
    return json.dumps(values, ensure_ascii=True, sort_keys=True).replace("<", "\\u003c")


def style_properties(values):
    """The values as custom properties of the root element, for page.css."""
    for name, value in values.items():
        if not re.fullmatch(r"[a-z][a-z0-9-]*", name) or not re.fullmatch(r"-?[0-9.]+px", value):
            raise SystemExit("not a style value: %s: %s" % (name, value))
    return ":root {\n%s}" % "".join("  --%s: %s;\n" % item for item in sorted(values.items()))


def script_text(path):
    script = pathlib.Path(path).read_text(encoding="utf-8")
    # Inside <script> only "</script" could end the element early.
    if re.search(r"</script", script, re.IGNORECASE):
        raise SystemExit("%s contains </script" % path)
    return script


def main():
    parser = argparse.ArgumentParser()
    for name in ("template", "script", "wasm", "style", "icon", "title-image", "values", "markup", "output"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--page-script", action="append", default=[])
    parser.add_argument("--fonts", default="")
    args = parser.parse_args()

    script = script_text(args.script)
    page_script = "\n".join(script_text(path) for path in args.page_script)
    title_image = data_uri(args.title_image, "image/gif")
    markup = pathlib.Path(args.markup).read_text(encoding="utf-8")
    if markup.count("@TITLE_IMAGE@") != 1:
        raise SystemExit("the window's markup has no place for the title image")
    shared = json.loads(pathlib.Path(args.values).read_text(encoding="utf-8"))
    values = {
        "TITLE": html.escape(shared["title"]),
        "WINDOW": script_object(shared["script"]),
        "ICON": data_uri(args.icon, "image/png"),
        "MARKUP": markup.replace("@TITLE_IMAGE@", title_image),
        "WASM": base64.b64encode(pathlib.Path(args.wasm).read_bytes()).decode("ascii"),
        "FONTS": pathlib.Path(args.fonts).read_text(encoding="utf-8") if args.fonts else "",
        "STYLE": style_properties(shared["style"]) + "\n" + pathlib.Path(args.style).read_text(encoding="utf-8"),
        "PAGE_SCRIPT": page_script,
        "SCRIPT": script,
    }
    page = re.sub(r"@([A-Z_]+)@", lambda match: values[match.group(1)],
                  pathlib.Path(args.template).read_text(encoding="utf-8"))
    pathlib.Path(args.output).write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
