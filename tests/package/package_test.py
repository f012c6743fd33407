#!/usr/bin/env python3
"""Checks the Windows package that scripts/package.sh makes from several
builds: one folder per build, each a working whole for its hosts, and the
shared CMake package handing every host project the folder of its own build.

  package_test.py --zip ZIP [--cmake CMAKE] [--signed-with CERT.pem] BUILD_DIR...

Each folder's wired-host.exe runs the shop example through the plug-in beside
it, under Wine for 32-bit builds and under wine64 (scripts/wine64.sh, in the
64-bit prefix) for 64-bit ones. Every binary is read as a reviewer would
(image_check.py); the symbols zip lies beside the release zip, which stays
small. With --signed-with, every binary must carry a valid signature by that
certificate."""
import argparse
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from install_test import COMMON, CONSUMER_CMAKE, CONSUMER_MAIN, SHARED_TOP, run  # noqa: E402
from image_check import check_folder  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
# The machine field of a PE file header, by the flavour's bitness.
MACHINES = {"win32": 0x14C, "win64": 0x8664}
# What a download of the release may weigh.
MAX_RELEASE_ZIP = 10 * 1024 * 1024
# The separate symbols of each flavour's shipped binaries.
SYMBOLS = {"mingw": ("wiredClsTab.dll.debug", "wired-host.exe.debug"), "msvc": ("wiredClsTab.pdb", "wired-host.pdb")}


def cache_value(build, key):
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as f:
        for line in f:
            name, _, value = line.rstrip("\n").partition("=")
            if name.split(":")[0] == key:
                return value
    return ""


