"""Checks a Windows program's PE header and imports against what Windows 7 loads: its processor, a subsystem
version no later than Windows 7's 6.1, a GUI program with DEP and ASLR; it imports from Windows' own DLLs
alone (no DLL of the compiler's), and every function it imports is exported by Wine's DLL of that name for its
processor (Wine's 32-bit DLLs unpacked by tools/i386-packages.sh, or the 64-bit ones wine64 installs).

    python3 tools/check-pe.py PROGRAM i386|amd64 WINE-DLL-FOLDER
    python3 tools/check-pe.py --allowed     # the DLLs a program may import, one a line
"""
import os
import struct
import sys

# Windows' own DLLs, in every version from 7 on, that a program of this kind has reason to import.
ALLOWED = ["advapi32.dll", "comctl32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
           "oleacc.dll", "oleaut32.dll", "shell32.dll", "user32.dll", "uxtheme.dll", "version.dll"]
MACHINES = {"i386": (0x14C, 0x10B), "amd64": (0x8664, 0x20B)}  # the file header's machine, PE32 or PE32+
GUI = 2
DYNAMIC_BASE, NX_COMPAT = 0x40, 0x100


class Image:
    def __init__(self, path):
        with open(path, "rb") as file:
            self.data = file.read()
        if self.data[:2] != b"MZ":
            raise ValueError(f"{path}: no MZ header")
        pe = self.u32(0x3C)
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError(f"{path}: no PE signature")
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from(
            "<HHIIIHH", self.data, pe + 4)
        self.optional = pe + 24
        self.magic = self.u16(self.optional)
        (self.os_version, self.subsystem_version, self.subsystem, self.dll_characteristics) = (
            (self.u16(self.optional + 40), self.u16(self.optional + 42)),
            (self.u16(self.optional + 48), self.u16(self.optional + 50)),
            self.u16(self.optional + 68), self.u16(self.optional + 70))
        self.directories = self.optional + (96 if self.magic == 0x10B else 112)
        table = self.optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", self.data, table + 40 * i) for i in range(sections)]

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset(self, rva):
        for size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError(f"RVA {rva:#x} in no section")

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def directory(self, index):
        return struct.unpack_from("<II", self.data, self.directories + 8 * index)

    def imports(self):
        """{dll: [function name, or "#ordinal"]} from the import directory."""
        rva, _ = self.directory(1)
        wide = self.magic == 0x20B
        found = {}
        entry = self.offset(rva)
        while True:
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, entry)
            if not name:
                return found
            functions = found.setdefault(self.string(name).lower(), [])
            at = self.offset(lookup or thunks)
            while True:
                thunk = struct.unpack_from("<Q" if wide else "<I", self.data, at)[0]
                if not thunk:
                    break
                if thunk >> (63 if wide else 31):
                    functions.append(f"#{thunk & 0xFFFF}")
                else:
                    functions.append(self.string(thunk + 2))
                at += 8 if wide else 4
            entry += 20

    def exports(self):
        """The names and "#ordinal"s of the export directory."""
        rva, size = self.directory(0)
        if not size:
            return set()
        base, functions, names, _, name_table = struct.unpack_from("<IIIII", self.data, self.offset(rva) + 16)
        exported = {f"#{base + i}" for i in range(functions)}
        at = self.offset(name_table)
        exported.update(self.string(self.u32(at + 4 * i)) for i in range(names))
        return exported


def check(path, kind, wine):
    image = Image(path)
    machine, magic = MACHINES[kind]
    failures = []

    def expect(what, seen, good):
        print(f"{what}: {seen}")
        if not good:
            failures.append(f"{what} is {seen}")

    expect("machine", f"{image.machine:#06x}", image.machine == machine)
    expect("optional header magic", f"{image.magic:#05x}", image.magic == magic)
    expect("subsystem", image.subsystem, image.subsystem == GUI)
    expect("subsystem version", "%d.%d" % image.subsystem_version, (3, 10) <= image.subsystem_version <= (6, 1))
    expect("operating system version", "%d.%d" % image.os_version, image.os_version <= (6, 1))
    expect("DLL characteristics", f"{image.dll_characteristics:#06x}",
           image.dll_characteristics & (DYNAMIC_BASE | NX_COMPAT) == DYNAMIC_BASE | NX_COMPAT)
    functions = 0
    for dll, names in sorted(image.imports().items()):
        functions += len(names)
        if dll not in ALLOWED:
            failures.append(f"imports {dll}, not one of Windows' own DLLs ({', '.join(ALLOWED)})")
            continue
        library = os.path.join(wine, dll)
        if not os.path.isfile(library):
            failures.append(f"imports {dll}, which Wine has not in {wine}")
            continue
        missing = sorted(set(names) - Image(library).exports())
        print(f"{dll}: {len(names)} functions" + (f", not exported by Wine's: {' '.join(missing)}" if missing else ""))
        if missing:
            failures.append(f"{dll}: {' '.join(missing)} not exported by Wine's {library}")
    if failures:
        sys.exit(f"{path}:\n  " + "\n  ".join(failures))
    print(f"{path}: {functions} functions imported from Windows' own DLLs, each exported by Wine's")


if __name__ == "__main__":
    if sys.argv[1:] == ["--allowed"]:
        print("\n".join(ALLOWED))
    elif len(sys.argv) == 4 and sys.argv[2] in MACHINES:
        check(*sys.argv[1:])
    else:
        sys.exit(__doc__)
