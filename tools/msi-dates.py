"""Sets the dates a Windows Installer package's summary holds (when it was created, last saved and last printed)
to one time, seconds since 1970 in UTC, so that the same files make the same package: wixl writes the time it
runs there, and msibuild keeps it. Debian's python3 with python3-olefile, which rewrites the summary's stream in
place, its size unchanged.

    /usr/bin/python3 tools/msi-dates.py PACKAGE.msi SECONDS
"""
import struct
import sys

import olefile

SUMMARY = "\x05SummaryInformation"
DATES = {11, 12, 13}  # PID_LASTPRINTED, PID_CREATE_DTM, PID_LASTSAVE_DTM
VT_FILETIME = 64


def main(path, seconds):
    # A FILETIME counts hundreds of nanoseconds since 1601.
    filetime = (seconds + 11644473600) * 10_000_000
    with olefile.OleFileIO(path, write_mode=True) as package:
        summary = bytearray(package.openstream(SUMMARY).read())
        # A property set: its header, then for each section its format's identifier and its offset; a section
        # holds its size, its count of properties, and each property's identifier and offset from the section.
        (sections,) = struct.unpack_from("<I", summary, 24)
        dated = 0
        for section in range(sections):
            (start,) = struct.unpack_from("<I", summary, 28 + 20 * section + 16)
            (count,) = struct.unpack_from("<I", summary, start + 4)
            for index in range(count):
                identifier, offset = struct.unpack_from("<II", summary, start + 8 + 8 * index)
                (kind,) = struct.unpack_from("<I", summary, start + offset)
                if identifier in DATES and kind == VT_FILETIME:
                    struct.pack_into("<Q", summary, start + offset + 4, filetime)
                    dated += 1
        if not dated:
            sys.exit(f"{path}: no date in its summary")
        package.write_stream(SUMMARY, bytes(summary))


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
