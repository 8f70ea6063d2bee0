"""Writes the program as a script, for a page opened from a file: address, where a browser lets the page load
scripts beside it but not fetch files (pre.js loads it there instead of the .wasm).

    python3 embed-wasm.py quillmark.wasm quillmark.wasm.js
"""
import base64
import sys

source, target = sys.argv[1:3]
with open(source, "rb") as wasm:
    encoded = base64.b64encode(wasm.read()).decode("ascii")
with open(target, "w", encoding="ascii") as script:
    script.write("// quillmark.wasm, for a page opened from a file: address.\n")
    script.write(f'var quillmarkWasm = "{encoded}";\n')
