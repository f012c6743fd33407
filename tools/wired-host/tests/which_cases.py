"""Cases of `wired-host which`, on small images made by pe_files.py and on
the tool's own executable when it is a Windows build.

Each case gets the suite (wired_host_test.Suite)."""
import json
import os
import shutil
import struct
import time

from model_cases import check, equal
from pe_files import AMD64, ARM64, I386, dos_only, new_executable, pe

K32 = ("KERNEL32.dll", ["ExitProcess"])

# name, image, exit code, flavour ("" for none), a phrase the reasons hold
VERDICTS = [
    ("msvc32", lambda: pe(I386, [K32, ("MSVCP140.dll", ["?x@@YAXXZ"]), ("VCRUNTIME140.dll", ["memcpy"])]),
     0, "win32-msvc", "Visual Studio 2015-2022 in release"),
    ("msvc64", lambda: pe(AMD64, [K32, ("msvcp140.dll", []), ("vcruntime140_1.dll", [])]),
     0, "win64-msvc", "imports msvcp140.dll:"),
    ("msvc64 delay-loaded", lambda: pe(AMD64, [K32], [("VCRUNTIME140.dll", ["memset"])]),
     0, "win64-msvc", "imports vcruntime140.dll"),
    ("Visual C++ 6 delay-loading msvcp140", lambda: pe(I386, [K32], [("msvcp140.dll", ["?x@@YAXXZ", 3])],
                                                       old_delayed=True),
     0, "win32-msvc", "imports msvcp140.dll:"),
    ("mingw32 dw2", lambda: pe(I386, [("libstdc++-6.dll", ["_ZdlPv"]), ("libgcc_s_dw2-1.dll", [7])]),
     0, "win32-mingw", "DWARF-2 exceptions"),
    ("mingw64 seh", lambda: pe(AMD64, [("libstdc++-6.dll", ["_ZdlPv"]), ("libgcc_s_seh-1.dll", [])]),
     0, "win64-mingw", "SEH exceptions"),
    ("mingw64 on the UCRT", lambda: pe(AMD64, [("api-ms-win-crt-heap-l1-1-0.dll", ["malloc"]),
                                             ("libstdc++-6.dll", ["_ZdlPv"]), ("libgcc_s_seh-1.dll", [])]),
     0, "win64-mingw", "Universal C Runtime"),
    ("mingw32 model unknown", lambda: pe(I386, [("libstdc++-6.dll", ["_ZdlPv"])]),
     0, "win32-mingw", "exception model is not known"),
    ("mingw32 sjlj", lambda: pe(I386, [("libstdc++-6.dll", []), ("libgcc_s_sjlj-1.dll", ["_Unwind_SjLj_Resume"])]),
     1, "", "setjmp/longjmp"),
    ("mingw64 dw2", lambda: pe(AMD64, [("libstdc++-6.dll", []), ("libgcc_s_dw2-1.dll", [])]),
     1, "", "No flavour has DWARF-2 exceptions for 64-bit hosts"),
    ("debug msvcp140d", lambda: pe(AMD64, [K32, ("MSVCP140D.dll", []), ("VCRUNTIME140D.dll", [])]),
     1, "", "debug runtime"),
    ("debug ucrtbased delay-loaded", lambda: pe(I386, [("msvcp140.dll", [])], [("ucrtbased.dll", ["malloc"])]),
     1, "", "ucrtbased.dll, Visual Studio's debug runtime"),
    ("debug vcruntime140d", lambda: pe(I386, [("vcruntime140d.dll", [])]), 1, "", "debug runtime"),
    ("Visual Studio 2013", lambda: pe(I386, [("MSVCP120.dll", []), ("MSVCR120.dll", [])]),
     1, "", "Visual Studio 2013 or older"),
    ("Visual Studio 2010 C runtime", lambda: pe(AMD64, [K32, ("msvcr100.dll", ["malloc"])]),
     1, "", "imports msvcr100.dll"),
    ("Visual C++ 6", lambda: pe(I386, [("MSVCP60.dll", []), ("MSVCRT.dll", [])]), 1, "", "imports msvcp60.dll"),
    ("llvm-mingw", lambda: pe(AMD64, [("libc++.dll", []), ("libunwind.dll", [])]), 1, "", "clang with libc++"),
    ("Cygwin", lambda: pe(AMD64, [("cygwin1.dll", []), ("cygstdc++-6.dll", [])]), 1, "", "Cygwin's g++"),
    ("static runtime", lambda: pe(I386, [K32, ("USER32.dll", ["MessageBoxA"])]), 1, "", "linked in"),
    ("mingw32 -static-libstdc++", lambda: pe(I386, [K32, ("msvcrt.dll", ["malloc"]), ("libgcc_s_dw2-1.dll", [])]),
     1, "", "-static-libstdc++"),
    ("no imports at all", lambda: pe(AMD64), 1, "", "No C++ runtime DLL"),
    ("two runtimes", lambda: pe(I386, [("msvcp140.dll", []), ("libstdc++-6.dll", [])]), 1, "", "both"),
    (".NET", lambda: pe(I386, [("mscoree.dll", ["_CorExeMain"])], clr=True), 1, "", "CLR header"),
    (".NET importing msvcp140", lambda: pe(AMD64, [("msvcp140.dll", [])], clr=True), 1, "", ".NET"),
    ("ARM64", lambda: pe(ARM64, [("msvcp140.dll", [])]), 1, "", "ARM64"),
    # As the loader takes names: without an extension, ".dll" is added.
    ("names without .dll", lambda: pe(I386, [("MSVCP140", []), ("VCRUNTIME140", [])]), 0, "win32-msvc",
     "imports msvcp140.dll and vcruntime140.dll"),
    ("msvcp140_1 alone", lambda: pe(AMD64, [K32, ("MSVCP140_1.dll", [])]), 0, "win64-msvc", "msvcp140_1.dll"),
    ("libc++ beside msvcp140", lambda: pe(AMD64, [("msvcp140.dll", []), ("libc++.dll", [])]), 1, "",
     "both Visual Studio's C++ runtime and libc++.dll"),
    ("a long mangled name", lambda: pe(AMD64, [("libstdc++-6.dll", ["_ZN5boost" + "x" * 6000]),
                                              ("libgcc_s_seh-1.dll", [])]), 0, "win64-mingw", "seh"),
    ("import directory of size 0", lambda: import_size_zero(pe(I386, [("msvcp140.dll", [])])), 0, "win32-msvc",
     "msvcp140.dll"),
    # A folder before the name does not hide which runtime it is.
    ("debug runtime by a path", lambda: pe(AMD64, [(r"C:\VS\msvcp140d.dll", []), ("vcruntime140.dll", [])]),
     1, "", "debug runtime"),
    ("section raw data past its virtual size", lambda: raw_past_virtual_size(), 0, "win64-mingw", "seh"),
    ("MS-DOS", dos_only, 1, "", "MS-DOS"),
    ("16-bit Windows", new_executable, 1, "", "16-bit"),
]


