#!/usr/bin/env python3
"""Small Windows images made to order, for the tests of `wired-host which`
and as seeds for its fuzz target: a DOS header, a PE header, and one section
holding the import, delay-load import and export tables asked for.

  pe_files.py --corpus DIR    writes the fuzz seed corpus into DIR
"""
import argparse
import os
import struct

I386, AMD64, ARM64 = 0x14C, 0x8664, 0xAA64
SECTION_RVA, FILE_ALIGN = 0x1000, 0x200


def dos_only(size=128):
    """An MS-DOS program: an MZ header whose new-header field points nowhere."""
    data = bytearray(size)
    data[0:2] = b"MZ"
    struct.pack_into("<I", data, 0x3C, 0x7FFFFFF0)
    return bytes(data)


def new_executable():
    """A 16-bit Windows program: MZ, then an NE header."""
    data = bytearray(0x80)
    data[0:2] = b"MZ"
    struct.pack_into("<I", data, 0x3C, 0x40)
    data[0x40:0x42] = b"NE"
    return bytes(data)


class _Section:
    """The one section's bytes, laid out as they are added."""

    def __init__(self):
        self.data = bytearray()

    def add(self, blob, align=4):
        while len(self.data) % align:
            self.data.append(0)
        rva = SECTION_RVA + len(self.data)
        self.data += blob
        return rva

    def name(self, text):
        return self.add(text.encode("ascii") + b"\0", 2)

    def thunks(self, names, wide, base=0):
        """An import name table: hint/name entries, then a zero entry; with
        a base, the entries are virtual addresses."""
        fmt = "<Q" if wide else "<I"
        entries = []
        for function in names:
            if isinstance(function, int):
                entries.append((1 << (63 if wide else 31)) | function)
            else:
                entries.append(base + self.add(struct.pack("<H", 0) + function.encode("ascii") + b"\0", 2))
        return self.add(b"".join(struct.pack(fmt, e) for e in entries + [0]), 8 if wide else 4)


