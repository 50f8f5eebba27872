#!/usr/bin/env python3
"""Puts the page together as one file: the template with the styles, the
fonts, the script, its WebAssembly, the icon and the title image."""

import argparse
import base64
import html
import pathlib
import re


def data_uri(path, mime):
    return "data:%s;base64,%s" % (mime, base64.b64encode(pathlib.Path(path).read_bytes()).decode("ascii"))


def window_title(layout_header):
    # The window's title is written once, in the layout table's header.
    found = re.search(r'kForm1Title\s*=\s*"([^"]*)"', pathlib.Path(layout_header).read_text(encoding="utf-8"))
    if not found:
        raise SystemExit("kForm1Title not found in " + layout_header)
    return found.group(1)


def main():
    parser = argparse.ArgumentParser()
    for name in ("template", "script", "wasm", "style", "icon", "title-image", "layout-header", "output"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--fonts", default="")
    args = parser.parse_args()

    script = pathlib.Path(args.script).read_text(encoding="utf-8")
    # Inside <script> only "</script" could end the element early.
    if re.search(r"</script", script, re.IGNORECASE):
        raise SystemExit("the script contains </script")
    values = {
        "TITLE": html.escape(window_title(args.layout_header)),
        "ICON": data_uri(args.icon, "image/png"),
        "TITLE_IMAGE": data_uri(args.title_image, "image/gif"),
        "WASM": base64.b64encode(pathlib.Path(args.wasm).read_bytes()).decode("ascii"),
        "FONTS": pathlib.Path(args.fonts).read_text(encoding="utf-8") if args.fonts else "",
        "STYLE": pathlib.Path(args.style).read_text(encoding="utf-8"),
        "SCRIPT": script,
    }
    page = re.sub(r"@([A-Z_]+)@", lambda match: values[match.group(1)],
                  pathlib.Path(args.template).read_text(encoding="utf-8"))
    pathlib.Path(args.output).write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
