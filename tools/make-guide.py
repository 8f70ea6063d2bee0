#!/usr/bin/env python3
"""Makes the users' guide one HTML page that opens with a double-click on any Windows: its pictures inside
it as data: URIs, no script, no file beside it. Reads the Markdown the guide is written in: headings,
paragraphs, lists, code blocks, tables, pictures, links, `code` and **bold**; anything else shows as its text.

    python3 tools/make-guide.py docs/使用说明.md 使用说明.html
"""

import base64
import html
import mimetypes
import re
import sys
from pathlib import Path

IMAGE = re.compile(r"!\[([^\]]*)\]\(([^)\s]+)\)")
LINK = re.compile(r"\[([^\]]+)\]\(([^)\s]+)\)")
BOLD = re.compile(r"\*\*(.+?)\*\*")
ITEM = re.compile(r"(\d+\.|[-*])\s+(.*)")

STYLE = """body { font-family: "Microsoft YaHei", SimSun, sans-serif; line-height: 1.7; max-width: 52em;
  margin: 1em auto; padding: 0 1em; color: #222; }
img { max-width: 100%; border: 1px solid #ccc; }
code, pre { font-family: Consolas, SimSun, monospace; background: #f4f4f4; }
pre { padding: 0.5em 1em; }
table { border-collapse: collapse; }
th, td { border: 1px solid #bbb; padding: 0.3em 0.6em; text-align: left; vertical-align: top; }
th { background: #eee; }
th, td:first-child { white-space: nowrap; }"""


def wide(c):
    return ord(c) >= 0x2E80


def join(lines):
    """Joins wrapped lines: a space between words, none between Chinese characters."""
    text = ""
    for line in (line.strip() for line in lines):
        if text and line and not (wide(text[-1]) or wide(line[0])):
            text += " "
        text += line
    return text


def inline(text, folder):
    parts = text.split("`")
    if len(parts) % 2 == 0:
        sys.exit(f"make-guide: an unclosed ` in: {text}")
    out = []
    for i, part in enumerate(parts):
        part = html.escape(part)
        if i % 2:
            out.append(f"<code>{part}</code>")
            continue
        part = IMAGE.sub(lambda m: image(m[1], m[2], folder), part)
        part = LINK.sub(lambda m: f'<a href="{m[2]}">{m[1]}</a>', part)
        out.append(BOLD.sub(r"<strong>\1</strong>", part))
    return "".join(out)


def image(alt, name, folder):
    path = folder / html.unescape(name)
    kind = mimetypes.guess_type(path.name)[0]
    data = base64.b64encode(path.read_bytes()).decode("ascii")
    return f'<img src="data:{kind};base64,{data}" alt="{html.escape(alt)}">'


def cells(row, folder):
    return [inline(cell.strip(), folder) for cell in row.strip().strip("|").split("|")]


def convert(markdown, folder):
    lines = markdown.splitlines()
    out, title, i = [], "", 0
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
        elif line.startswith("```"):
            end = lines.index("```", i + 1)
            out.append("<pre><code>" + html.escape("\n".join(lines[i + 1 : end]), quote=False) + "</code></pre>")
            i = end + 1
        elif m := re.fullmatch(r"(#{1,6})\s+(.*)", line):
            level = len(m[1])
            title = title or m[2]
            out.append(f"<h{level}>{inline(m[2], folder)}</h{level}>")
            i += 1
        elif line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                rows.append(lines[i])
                i += 1
            if len(rows) < 2 or not re.fullmatch(r"[|:\- ]+", rows[1]):
                sys.exit(f"make-guide: a table without its header line: {rows[0]}")
            head = "".join(f"<th>{c}</th>" for c in cells(rows[0], folder))
            body = "".join("<tr>" + "".join(f"<td>{c}</td>" for c in cells(r, folder)) + "</tr>" for r in rows[2:])
            out.append(f"<table><thead><tr>{head}</tr></thead><tbody>{body}</tbody></table>")
        elif m := ITEM.fullmatch(line):
            tag = "ol" if m[1][0].isdigit() else "ul"
            items = []
            # An item runs on over its indented lines; the list ends at a blank line or other text.
            while i < len(lines) and (m := ITEM.fullmatch(lines[i])) and m[1][0].isdigit() == (tag == "ol"):
                item = [m[2]]
                i += 1
                while i < len(lines) and lines[i].startswith(" ") and lines[i].strip():
                    item.append(lines[i])
                    i += 1
                items.append(f"<li>{inline(join(item), folder)}</li>")
            out.append(f"<{tag}>" + "".join(items) + f"</{tag}>")
        else:
            paragraph = []
            while i < len(lines) and lines[i].strip() and not re.match(r"#|```|\||\d+\.\s|[-*]\s", lines[i]):
                paragraph.append(lines[i])
                i += 1
            out.append(f"<p>{inline(join(paragraph), folder)}</p>")
    return (
        '<!DOCTYPE html>\n<html lang="zh-CN">\n<head>\n<meta charset="utf-8">\n'
        f"<title>{html.escape(title)}</title>\n<style>\n{STYLE}\n</style>\n</head>\n<body>\n"
        + "\n".join(out)
        + "\n</body>\n</html>\n"
    )


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make-guide.py GUIDE.md OUTPUT.html")
    source, output = Path(sys.argv[1]), Path(sys.argv[2])
    page = convert(source.read_text(encoding="utf-8"), source.parent)
    output.write_text(page, encoding="utf-8", newline="\r\n")


if __name__ == "__main__":
    main()
