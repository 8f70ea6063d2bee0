#!/bin/sh
# Starts quillmark.exe in FOLDER under Wine, watches it from outside with the probe (build/windows/tests/win32/
# probe.exe): its window shows with its key read, an exam is clicked through to the key's list, which must be
# lines 2 to 34 of FOLDER/答案.txt, and the program is closed. Used by check-windows-archive.sh and check-msi.sh,
# under tools/wine.sh.
#
#     sh tools/run-probe.sh FOLDER
set -eu
folder=$1
probe=$(pwd)/build/windows/tests/win32/probe.exe
work=$(mktemp -d)
program=
trap '[ -z "$program" ] || { kill "$program"; wait "$program"; } 2>/dev/null || true; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

(cd "$folder" && exec wine quillmark.exe) &
program=$!
wine "$probe" >"$work/items.txt"
status=0
wait "$program" || status=$?
program=
if [ "$status" != 0 ]; then
    echo "quillmark.exe ended with status $status"
    exit 1
fi
iconv -f GBK -t UTF-8 "$folder/答案.txt" | tr -d '\r' | sed -n 2,34p >"$work/key.txt"
if ! diff "$work/key.txt" "$work/items.txt"; then
    echo "The key list after 结果 is not lines 2 to 34 of $folder/答案.txt (above: < the key, > the list)"
    exit 1
fi
echo "quillmark.exe showed its window, read its key from $folder and listed its $(wc -l <"$work/items.txt") lines"
