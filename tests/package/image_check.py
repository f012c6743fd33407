#!/usr/bin/env python3
"""Reads the shipped Windows binaries as a security reviewer would, so that
none of what makes the plug-in a good guest in a host's process regresses
silently: the protections in the image's headers and load configuration,
the version resource (and the manifest of a program), no debug information,
no build path, and for the plug-in its one export and expected imports.

  image_check.py --flavour FLAVOUR --version VERSION [--build-path PATH...] FOLDER|FILE...

checks every .dll and .exe in FOLDER, a flavour's folder of the package, or
the binaries named.
The headers, the load configuration, the sections, the imports and the
exports are read by llvm-readobj (independent of the linker that wrote
them); the version resource by the small reader below."""
import argparse
import os
import re
import struct
import subprocess
import sys

READOBJ = os.environ.get("LLVM_READOBJ", "llvm-readobj-14")

# What each flavour's plug-in imports: the system and its C++ runtime.
PLUGIN_IMPORTS = {
    "win32-mingw": {"KERNEL32.dll", "USER32.dll", "msvcrt.dll", "libstdc++-6.dll", "libgcc_s_dw2-1.dll"},
    "win64-mingw": {"KERNEL32.dll", "USER32.dll", "msvcrt.dll", "libstdc++-6.dll", "libgcc_s_seh-1.dll"},
    "win32-msvc": {"KERNEL32.dll", "USER32.dll", "MSVCP140.dll", "VCRUNTIME140.dll", "ucrtbase.dll"},
    "win64-msvc": {"KERNEL32.dll", "USER32.dll", "MSVCP140.dll", "VCRUNTIME140.dll", "ucrtbase.dll"},
}
# The mingw C++ runtime that ships beside the plug-in: not ours to give a
# version resource or a load configuration, but shipped without debug data.
RUNTIME_DLLS = {"libstdc++-6.dll", "libgcc_s_dw2-1.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll"}
# Never acceptable among the imports of a shipped binary: the stack
# protector's DLL (it is linked in), Visual Studio's debug runtime, and
# ntdll, whose copies of the compiler's helpers Visual Studio links in.
FORBIDDEN_IMPORTS = {"libssp-0.dll", "MSVCP140D.dll", "VCRUNTIME140D.dll", "ucrtbased.dll", "ntdll.dll"}
VERSION_STRINGS = ("FileVersion", "ProductVersion", "ProductName", "FileDescription", "OriginalFilename", "InternalName")
# The load configuration's Size: the current Windows SDK's structure; for
# mingw, its headers' (the Windows 7 layout), which names the stack cookie.
LOAD_CONFIG_SIZES = {"win32": 0xC0, "win64": 0x140}
MINGW_LOAD_CONFIG_SIZES = {"win32": 0x48, "win64": 0x70}
IMAGE_GUARD_CF_INSTRUMENTED = 0x100


