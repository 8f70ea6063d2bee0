#!/bin/sh
# Checks the Windows archive as its user gets it: exactly quillmark.exe, 答案.txt and 使用说明.html, each name
# flagged UTF-8 (else Explorer, 7-Zip, WinRAR and Bandizip read it in the code page), the sample key's own
# bytes and a guide whose pictures are inside it; then unpacks it into a folder with Chinese characters and a
# space in its name, starts quillmark.exe there and, through the probe, sees its window show with the key
# read, clicks through an exam to the key's list and closes it. Run under Wine, after a build of the windows
# preset and its package target:
#
#     sh tools/wine.sh sh tools/check-windows-archive.sh
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

echo "== quillmark.exe in $folder, under Wine"
(cd "$folder" && exec wine quillmark.exe) &
program=$!
wine build/windows/tests/win32/probe.exe >"$work/items.txt"
status=0
wait "$program" || status=$?
program=
if [ "$status" != 0 ]; then
    echo "quillmark.exe ended with status $status"
    exit 1
fi
iconv -f GBK -t UTF-8 "$folder/答案.txt" | tr -d '\r' | sed -n 2,34p >"$work/key.txt"
if ! diff "$work/key.txt" "$work/items.txt"; then
    echo "The key list after 结果 is not lines 2 to 34 of 答案.txt (above: < the key, > the list)"
    exit 1
fi
echo "quillmark.exe showed its window, read its key from $folder and listed its $(wc -l <"$work/items.txt") lines"
