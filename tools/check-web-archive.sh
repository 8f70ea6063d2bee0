#!/bin/sh
# Checks the web archive as its user gets it: exactly the site's files, each name flagged UTF-8; then unpacks it
# into a folder with Chinese characters and a space in its name, serves that folder on 127.0.0.1 and, in
# headless Chromium, sees the page read its key. After a build of the web preset, its package target and npm ci:
#
#     sh tools/check-web-archive.sh
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="$work/练习 文件夹"
python3 -X utf8 tools/check-archive.py build/web "$folder" index.html quillmark.css quillmark.js \
    quillmark.wasm quillmark.wasm.js quillmark.ico 答案.txt
echo "== its page, served from $folder"
node tests/web/run.mjs --archive "$folder"