def import_size_zero(data):
    """The import directory's size set to 0: the loader goes by its address alone."""
    data = bytearray(data)
    optional = struct.unpack_from("<I", data, 0x3C)[0] + 24
    directories = optional + (112 if struct.unpack_from("<H", data, optional)[0] == 0x20B else 96)
    struct.pack_into("<I", data, directories + 8 + 4, 0)
    return bytes(data)


def pe_truncated():
    return pe(I386, [("msvcp140.dll", [])])[:0x60]


def pe_imports_outside():
    data = bytearray(pe(I386, [("msvcp140.dll", [])]))
    offset = 0x40 + 4 + 20 + 96 + 8  # the import directory of a PE32
    data[offset:offset + 4] = (0x7FFF0000).to_bytes(4, "little")
    return bytes(data)


def pe_section_beyond_file():
    """The section's file data starts past the end of the file."""
    data = bytearray(pe(I386, [("msvcp140.dll", [])]))
    offset = 0x40 + 4 + 20 + 96 + 16 * 8 + 20  # the section's PointerToRawData
    data[offset:offset + 4] = (0xFFFFFE00).to_bytes(4, "little")
    return bytes(data)


def pe_sections_past_end():
    """65535 sections in a file of a few hundred bytes."""
    data = bytearray(pe(AMD64, [("msvcp140.dll", [])]))
    data[0x40 + 6:0x40 + 8] = (0xFFFF).to_bytes(2, "little")
    return bytes(data)