def pe(machine=I386, imports=(), delayed=(), exports=(), clr=False, dll=False, wide=None, old_delayed=False,
       more_sections=()):
    """A PE image for machine. imports and delayed: (dll, [function names,
    or ordinals as ints]) pairs; exports: names. old_delayed: delay-load
    descriptors of the oldest linkers, with virtual addresses.
    more_sections: (name, characteristics, bytes) of sections after the
    one that holds the tables."""
    wide = machine != I386 if wide is None else wide
    image_base = 0x140000000 if wide else 0x400000
    section = _Section()
    directories = [(0, 0)] * 16

    # Names and tables first, then the descriptors that point at them.
    entries = []
    for dll_name, functions in imports:
        name = section.name(dll_name)
        entries.append((section.thunks(functions, wide), name, section.thunks(functions, wide)))
    if imports:
        table = b"".join(struct.pack("<IIIII", lookup, 0, 0, name, first) for lookup, name, first in entries)
        table += bytes(20)
        directories[1] = (section.add(table), len(table))

    entries = []
    base = image_base if old_delayed else 0
    for dll_name, functions in delayed:
        name = base + section.name(dll_name)
        names = base + section.thunks(functions, wide, base)
        entries.append(struct.pack("<IIIIIIII", 0 if old_delayed else 1, name, 0, names, names, 0, 0, 0))
    if delayed:
        table = b"".join(entries) + bytes(32)
        directories[13] = (section.add(table), len(table))

    if exports:
        name_rvas = [section.name(e) for e in exports]
        names = section.add(b"".join(struct.pack("<I", r) for r in name_rvas))
        ordinals = section.add(b"".join(struct.pack("<H", i) for i in range(len(exports))))
        functions = section.add(b"".join(struct.pack("<I", SECTION_RVA) for _ in exports))
        own = section.name("export.dll")
        table = struct.pack("<IIHHIIIIIII", 0, 0, 0, 0, own, 1, len(exports), len(exports), functions, names,
                            ordinals)
        directories[0] = (section.add(table), len(table))

    if clr:
        # The CLR header's size and version; nothing else is read.
        directories[14] = (section.add(struct.pack("<IHH", 72, 2, 5) + bytes(64)), 72)

    raw = bytes(section.data) + bytes(-len(section.data) % FILE_ALIGN or 0)
    if not raw:
        raw = bytes(FILE_ALIGN)

    optional_size = (112 if wide else 96) + 16 * 8
    headers = 0x40 + 4 + 20 + optional_size + 40 * (1 + len(more_sections))
    headers_size = (headers + FILE_ALIGN - 1) // FILE_ALIGN * FILE_ALIGN
    # (name, characteristics, RVA, file offset, bytes) of each section.
    sections = [(b".rdata", 0x40000040, SECTION_RVA, headers_size, bytes(section.data), raw)]
    for name, flags, data in more_sections:
        _, _, rva, offset, previous, previous_raw = sections[-1]
        rva += (len(previous_raw) + 0xFFF) // 0x1000 * 0x1000
        padded = data + bytes(-len(data) % FILE_ALIGN)
        sections.append((name.encode("ascii"), flags, rva, offset + len(previous_raw), data, padded))
    image_size = sections[-1][2] + (len(sections[-1][5]) + 0xFFF) // 0x1000 * 0x1000

    dos = bytearray(0x40)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, 0x40)
    characteristics = 0x0002 | (0x2000 if dll else 0) | (0x0100 if not wide else 0x0020)
    file_header = struct.pack("<HHIIIHH", machine, len(sections), 0, 0, 0, optional_size, characteristics)
    if wide:
        optional = struct.pack("<HBBIIIIIQIIHHHHHHIIIIHHQQQQII", 0x20B, 14, 0, len(raw), 0, 0, SECTION_RVA, SECTION_RVA,
                               image_base, 0x1000, FILE_ALIGN, 6, 0, 0, 0, 6, 0, 0, image_size, headers_size, 0,
                               3, 0x8160, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    else:
        optional = struct.pack("<HBBIIIIIIIIIHHHHHHIIIIHHIIIIII", 0x10B, 14, 0, len(raw), 0, 0, SECTION_RVA,
                               SECTION_RVA, SECTION_RVA, image_base, 0x1000, FILE_ALIGN, 6, 0, 0, 0, 6, 0, 0,
                               image_size, headers_size, 0, 3, 0x8140, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    optional += b"".join(struct.pack("<II", rva, size) for rva, size in directories)
    section_table = b"".join(struct.pack("<8sIIIIIIHHI", name, len(data), rva, len(padded), offset, 0, 0, 0, 0, flags)
                             for name, flags, rva, offset, data, padded in sections)
    head = bytes(dos) + b"PE\0\0" + file_header + optional + section_table
    return head + bytes(headers_size - len(head)) + b"".join(padded for *_, padded in sections)


# The seeds of the fuzz target: one image of each kind the rules tell apart.
CORPUS = {
    "msvc32.exe": lambda: pe(I386, [("KERNEL32.dll", ["ExitProcess"]), ("MSVCP140.dll", ["?_Xlength_error@std@@YAXPBD@Z"]),
                                    ("VCRUNTIME140.dll", ["memcpy"])]),
    "msvc64-delayed.exe": lambda: pe(AMD64, [("KERNEL32.dll", [12])], [("vcruntime140.dll", ["memset"])]),
    "mingw32.exe": lambda: pe(I386, [("libstdc++-6.dll", ["_ZdlPv"]), ("libgcc_s_dw2-1.dll", ["_Unwind_Resume"])]),
    "mingw64.exe": lambda: pe(AMD64, [("libstdc++-6.dll", ["_Znwy"]), ("libgcc_s_seh-1.dll", ["_Unwind_Resume"])]),
    "sjlj.exe": lambda: pe(I386, [("libstdc++-6.dll", []), ("libgcc_s_sjlj-1.dll", ["_Unwind_SjLj_Resume"])]),
    "debug.exe": lambda: pe(AMD64, [("MSVCP140D.dll", []), ("ucrtbased.dll", ["malloc"])]),
    "old.exe": lambda: pe(I386, [("MSVCP120.dll", []), ("MSVCR120.dll", [])]),
    "static.exe": lambda: pe(I386, [("KERNEL32.dll", ["GetProcAddress", "LoadLibraryA"])]),
    "dotnet.exe": lambda: pe(I386, [("mscoree.dll", ["_CorExeMain"])], clr=True),
    "arm64.exe": lambda: pe(ARM64, [("msvcp140.dll", [])]),
    "libstdc++-6.dll": lambda: pe(I386, [("libgcc_s_dw2-1.dll", ["_Unwind_Resume"])], exports=["_ZdlPv", "_Znwj"],
                                  dll=True),
    "libstdc++-6-debug.dll": lambda: pe(I386, [("libgcc_s_dw2-1.dll", ["_Unwind_Resume"])], exports=["_ZdlPv"],
                                        dll=True, more_sections=[("/4", 0x42000040, b"debug"), (".text", 0x60000020,
                                                                                                  b"\xc3")]),
    "dos.exe": dos_only,
    "ne.exe": new_executable,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--corpus", required=True, help="the folder to write the seed images into")
    args = parser.parse_args()
    os.makedirs(args.corpus, exist_ok=True)
    for name, make in CORPUS.items():
        with open(os.path.join(args.corpus, name), "wb") as f:
            f.write(make())


if __name__ == "__main__":
    main()
