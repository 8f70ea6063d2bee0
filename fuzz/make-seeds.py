#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora into corpus/keyfile and corpus/number (kept in the repository)."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def write(kind, name, data):
    folder = os.path.join(HERE, "corpus", kind)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


key = ["答案", "ABCDA", "DCBAB", "甲乙丙丁戊", "AB", ""]
write("keyfile", "gbk-crlf", "\r\n".join(key).encode("gbk"))
write("keyfile", "utf8-lf", "\n".join(key).encode("utf-8"))
write("keyfile", "utf8-bom-crlf", b"\xef\xbb\xbf" + "\r\n".join(key).encode("utf-8"))
write("keyfile", "utf16le-bom", b"\xff\xfe" + "\r\n".join(key).encode("utf-16-le"))
write("keyfile", "utf16be-bom-cr", b"\xfe\xff" + "\r".join(key).encode("utf-16-be"))
write("keyfile", "mixed-ends", b"h\r\nA\nB\rC\n\rD\r\r\nE")
write("keyfile", "nul-bytes", b"h\r\nAB\x00DA\r\n\x00\x00\x00\r\n")
write("keyfile", "gbk-lone-lead-at-end", "答案\r\nABCDA\r\n".encode("gbk") + b"\xb4")
write("keyfile", "invalid-gbk", b"\xff\xff\xfe\r\n\x81\x20ABCDA\r\n\x80\x80")
write("keyfile", "bom-only", b"\xef\xbb\xbf")
write("keyfile", "utf16-odd-byte", b"\xff\xfeA\x00B")
write("keyfile", "long-line", b"h\n" + b"A" * 10000 + b"\nABCDA\n")
write("keyfile", "long-utf8-line", b"h\n" + "答".encode("utf-8") * 3000 + b"\nABCDA\n")
write("keyfile", "35-lines", "\r\n".join(["h"] + ["ABCDA"] * 34).encode("ascii"))

for i, text in enumerate([
    "130", "0.51", "-0", "1e400", "1e-400", ".5", "5.", "+7", "1,5", "0x10", "nan", "inf",
    "35791394.1", "35791394.2", "32767", "32768", "１３０", "－０．５", "\u3000１２\u3000", " 42\t",
    "9" * 400, "0." + "0" * 400 + "1", "2147483647.5", "-2147483648.5",
]):
    write("number", "utf8-%02d" % i, text.encode("utf-8"))
    write("number", "utf16-%02d" % i, text.encode("utf-16-le"))
