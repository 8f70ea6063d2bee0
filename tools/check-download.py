"""Checks that a download holds what its list in tools/downloads/ says, and nothing else: each member by its
name, with its mode, and, where the list says so, its bytes, its text, a link's target or its type. A zip's
names must each be flagged UTF-8 (else Explorer, 7-Zip, WinRAR and Bandizip read 答案.txt in the code page);
a Debian package's files must all be root's. Run from the tree's top, after the release command built it:

    python3 -X utf8 tools/check-download.py build/release-files/quillmark-1.00-win64.zip tools/downloads/win64.txt

A list has a line per member: its mode in octal, its name (a folder's ends in /; the Debian package's control
files are under DEBIAN/) and what else it must be, if anything:

    = FILE       the bytes of FILE, a file of the tree
    utf8 FILE    the text of FILE (in UTF-8 or GBK, lines ending in CR LF or LF) in UTF-8 with LF line ends
    -> TARGET    a symbolic link to TARGET
    type REGEX   file(1) tells a type that REGEX matches from its start
"""
import io
import os
import re
import struct
import subprocess
import sys
import tarfile
import tempfile
import zipfile


class Member:
    def __init__(self, mode, data=b"", link=None):
        self.mode, self.data, self.link = mode, data, link


def zip_members(path, failures):
    members = {}
    with zipfile.ZipFile(path) as archive, open(path, "rb") as raw:
        if archive.testzip() is not None:
            failures.append("a damaged entry")
        for entry in archive.infolist():
            raw.seek(entry.header_offset + 6)
            local = struct.unpack("<H", raw.read(2))[0]
            if not entry.flag_bits & local & 0x800:
                failures.append(f"{entry.filename}: no UTF-8 flag in its local and central headers")
            members[entry.filename] = Member(entry.external_attr >> 16 & 0o7777, archive.read(entry))
    return members


def deb_members(path, failures):
    members = {}
    for part, prefix in (("--ctrl-tarfile", "DEBIAN/"), ("--fsys-tarfile", "")):
        tar = subprocess.run(["dpkg-deb", part, path], check=True, capture_output=True).stdout
        with tarfile.open(fileobj=io.BytesIO(tar)) as archive:
            for entry in archive.getmembers():
                name = entry.name.removeprefix("./")
                if not name or name == ".":
                    continue
                if (entry.uid, entry.gid, entry.uname, entry.gname) != (0, 0, "root", "root"):
                    failures.append(f"{name}: owned by {entry.uname}:{entry.gname} ({entry.uid}:{entry.gid})")
                name = prefix + name + ("/" if entry.isdir() else "")
                data = archive.extractfile(entry).read() if entry.isfile() else b""
                members[name] = Member(entry.mode, data, entry.linkname if entry.issym() else None)
    return members


def msi_members(path, failures):
    """A Windows Installer package's files under its installation folder; a package keeps no modes: each 0644."""
    members = {}
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["msiextract", "-C", folder, path], check=True, capture_output=True)
        for root, _, files in os.walk(folder):
            for file in files:
                with open(os.path.join(root, file), "rb") as extracted:
                    # Named from the installation folder: msiextract puts the 32-bit package's under
                    # "Program Files" and the 64-bit one's, whose folder it does not know, under none.
                    name = os.path.relpath(os.path.join(root, file), folder).removeprefix("Program Files/")
                    members[name] = Member(0o644, extracted.read())
    if not members:
        failures.append("no file in the package")
    return members


READERS = {".zip": zip_members, ".deb": deb_members, ".msi": msi_members}


def text_of(path):
    with open(path, "rb") as file:
        data = file.read()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        text = data.decode("gbk")
    return text.replace("\r\n", "\n")


def check(name, member, expected, failures):
    kind, _, argument = expected.partition(" ")
    if kind == "=":
        with open(argument, "rb") as file:
            if member.data != file.read():
                failures.append(f"{name}: not the bytes of {argument}")
    elif kind == "utf8":
        if member.data != text_of(argument).encode("utf-8"):
            failures.append(f"{name}: not the text of {argument} in UTF-8 with LF line ends")
    elif kind == "->":
        if member.link != argument:
            failures.append(f"{name}: a link to {member.link}, not to {argument}")
    elif kind == "type":
        found = subprocess.run(["file", "-b", "-"], input=member.data, check=True, capture_output=True)
        found = found.stdout.decode("utf-8").strip()
        if not re.match(argument, found):
            failures.append(f"{name}: {found}, not /{argument}/")
    else:
        sys.exit(f"check-download: what is \"{expected}\", said of {name}?")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    path, listing = sys.argv[1:]
    reader = next((read for suffix, read in READERS.items() if path.endswith(suffix)), None)
    if reader is None:
        sys.exit(f"check-download: no reader for {path}: one goes in READERS")
    failures = []
    members = reader(path, failures)
    expected = {}
    with open(listing, encoding="utf-8") as lines:
        for line in lines:
            if line.strip() and not line.startswith("#"):
                mode, name, *rest = line.split(maxsplit=2)
                expected[name] = (int(mode, 8), rest[0].strip() if rest else "")
    for name in sorted(members.keys() - expected.keys()):
        failures.append(f"{name}: in the download, not in {listing}")
    for name in sorted(expected.keys() - members.keys()):
        failures.append(f"{name}: in {listing}, not in the download")
    for name in sorted(members.keys() & expected.keys()):
        mode, what = expected[name]
        if members[name].mode != mode:
            failures.append(f"{name}: mode {members[name].mode:04o}, not {mode:04o}")
        if what:
            check(name, members[name], what, failures)
    if failures:
        sys.exit(f"{path} does not hold what {listing} says:\n  " + "\n  ".join(failures))
    print(f"{path}: its {len(members)} members as {listing} says")


if __name__ == "__main__":
    main()
