#!/usr/bin/env python3
"""Writes the page's embedded fonts as one CSS file of @font-face rules.

The page asks for Arial first; a phone or tablet without it falls back to
these faces, subsets of Liberation Sans, which has Arial's metrics, so that
every caption still fits its rectangle. The subsets hold only the characters
the program shows: printable ASCII (digits of the clock and the grade among
them) and every other character written in the program's own sources. A
character the font lacks fails the build instead of showing a box.

    web_fonts.py --regular R.ttf --bold B.ttf --licence L.txt --output fonts.css SOURCE...
"""

import argparse
import base64
import html
import io
import re
import sys
import unicodedata

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "Infotest Sans"
WEIGHTS = (("regular", 400, "Regular"), ("bold", 700, "Bold"))

# Name records kept from the original: copyright, version, trademark and
# licence.
# The family's own names are rewritten, since the licence reserves the
# original family name for the unmodified fonts.
KEPT_NAME_IDS = (0, 5, 7, 13)


def source_characters(paths):
    """Every visible character written in the given text files, with HTML
    entities and \\u escapes decoded, as a map to the first file using it."""
    found = {}
    for path in paths:
        with open(path, encoding="utf-8") as stream:
            text = stream.read()
        text = re.sub(r"\\u\{([0-9a-fA-F]+)\}|\\u([0-9a-fA-F]{4})",
                      lambda m: chr(int(m.group(1) or m.group(2), 16)), text)
        text = html.unescape(text)
        for char in text:
            # Controls, format characters and line separators draw nothing.
            if ord(char) > 0x7E and unicodedata.category(char) not in ("Cc", "Cf", "Zl", "Zp"):
                found.setdefault(char, path)
    return found


def shown_characters(paths):
    found = source_characters(paths)
    for code in range(0x20, 0x7F):
        found.setdefault(chr(code), "printable ASCII")
    return found


def missing_characters(font, found):
    cmap = font.getBestCmap()
    return [(char, where) for char, where in sorted(found.items())
            if ord(char) not in cmap and not char.isspace()]


def rename(font, style):
    names = font["name"]
    names.names = [record for record in names.names if record.nameID in KEPT_NAME_IDS]
    for name_id, text in ((1, FAMILY), (2, style), (3, f"{FAMILY} {style}"),
                          (4, f"{FAMILY} {style}"), (6, f"{FAMILY}-{style}".replace(" ", ""))):
        names.setName(text, name_id, 3, 1, 0x409)


def woff2_subset(path, characters, style):
    options = subset.Options()
    options.flavor = "woff2"
    # The hinting is for small sizes on old Windows screens, where Arial
    # itself is used; leaving it out halves the files.
    options.hinting = False
    options.drop_tables += ["FFTM"]
    options.name_IDs = ["*"]
    options.name_languages = [0x409]
    font = TTFont(path)
    subsetter = subset.Subsetter(options)
    subsetter.populate(text="".join(characters))
    subsetter.subset(font)
    rename(font, style)
    buffer = io.BytesIO()
    font.flavor = "woff2"
    font.save(buffer)
    return buffer.getvalue()


def font_face(data, weight):
    encoded = base64.b64encode(data).decode("ascii")
    return (f'@font-face {{ font-family: "{FAMILY}"; font-style: normal; font-weight: {weight}; '
            f'src: url(data:font/woff2;base64,{encoded}) format("woff2"); }}\n')


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--regular", required=True)
    parser.add_argument("--bold", required=True)
    parser.add_argument("--licence", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("sources", nargs="+")
    args = parser.parse_args()

    found = shown_characters(args.sources)
    faces = []
    for key, weight, style in WEIGHTS:
        path = getattr(args, key)
        missing = missing_characters(TTFont(path), found)
        if missing:
            for char, where in missing:
                print(f"{path} has no U+{ord(char):04X} {char!r}, used in {where}", file=sys.stderr)
            return 1
        faces.append(font_face(woff2_subset(path, found, style), weight))

    with open(args.licence, encoding="utf-8") as stream:
        licence = stream.read()
    if "*/" in licence:
        print(f"{args.licence} would end the CSS comment", file=sys.stderr)
        return 1
    with open(args.output, "w", encoding="utf-8") as stream:
        stream.write("/*\n" + licence.rstrip() + "\n*/\n" + "".join(faces))
    return 0


if __name__ == "__main__":
    sys.exit(main())