def raw_past_virtual_size():
    """Two sections: the first holds more file data than its virtual size,
    and past that size, where the loader maps the second section, import
    tables of Visual Studio; the second holds mingw's, which are what the
    loader reads."""
    def tables(rva, dlls):
        blob = bytearray(0x400)
        names = []
        for i, dll in enumerate(dlls):
            blob[0x100 + 0x40 * i:0x100 + 0x40 * i + len(dll)] = dll.encode()
            names.append(rva + 0x100 + 0x40 * i)
        descriptors = b"".join(struct.pack("<IIIII", rva + 0x300, 0, 0, n, rva + 0x300) for n in names)
        blob[:len(descriptors)] = descriptors
        return bytes(blob)
    first = bytearray(0x2000)
    first[0x1000:0x1400] = tables(0x2000, ["msvcp140.dll", "vcruntime140.dll"])
    second = tables(0x2000, ["libstdc++-6.dll", "libgcc_s_seh-1.dll"])
    data = bytearray(pe(AMD64, more_sections=[(".idata", 0xC0000040, second)]))
    section_table = 0x40 + 4 + 20 + 112 + 16 * 8
    # The first section: virtual size 0x100 at 0x1000, 0x2000 bytes of file
    # data at the end of the file; the second at 0x2000; imports at 0x2000.
    struct.pack_into("<IIII", data, section_table + 8, 0x100, 0x1000, len(first), len(data))
    struct.pack_into("<I", data, section_table + 40 + 12, 0x2000)
    struct.pack_into("<II", data, 0x40 + 4 + 20 + 112 + 8, 0x2000, 40)
    second_offset = struct.unpack_from("<I", data, section_table + 40 + 20)[0]
    data[second_offset:second_offset + len(second)] = second
    return bytes(data) + bytes(first)


