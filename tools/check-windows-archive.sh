#!/bin/sh
# Checks the Windows archive as its user gets it: exactly quillmark.exe, 答案.txt and 使用说明.html, each name
# flagged UTF-8 (else Explorer, 7-Zip, WinRAR and Bandizip read it in the code page), the sample key's own
# bytes and a guide whose pictures are inside it; then unpacks it into a folder with Chinese characters and a
# space in its name, starts quillmark.exe there and, through the probe, sees its window show with the key
# read, clicks through an exam to the key's list and closes it (tools/run-probe.sh); then starts it again
# for a screen reader's client, which reads its boxes' names, the score's announcement and the right answers
# through MSAA and UI Automation, saying what the system does not tell it. Run under Wine, after a build of
# the windows preset and its package target:
#
#     sh tools/wine.sh sh tools/check-windows-archive.sh
#
# The 32-bit archive (the windows32 preset's) is checked as far as this machine reaches: its three files, and
# its program's PE header and imports against Wine's 32-bit DLLs (tools/check-pe.py, tools/i386-packages.sh).
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d)
program=
trap '[ -z "$program" ] || { kill "$program"; wait "$program"; } 2>/dev/null || true; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
folder="$work/练习 文件夹"

python3 -X utf8 tools/check-archive.py build/windows "$folder" quillmark.exe 使用说明.html 答案.txt
python3 -X utf8 - "$folder" <<'EOF'
import re, sys
folder = sys.argv[1]
with open("sample/答案.txt", "rb") as sample, open(f"{folder}/答案.txt", "rb") as key:
    if key.read() != sample.read():
        sys.exit("答案.txt is not the sample key's bytes")
with open("docs/使用说明.md", encoding="utf-8") as guide, open(f"{folder}/使用说明.html", encoding="utf-8") as page:
    pictures, sources = len(re.findall(r"!\[", guide.read())), re.findall(r'src="([^"]*)"', page.read())
    if len(sources) != pictures or not all(s.startswith("data:image/png;base64,") for s in sources):
        sys.exit(f"使用说明.html shows {len(sources)} pictures, not the guide's {pictures}, all inside it")
EOF

# The 32-bit archive: the same three files; its program, which nothing here runs, checked as a file.
python3 -X utf8 tools/check-archive.py build/windows32 "$work/32" quillmark.exe 使用说明.html 答案.txt
cmp "$work/32/答案.txt" sample/答案.txt
python3 tools/check-pe.py "$work/32/quillmark.exe" i386 build/i386/wine
python3 tools/check-pe.py "$folder/quillmark.exe" amd64 /usr/lib/x86_64-linux-gnu/wine/x86_64-windows

echo "== quillmark.exe in $folder, under Wine"
sh tools/run-probe.sh "$folder"

# The same program read by a screen reader's way in, from another process.
echo "== quillmark.exe read through MSAA and UI Automation"
(cd "$folder" && exec wine quillmark.exe) &
program=$!
wine build/windows/tests/win32/screenreader.exe
wait "$program"
program=
