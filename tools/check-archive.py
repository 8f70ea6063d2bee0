"""Checks the archive that a build's package target made, under the name CPack gave it, as its user gets it,
then unpacks it: it must hold exactly the names given, no more, each flagged UTF-8 in its local and central
headers (else Explorer, 7-Zip, WinRAR and Bandizip read 答案.txt in the code page), and nothing in it damaged.
Prints each entry and the archive's SHA-256.

    python3 -X utf8 tools/check-archive.py BUILD FOLDER NAME...
"""
import hashlib
import os
import re
import struct
import sys
import zipfile

build, folder, *expected = sys.argv[1:]
with open(f"{build}/CPackConfig.cmake", encoding="utf-8") as config:
    name = re.search(r'^set[(]CPACK_PACKAGE_FILE_NAME "(.*)"[)]$', config.read(), re.M)[1]
path = f"{build}/{name}.zip"
if not os.path.isfile(path):
    sys.exit(f"No {path}: make it with the build's package target")
print(f"== {path}")
failures = []
with zipfile.ZipFile(path) as archive, open(path, "rb") as raw:
    for entry in archive.infolist():
        raw.seek(entry.header_offset + 6)
        local = struct.unpack("<H", raw.read(2))[0]
        print(f"{entry.file_size:>9}  {entry.date_time[0]}-{entry.date_time[1]:02}-{entry.date_time[2]:02}"
              f"  flags {entry.flag_bits:#06x}/{local:#06x}  {entry.filename}")
        if not entry.flag_bits & local & 0x800:
            failures.append(f"{entry.filename}: no UTF-8 flag in its local and central headers")
    names = sorted(archive.namelist())
    if names != sorted(expected):
        failures.append(f"holds {names}, not {sorted(expected)}")
    if archive.testzip() is not None:
        failures.append("a damaged entry")
    if failures:
        sys.exit("\n".join(failures))
    archive.extractall(folder)
with open(path, "rb") as raw:
    print(f"{hashlib.sha256(raw.read()).hexdigest()}  {path}")