def readobj(path, *options):
    result = subprocess.run([READOBJ, *options, path], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        raise AssertionError(f"{READOBJ} {' '.join(options)} {path}: {result.stderr.strip()}")
    return result.stdout


def fields(text):
    """The "Name: value" lines of llvm-readobj's output, first one wins."""
    found = {}
    for match in re.finditer(r"^\s*([A-Za-z][A-Za-z0-9 ]*?): (.*)$", text, re.M):
        found.setdefault(match.group(1), match.group(2).strip())
    return found


def number(text):
    """The value of a field: its hexadecimal form where it has one (a time
    reads "1970-01-01 00:00:00 (0x0)"), else its decimal one."""
    match = re.search(r"0x[0-9A-Fa-f]+", text or "") or re.search(r"\d+", text or "")
    return int(match.group(0), 0) if match else 0


def block(text, title):
    """The lines of the first "Title [ ... ]" block (up to its closing bracket)."""
    start = re.search(r"^(\s*)" + re.escape(title) + r" \[.*$", text, re.M)
    if not start:
        return ""
    end = re.search(r"^" + start.group(1) + r"\]", text[start.end():], re.M)
    return text[start.end():start.end() + end.start()] if end else text[start.end():]


class Image:
    """What llvm-readobj reads from one PE file."""

    def __init__(self, path):
        self.path = path
        self.name = os.path.basename(path)
        headers = readobj(path, "--file-headers")
        self.headers = fields(headers)
        self.dll_flags = set(re.findall(r"IMAGE_DLL_CHARACTERISTICS_(\w+)", headers))
        self.sections = re.findall(r"^\s*Name: (\S+)", readobj(path, "--sections"), re.M)
        self.imports = re.findall(r"^\s*Name: (\S+\.dll)$", readobj(path, "--coff-imports"), re.M | re.I)
        self.exports = [n for n in re.findall(r"^\s*Name: (.*)$", readobj(path, "--coff-exports"), re.M) if n.strip()]
        load_config = readobj(path, "--coff-load-config")
        self.load_config = fields(block(load_config, "LoadConfig"))
        self.debug_directory = readobj(path, "--coff-debug-directory")
        with open(path, "rb") as f:
            self.data = f.read()

    def version_strings(self):
        return version_resource_strings(self.data)

    def manifest(self):
        return resource_data(self.data, 24)


# ---- the resource section, read by hand --------------------------------------

def _sections(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise AssertionError("not a PE file")
    count, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    table = optional + optional_size
    sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(count)]
    return directories, sections


def _offset(sections, rva):
    for virtual_size, address, raw_size, raw_pointer in sections:
        if address <= rva < address + max(virtual_size, raw_size):
            return raw_pointer + rva - address
    raise AssertionError(f"address {rva:#x} lies in no section")


def resource_data(data, resource_type):
    """The bytes of the first resource of a numbered type, or None."""
    directories, sections = _sections(data)
    rva, size = struct.unpack_from("<II", data, directories + 2 * 8)
    if rva == 0 or size == 0:
        return None
    root = _offset(sections, rva)

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", data, offset + 12)
        for i in range(named + numbered):
            yield struct.unpack_from("<II", data, offset + 16 + 8 * i)

    node = None
    for ident, target in entries(root):
        if ident == resource_type:
            node = target
    if node is None:
        return None
    for _ in range(2):  # the name level, then the language level
        if not node & 0x80000000:
            raise AssertionError("malformed resource directory")
        node = next(entries(root + (node & 0x7FFFFFFF)))[1]
    data_rva, data_size = struct.unpack_from("<II", data, root + node)
    start = _offset(sections, data_rva)
    return data[start:start + data_size]


def version_resource_strings(data):
    """The StringFileInfo of the version resource: {key: value}."""
    block_bytes = resource_data(data, 16)
    if block_bytes is None:
        return {}
    strings = {}

    def walk(offset, end, depth):
        while offset + 6 <= end:
            length, value_length, kind = struct.unpack_from("<HHH", block_bytes, offset)
            if length == 0:
                break
            key_end = offset + 6
            while block_bytes[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = block_bytes[offset + 6:key_end].decode("utf-16-le")
            value_start = (key_end + 2 + 3) & ~3
            if depth == 2 and kind == 1:
                value = block_bytes[value_start:value_start + 2 * value_length].decode("utf-16-le").rstrip("\0")
                strings[key] = value
            elif depth < 2 and (depth > 0 or key == "StringFileInfo"):
                walk(value_start + (2 * value_length if kind == 1 else value_length), offset + length, depth + 1)
            offset = (offset + length + 3) & ~3

    # VS_VERSIONINFO: its key, then the fixed part, then its children.
    length, value_length, _ = struct.unpack_from("<HHH", block_bytes, 0)
    key_end = 6 + len("VS_VERSION_INFO\0") * 2
    children = (((key_end + 3) & ~3) + value_length + 3) & ~3
    walk(children, length, 0)
    return strings


# ---- the checks --------------------------------------------------------------

def check_image(image, flavour, version, build_paths):
    """The problems found in one shipped binary of a flavour's folder."""
    problems = []
    bits = flavour[:5]
    msvc = flavour.endswith("msvc")

    def expect(condition, text):
        if not condition:
            problems.append(text)

    forbidden = {i for i in image.imports if i.lower() in {f.lower() for f in FORBIDDEN_IMPORTS}}
    expect(not forbidden, f"imports {sorted(forbidden)}")
    debug_sections = [s for s in image.sections if s.startswith(".debug") or s.startswith(".zdebug")]
    expect(not debug_sections, f"debug sections {debug_sections}")
    expect(number(image.headers.get("SymbolCount")) == 0, "a symbol table")
    for path in build_paths:
        for encoded in (path.encode(), path.encode("utf-16-le")):
            expect(encoded not in image.data, f"the build path {path}")
    if image.name in RUNTIME_DLLS:
        return problems

    # Randomised, no execution of data.
    wanted = {"DYNAMIC_BASE", "NX_COMPAT"} | ({"HIGH_ENTROPY_VA"} if bits == "win64" else set())
    expect(wanted <= image.dll_flags, f"DllCharacteristics {sorted(image.dll_flags)} lack {sorted(wanted - image.dll_flags)}")

    config_size = number(image.load_config.get("Size"))
    if msvc:
        # Stack cookie, Control Flow Guard and (x86) SafeSEH, through the
        # load configuration that Windows validates.
        expect(config_size == LOAD_CONFIG_SIZES[bits], f"load configuration Size {config_size:#x}")
        expect(number(image.load_config.get("SecurityCookie")) != 0, "no security cookie in the load configuration")
        expect("GUARD_CF" in image.dll_flags, "not marked GUARD_CF")
        expect(number(image.load_config.get("GuardCFCheckFunction")) != 0, "no Control Flow Guard check function")
        expect(number(image.load_config.get("GuardCFFunctionTable")) != 0
               and number(image.load_config.get("GuardCFFunctionCount")) > 0, "no Control Flow Guard function table")
        expect(number(image.load_config.get("GuardFlags")) & IMAGE_GUARD_CF_INSTRUMENTED, "GuardFlags lack CF_INSTRUMENTED")
        if bits == "win32":
            expect("NO_SEH" not in image.dll_flags, "marked NO_SEH")
            expect(number(image.load_config.get("SEHandlerTable")) != 0
                   and number(image.load_config.get("SEHandlerCount")) > 0, "no SafeSEH handler table")
        else:
            expect(number(image.load_config.get("GuardCFCheckDispatch")) != 0, "no Control Flow Guard dispatch function")
            expect("CET_COMPAT" in image.debug_directory, "not marked compatible with CET's shadow stack")
        pdbs = re.findall(r"PDBFileName: (.*)", image.debug_directory)
        expected_pdb = os.path.splitext(image.name)[0] + ".pdb"
        expect(pdbs == [expected_pdb], f"names its symbols {pdbs}, not {expected_pdb}")
    else:
        # mingw: the stack protector is linked in (no libssp import, above),
        # its cookie named in the load configuration, so that Windows sets
        # it before the image runs; 32-bit images register no SEH handler
        # and say so.
        expect(config_size == MINGW_LOAD_CONFIG_SIZES[bits], f"load configuration Size {config_size:#x}")
        expect(number(image.load_config.get("SecurityCookie")) != 0, "no security cookie in the load configuration")
        expect(number(image.load_config.get("SEHandlerTable")) == 0, "an exception handler table")
        if bits == "win32":
            expect("NO_SEH" in image.dll_flags, "not marked NO_SEH")
        expect(number(image.headers.get("TimeDateStamp")) == 0, "a time stamp")
        subsystem = (number(image.headers.get("MajorSubsystemVersion")), number(image.headers.get("MinorSubsystemVersion")))
        expect(subsystem == (6, 0), f"subsystem version {subsystem}")
        system = (number(image.headers.get("MajorOperatingSystemVersion")),
                  number(image.headers.get("MinorOperatingSystemVersion")))
        expect(system == (6, 0), f"operating system version {system}")
        expect(".gnu_debuglink" in image.sections, "no link to its symbols (.gnu_debuglink)")
        expect("CodeView" in image.debug_directory, "no build id")

    strings = image.version_strings()
    missing = [k for k in VERSION_STRINGS if not strings.get(k)]
    expect(not missing, f"version resource lacks {missing}")
    expect(strings.get("FileVersion") == version and strings.get("ProductVersion") == version,
           f"version resource says {strings.get('FileVersion')}, not {version}")
    expect(strings.get("OriginalFilename") == image.name, f"OriginalFilename {strings.get('OriginalFilename')}")

    if image.name.endswith(".exe"):
        expect("TERMINAL_SERVER_AWARE" in image.dll_flags, "a program not marked TERMINAL_SERVER_AWARE")
        manifest = (image.manifest() or b"").decode("utf-8", "replace")
        expect('level="asInvoker"' in manifest and "supportedOS" in manifest, "no manifest with asInvoker and supportedOS")
        # Not even named in a comment: a reader of the bytes cannot tell.
        for setting in ("activeCodePage", "longPathAware"):
            expect(setting not in manifest, f"the manifest names {setting}")
    else:
        expect(image.exports == ["registConvert"], f"exports {image.exports}")
        expect(set(image.imports) == PLUGIN_IMPORTS[flavour], f"imports {sorted(image.imports)}")
    return problems


def check_folder(folder, flavour, version, build_paths):
    """{file name: problems} for every binary in a flavour's folder."""
    found = {}
    for name in sorted(os.listdir(folder)):
        if name.lower().endswith((".dll", ".exe")):
            found[name] = check_image(Image(os.path.join(folder, name)), flavour, version, build_paths)
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--flavour", required=True, choices=sorted(PLUGIN_IMPORTS))
    parser.add_argument("--version", required=True)
    parser.add_argument("--build-path", action="append", default=[])
    parser.add_argument("paths", nargs="+", metavar="FOLDER|FILE")
    args = parser.parse_args()
    found = {}
    for path in args.paths:
        if os.path.isdir(path):
            found.update(check_folder(path, args.flavour, args.version, args.build_path))
        else:
            found[os.path.basename(path)] = check_image(Image(path), args.flavour, args.version, args.build_path)
    for name, problems in found.items():
        print(f"{'FAIL' if problems else 'PASS'} {args.flavour}/{name}" + "".join(f"\n  {p}" for p in problems))
    return 1 if any(found.values()) else 0


if __name__ == "__main__":
    sys.exit(main())