def many_sections(thunks):
    """65,535 empty sections, with the import tables in the headers: every
    lookup of a thunk passes them all if sections are searched in turn."""
    count = 65535
    optional_size = 112 + 16 * 8
    table = 0x40 + 4 + 20 + optional_size
    data = bytearray(table + 40 * count)
    def put(blob):
        data.extend(bytes(-len(data) % 8))
        data.extend(blob)
        return len(data) - len(blob)
    dll = put(b"kernel32.dll\0")
    hint = put(b"\0\0ExitProcess\0")
    lookup = put(struct.pack("<Q", hint) * thunks + bytes(8))
    descriptors = put(struct.pack("<IIIII", lookup, 0, 0, dll, lookup) + bytes(20))
    data.extend(bytes(-len(data) % 0x200))
    data[0:2] = b"MZ"
    struct.pack_into("<I", data, 0x3C, 0x40)
    data[0x40:0x44] = b"PE\0\0"
    struct.pack_into("<HHIIIHH", data, 0x44, AMD64, count, 0, 0, 0, optional_size, 0x22)
    optional = struct.pack("<HBBIIIIIQIIHHHHHHIIIIHHQQQQII", 0x20B, 14, 0, 0, 0, 0, 0x1000, 0x1000, 0x140000000,
                           0x1000, 0x200, 6, 0, 0, 0, 6, 0, 0, 0x101000 + 0x1000 * count, len(data), 0, 3, 0x8160,
                           0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    optional += struct.pack("<II", 0, 0) + struct.pack("<II", descriptors, 40) + bytes(8 * 14)
    data[0x58:0x58 + len(optional)] = optional
    for i in range(count):
        struct.pack_into("<8sII", data, table + 40 * i, b".s", 0x1000, 0x100000 + 0x1000 * i)
    return bytes(data)


def stub_only():
    """The first 64 bytes of a Windows program: its stub's relocations at
    0x40 say a newer header follows, and the file ends before it."""
    data = bytearray(pe(I386)[:0x40])
    struct.pack_into("<H", data, 0x18, 0x40)
    return bytes(data)


def pe_name_unterminated():
    """The DLL name runs to the end of the section without a NUL."""
    data = bytearray(pe(I386, [("msvcp140.dll", [])]))
    data[0x200:] = b"A" * (len(data) - 0x200)
    return bytes(data)


# name, bytes, a phrase of the message
BAD_INPUT = [
    ("empty file", b"", "no MZ header"),
    ("MS-DOS header cut off", b"MZ" + bytes(40), "the MS-DOS header is cut off (42 of its 64 bytes)"),
    ("text file", b"<Wired/>\n", "no MZ header"),
    ("ELF", b"\x7fELF" + bytes(60), "no MZ header"),
    ("PE cut off", pe_truncated(), "cut off"),
    ("import table outside", pe_imports_outside(), "import table runs outside the file"),
    ("name without end", pe_name_unterminated(), "lies outside the file"),
    ("section beyond the file", pe_section_beyond_file(), "section 1 (.rdata) runs 512 bytes past the end"),
    ("last section cut short", pe(I386, [("msvcp140.dll", [])])[:-100], "runs 100 bytes past the end of the file"),
    ("cut in its PE signature", pe(I386, [("msvcp140.dll", [])])[:0x42], "cut off in its PE signature"),
    ("section table past the end", pe_sections_past_end(), "section table is cut off"),
    # A Windows program's stub (relocations at 0x40) whose file ends before
    # the header it points to: cut short, not an MS-DOS program.
    ("cut before its PE header", stub_only(), "points to a newer header at offset 64"),
]


def _which(s, *args):
    return s.tool.run("which", *args)


def test_which_names_the_flavour_or_refuses(s):
    for i, (name, make, code, flavour, phrase) in enumerate(VERDICTS):
        path = s.write(os.path.join("which", name.replace(" ", "-") + ".exe"), make())
        # The text is the JSON's in other words: under Wine, where each
        # start costs, a few cases check it.
        if not s.tool.wine or i % 5 == 0:
            got, out, err = _which(s, s.tool.arg(path))
            equal(got, code, f"{name}: exit code; stdout: {out} stderr: {err}")
            check(f"\nFits: {flavour or 'none'}\n" in out, f"{name}: {out}")
        got, out, err = _which(s, "--format", "json", s.tool.arg(path))
        equal(got, code, f"{name}: JSON exit code; stderr: {err}")
        report = json.loads(out)
        equal(report["flavour"], flavour or None, f"{name}: flavour")
        check(any(phrase in reason for reason in report["reasons"]), f"{name}: '{phrase}' not in {report['reasons']}")


def test_which_refuses_what_is_no_windows_program(s):
    for name, data, phrase in BAD_INPUT:
        path = s.write(os.path.join("which-bad", name.replace(" ", "-") + ".exe"), data)
        got, out, err = _which(s, "--format", "json", s.tool.arg(path))
        equal((got, out), (2, ""), f"{name}: stderr: {err}")
        check(phrase in err and "wired-host which: " in err, f"{name}: {err}")
    folder = os.path.join(s.work, "which-bad")
    for args, phrase in [((s.tool.arg(folder),), "is a folder"),
                         ((s.tool.arg(os.path.join(folder, "absent.exe")),), "no such file"),
                         ((), "expects one host program"),
                         (("--format", "xml", s.tool.arg(folder)), "--format is text or json")] + \
            ([] if s.tool.wine else [(("/dev/null",), "is a pipe or a device")]):
        got, out, err = _which(s, *args)
        equal(got, 2, f"{args}: {out} {err}")
        check(phrase in err, f"{args}: {err}")
    # Files bigger than any program or runtime DLL are not read at all
    # (sparse here: they cost no disk).
    big = os.path.join(folder, "big.exe")
    with open(big, "wb") as f:
        f.truncate((1 << 30) + 1)
    started = time.monotonic()
    got, out, err = _which(s, s.tool.arg(big))
    equal((got, out), (2, ""), err)
    check("more than the 1 GiB of any program" in err and time.monotonic() - started < 5, err)
    host = s.write(os.path.join("which-big", "host.exe"), pe(AMD64, [K32, ("msvcp140.dll", []), ("vcruntime140.dll", [])]))
    with open(os.path.join(os.path.dirname(host), "vcruntime140.dll"), "wb") as f:
        f.truncate(300 << 20)
    got, out, err = _which(s, "--format", "json", s.tool.arg(host))
    runtime = {r["dll"]: r for r in json.loads(out)["runtimeDlls"]}
    check("more than the 256 MiB a DLL is read to" in (runtime["vcruntime140.dll"]["detail"] or ""), out + err)
    # Nothing read, nothing against the host: it fits, with a word of caution.
    equal((got, runtime["vcruntime140.dll"]["state"]), (0, "not-read"), out + err)
    check(any("was not read, so not compared" in a for a in json.loads(out)["advice"]), out)
    # Every lookup of 100,000 thunks among 65,535 sections (a minute when
    # the sections were searched in turn).
    path = s.write(os.path.join("which-bad", "many-sections.exe"), many_sections(100000))
    started = time.monotonic()
    got, out, err = _which(s, s.tool.arg(path))
    check(got == 1 and "No C++ runtime DLL" in out, out + err)
    check(time.monotonic() - started < 10, f"{time.monotonic() - started:.1f} s")
    got, out, err = _which(s, "--help")
    equal(got, 0)
    check("Usage: wired-host which" in out and "Exit status" in out, out)
    got, out, err = s.tool.run("--help")
    check("\n  which HOST.exe " in out, out)


def _mingw_folders(s, name, host_library, plugin_library, plugin_imports):
    """A mingw host folder with host_library as its libstdc++-6.dll, and a
    plug-in folder with a plug-in taking plugin_imports from
    plugin_library."""
    host = s.write(os.path.join(name, "host", "host.exe"),
                   pe(I386, [("libstdc++-6.dll", ["_ZdlPv"]), ("libgcc_s_dw2-1.dll", [])]))
    if host_library is not None:
        s.write(os.path.join(name, "host", "libstdc++-6.dll"), host_library)
    plugin = s.write(os.path.join(name, "plugin", "wiredClsTab.dll"),
                     pe(I386, [("libstdc++-6.dll", plugin_imports), ("libgcc_s_dw2-1.dll", [])],
                        exports=["registConvert"], dll=True))
    s.write(os.path.join(name, "plugin", "libstdc++-6.dll"), plugin_library)
    unwinder = pe(I386, exports=["_Unwind_Resume"], dll=True)
    for folder in ("host", "plugin"):
        s.write(os.path.join(name, folder, "libgcc_s_dw2-1.dll"), unwinder)
    return host, plugin


def test_which_compares_the_runtime_beside_the_host_with_the_plugins(s):
    ours = pe(I386, [("libgcc_s_dw2-1.dll", [])], exports=["_ZdlPv", "_Znwj", "_ZSt4cout"], dll=True)
    newer = pe(I386, [("libgcc_s_dw2-1.dll", [])], exports=["_ZdlPv", "_Znwj", "_ZSt4cout", "_ZSt4cerr"], dll=True)
    older = pe(I386, [("libgcc_s_dw2-1.dll", [])], exports=["_ZdlPv"], dll=True)
    sjlj = pe(I386, [("libgcc_s_sjlj-1.dll", [])], exports=["_ZdlPv"], dll=True)
    # The toolchain's copy of our build, before the package stripped it of
    # its debug information (sections with long names, discarded at
    # load), and copies whose loaded code differs.
    unstripped = pe(I386, [("libgcc_s_dw2-1.dll", [])], exports=["_ZdlPv", "_Znwj", "_ZSt4cout"], dll=True,
                    more_sections=[("/4", 0x42000040, b"debug" * 300), ("/19", 0x42100040, b"info" * 50)])
    patched = pe(I386, [("libgcc_s_dw2-1.dll", [])], exports=["_ZdlPv", "_Znwj", "_ZSt4cout"], dll=True,
                 more_sections=[("/4", 0x62000020, b"\xcc" * 16)])
    renamed = ours.replace(b"_ZSt4cout", b"_ZSt4cerr")
    needs = ["_ZdlPv", "_Znwj", "_ZSt4cout"]
    # name, host's libstdc++, exit code, its state, a phrase of the advice
    cases = [
        ("same", ours, 0, "same", "Keep the host's runtime DLLs: they are the same build"),
        ("unstripped", unstripped, 0, "same", "Keep the host's runtime DLLs: they are the same build"),
        ("code added", patched, 0, "enough", "never copy the plug-in's over them"),
        ("export renamed", renamed, 1, "lacking", "Ask the host's vendor"),
        ("newer", newer, 0, "enough", "never copy the plug-in's over them"),
        ("older", older, 1, "lacking", "Ask the host's vendor"),
        ("absent", None, 0, "not-beside", "LOAD_WITH_ALTERED_SEARCH_PATH"),
        # Every function there, but for x86-64: the host cannot load it.
        ("other machine", pe(AMD64, [("libgcc_s_seh-1.dll", [])], exports=needs, dll=True), 1, "other-machine",
         "Repair the host's installation"),
    ]
    for name, library, code, state, phrase in cases:
        host, plugin = _mingw_folders(s, "runtime-" + name, library, ours, needs)
        got, out, err = _which(s, "--format", "json", "--plugin", s.tool.arg(plugin), s.tool.arg(host))
        equal(got, code, f"{name}: {out} {err}")
        report = json.loads(out)
        equal(s.tool.local(report["plugin"]), plugin, f"{name}: plug-in")
        runtime = {r["dll"]: r for r in report["runtimeDlls"]}
        equal(runtime["libstdc++-6.dll"]["state"], state, f"{name}: {report}")
        check(any(phrase in a for a in report["advice"]), f"{name}: '{phrase}' not in {report['advice']}")
        if state in ("lacking", "other-machine"):
            equal(report["flavour"], None, name)
        if state == "lacking":
            equal(runtime["libstdc++-6.dll"]["missing"], ["_Znwj", "_ZSt4cout"] if name == "older" else ["_ZSt4cout"],
                  name)
            equal(report["flavour"], None, name)
        detail = runtime["libstdc++-6.dll"]["detail"] or ""
        if name == "unstripped":
            check(detail.startswith("the same code and data; "), f"{name}: {detail}")
        if name in ("code added", "export renamed"):
            check(detail.endswith(("; section /4 differs", "; section .rdata differs")), f"{name}: {detail}")
    # Only the libstdc++-6.dll beside a host tells its exception model.
    host = s.write(os.path.join("runtime-sjlj", "host.exe"), pe(I386, [("libstdc++-6.dll", ["_ZdlPv"])]))
    s.write(os.path.join("runtime-sjlj", "libstdc++-6.dll"), sjlj)
    got, out, err = _which(s, s.tool.arg(host))
    equal(got, 1, out + err)
    check("the libstdc++-6.dll beside it imports libgcc_s_sjlj-1.dll" in out, out)
    # A plug-in of another flavour is not compared with.
    host, _ = _mingw_folders(s, "runtime-other", ours, ours, needs)
    other = s.write(os.path.join("runtime-other", "msvc", "wiredClsTab.dll"),
                    pe(I386, [("msvcp140.dll", [])], dll=True))
    got, out, err = _which(s, "--plugin", s.tool.arg(os.path.dirname(other)), s.tool.arg(host))
    equal(got, 0, out + err)
    check("is of win32-msvc, not win32-mingw" in out.replace("\n    ", " "), out)
    got, out, err = _which(s, "--plugin", s.tool.arg(os.path.join(s.work, "nothing")), s.tool.arg(host))
    equal(got, 2, out + err)


def test_which_follows_a_launcher_to_the_dlls_beside_it(s):
    """A small program whose own DLLs beside it import the C++ runtime."""
    # Windows finds a DLL by its name in any case, and so does which.
    launcher = pe(I386, [K32, ("APP.DLL", ["run"])])
    vs = pe(I386, [("MSVCP140.dll", []), ("VCRUNTIME140.dll", [])], dll=True)
    mingw = pe(I386, [("libstdc++-6.dll", []), ("libgcc_s_dw2-1.dll", [])], dll=True)
    # C built with Visual Studio: its runtime, but no C++ library.
    vs_c = pe(I386, [("VCRUNTIME140.dll", ["memcpy"])], dll=True)
    # name, the DLLs beside the launcher (and the launcher's imports when
    # not APP.DLL), exit code, flavour, a phrase of the reasons
    cases = [
        ("through two", {"app.dll": pe(I386, [K32, ("core.dll", [])], dll=True), "core.dll": vs}, 0, "win32-msvc",
         "its own APP.DLL > core.dll beside it does"),
        # Names from the image are looked for beside it, not along a path.
        ("path out of the folder", {"launcher.exe": pe(I386, [K32, ("../launcher-outside/core.dll", [])]),
                                    "../launcher-outside/core.dll": vs}, 1, "", "No C++ runtime DLL"),
        ("two runtimes", {"launcher.exe": pe(I386, [("a.dll", []), ("b.dll", [])]), "a.dll": mingw, "b.dll": vs},
         1, "", "a.dll (win32-mingw) and b.dll (win32-msvc)"),
        ("C library first", {"launcher.exe": pe(I386, [("c.dll", []), ("a.dll", [])]), "c.dll": vs_c, "a.dll": mingw},
         0, "win32-mingw", "its own a.dll beside it does"),
        (".NET", {"app.dll": pe(I386, [("mscoree.dll", [])], clr=True, dll=True)}, 1, "", "what the plug-in would meet"),
        ("debug", {"app.dll": pe(I386, [("vcruntime140d.dll", [])], dll=True)}, 1, "", "debug runtime"),
        ("mingw", {"app.dll": pe(I386, [("libstdc++-6.dll", []), ("libgcc_s_dw2-1.dll", [])], dll=True)},
         0, "win32-mingw", "DWARF-2"),
        # A DLL of the other bitness is not the one Windows loads.
        ("other bitness", {"app.dll": pe(AMD64, [("msvcp140.dll", [])], dll=True)}, 1, "", "No C++ runtime DLL"),
        ("plain C", {"app.dll": pe(I386, [K32, ("app.dll", [])], dll=True)}, 1, "", "No C++ runtime DLL"),
    ]
    for name, dlls, code, flavour, phrase in cases:
        folder = "launcher-" + name.replace(" ", "-")
        for dll, data in dlls.items():
            s.write(os.path.join(folder, dll), data)
        path = os.path.join(s.work, folder, "launcher.exe")
        if "launcher.exe" not in dlls:
            s.write(os.path.join(folder, "launcher.exe"), launcher)
        got, out, err = _which(s, "--format", "json", s.tool.arg(path))
        equal(got, code, f"{name}: {out} {err}")
        report = json.loads(out)
        equal(report["flavour"], flavour or None, f"{name}: {report}")
        check(any(phrase in reason for reason in report["reasons"]), f"{name}: '{phrase}' not in {report['reasons']}")
        check(report["reasons"][0].startswith("PE32 for i386"), f"{name}: {report['reasons']}")


def test_which_fits_the_tool_itself_to_its_own_plugin(s):
    """A Windows build of wired-host is a host of its own flavour, with the
    plug-in and, for mingw, the runtime DLLs beside it."""
    if not s.tool.exe.lower().endswith(".exe"):
        return
    flavour = os.environ.get("WIREDCLSTAB_FLAVOUR")
    got, out, err = _which(s, "--format", "json", s.tool.arg(s.tool.exe))
    equal(got, 0, out + err)
    report = json.loads(out)
    equal(report["flavour"], flavour, str(report))
    equal(os.path.normcase(s.tool.local(report["plugin"])), os.path.normcase(os.path.abspath(s.plugin)))
    states = {r["dll"]: r["state"] for r in report["runtimeDlls"]}
    if flavour.endswith("mingw"):
        equal(set(states.values()), {"same"}, str(states))
        check(report["exceptions"] == ("seh" if flavour.startswith("win64") else "dw2"), str(report))
    else:
        check(report["runtime"] == "Visual Studio 2015-2022", str(report))


WHICH_CASES = [test_which_names_the_flavour_or_refuses, test_which_refuses_what_is_no_windows_program,
               test_which_compares_the_runtime_beside_the_host_with_the_plugins,
               test_which_follows_a_launcher_to_the_dlls_beside_it, test_which_fits_the_tool_itself_to_its_own_plugin]