def pe_machine(path):
    with open(path, "rb") as f:
        data = f.read(4096)
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    if data[offset:offset + 4] != b"PE\0\0":
        raise AssertionError(f"{path} is not a PE file")
    return struct.unpack_from("<H", data, offset + 4)[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--zip", required=True)
    parser.add_argument("--cmake", default="cmake")
    parser.add_argument("--which-tool", help="a wired-host to ask which flavour each folder's wired-host.exe fits")
    parser.add_argument("--signed-with", help="the certificate every binary must be signed with")
    parser.add_argument("builds", nargs="+")
    args = parser.parse_args()

    builds = [(cache_value(b, "WIREDCLSTAB_FLAVOUR"), cache_value(b, "CMAKE_TOOLCHAIN_FILE")) for b in args.builds]
    version = cache_value(args.builds[0], "CMAKE_PROJECT_VERSION")
    work = tempfile.mkdtemp(prefix="wired-package-test-")
    passed, failed = 0, 0

    def case(name, function):
        nonlocal passed, failed
        try:
            function()
            passed += 1
            print(f"PASS {name}")
        except Exception as error:
            failed += 1
            print(f"FAIL {name}: {error}")

    with zipfile.ZipFile(args.zip) as z:
        z.extractall(work)
        names = set(z.namelist())
    top = os.path.basename(args.zip)[:-4]
    prefix = os.path.join(work, top)
    for d, _, files in os.walk(prefix):
        for f in files:
            if f.endswith(".exe"):
                os.chmod(os.path.join(d, f), 0o755)

    def layout():
        wanted = SHARED_TOP | {flavour for flavour, _ in builds}
        found = {n[len(top) + 1:].split("/")[0] for n in names if n.startswith(top + "/")} - {""}
        if found != wanted:
            raise AssertionError(f"top level is {sorted(found)}, not {sorted(wanted)}")
        needed = COMMON + [f"{flavour}/{f}" for flavour, _ in builds
                           for f in ("wiredClsTab.dll", "config.xml", "wired-host.exe")]
        missing = [f for f in needed if f"{top}/{f}" not in names]
        if missing:
            raise AssertionError(f"not in the zip: {missing}")
        for flavour, _ in builds:
            for f in ("wiredClsTab.dll", "wired-host.exe"):
                machine = pe_machine(os.path.join(prefix, flavour, f))
                if machine != MACHINES[flavour[:5]]:
                    raise AssertionError(f"{flavour}/{f} is for machine {machine:#x}")

    def each_folder_runs():
        model = "Z:" + os.path.join(prefix, "share/wiredClsTab/examples/shop/model.xml").replace("/", "\\")
        for flavour, _ in builds:
            wine = os.path.join(ROOT, "scripts/wine64.sh") if flavour.startswith("win64") else "wine"
            out = run([wine, os.path.join(prefix, flavour, "wired-host.exe"), "run", model])
            for row in ("Customer", "Invoice_Line", "Checkout_Page"):
                if row not in out:
                    raise AssertionError(f"{flavour}: {row} missing from\n{out}")
            if "warning box" in out:
                raise AssertionError(f"{flavour}:\n{out}")

    def find_package_picks_each_build():
        source = os.path.join(work, "consumer")
        os.makedirs(source)
        with open(os.path.join(source, "CMakeLists.txt"), "w") as f:
            f.write(CONSUMER_CMAKE)
        with open(os.path.join(source, "main.cpp"), "w") as f:
            f.write(CONSUMER_MAIN)
        for flavour, toolchain in builds:
            out = run([args.cmake, "-S", source, "-B", os.path.join(work, "consumer-" + flavour), "-G", "Ninja",
                       "-DCMAKE_TOOLCHAIN_FILE=" + toolchain,
                       "-DwiredClsTab_DIR=" + os.path.join(prefix, "lib/cmake/wiredClsTab")])
            plugin = os.path.join(prefix, flavour, "wiredClsTab.dll")
            for line in (f"plug-in: {plugin}", f"flavour: {flavour}"):
                if line not in out:
                    raise AssertionError(f"{flavour}: '{line}' missing from:\n{out}")

    def which_names_each_folder_for_its_wired_host():
        # Each folder's wired-host.exe is a host of that folder's kind, with
        # the folder's runtime DLLs beside it.
        for flavour, _ in builds:
            folder = os.path.join(prefix, flavour)
            out = run([args.which_tool, "which", "--format", "json", "--plugin", folder,
                       os.path.join(folder, "wired-host.exe")])
            report = json.loads(out)
            states = {r["dll"]: r["state"] for r in report["runtimeDlls"]}
            wanted = {"same"} if flavour.endswith("mingw") else {"not-beside"}
            if report["flavour"] != flavour or set(states.values()) != wanted:
                raise AssertionError(f"{flavour}: {report}")

    def images():
        # No path of this machine: the sources, the build folders.
        build_paths = [ROOT] + [os.path.abspath(b) for b in args.builds]
        problems = []
        for flavour, _ in builds:
            for name, found in check_folder(os.path.join(prefix, flavour), flavour, version, build_paths).items():
                problems += [f"{flavour}/{name}: {p}" for p in found]
        if problems:
            raise AssertionError("\n  " + "\n  ".join(problems))

    def symbols_beside():
        size = os.path.getsize(args.zip)
        if size > MAX_RELEASE_ZIP:
            raise AssertionError(f"the release zip has {size} bytes, more than {MAX_RELEASE_ZIP}")
        shipped_symbols = [n for n in names if n.endswith((".pdb", ".debug"))]
        if shipped_symbols:
            raise AssertionError(f"symbols in the release zip: {shipped_symbols}")
        symbols_zip = args.zip[:-4] + "-symbols.zip"
        if not os.path.exists(symbols_zip):
            raise AssertionError(f"no {symbols_zip}")
        with zipfile.ZipFile(symbols_zip) as z:
            found = set(z.namelist())
        symbols_top = top + "-symbols"
        wanted = {f"{symbols_top}/{flavour}/{f}" for flavour, _ in builds for f in SYMBOLS[flavour.split("-")[1]]}
        if not wanted <= found:
            raise AssertionError(f"not in {os.path.basename(symbols_zip)}: {sorted(wanted - found)}")

    def signatures():
        unsigned = []
        for d, _, files in os.walk(prefix):
            for f in files:
                if f.lower().endswith((".dll", ".exe")):
                    path = os.path.join(d, f)
                    result = subprocess.run(["osslsigncode", "verify", "-CAfile", args.signed_with, "-in", path],
                                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
                    if result.returncode != 0 or "Signature verification: ok" not in result.stdout:
                        unsigned.append(os.path.relpath(path, prefix))
        if unsigned:
            raise AssertionError(f"not signed with {args.signed_with}: {unsigned}")

    try:
        case("layout", layout)
        case("images", images)
        case("symbols_beside", symbols_beside)
        if args.which_tool:
            case("which_names_each_folder_for_its_wired_host", which_names_each_folder_for_its_wired_host)
        if args.signed_with:
            case("signatures", signatures)
        case("each_folder_runs", each_folder_runs)
        case("find_package_picks_each_build", find_package_picks_each_build)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
