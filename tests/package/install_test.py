#!/usr/bin/env python3
"""Checks the installed package: its layout, the installed wired-host running
the installed plug-in, find_package(wiredClsTab) from a host project, and
the zip CPack makes.

A Windows build installs its plug-in, runtime DLLs, config.xml and
wired-host.exe into a folder named after its flavour (win32-mingw, ...), so
that several builds share one package; the rest is shared."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

COMMON = [
    "include/kavri/IConvert.h", "include/kavri/IHost.h", "include/kavri/INode.h", "include/kavri/NodeVisitor.h",
    "lib/cmake/wiredClsTab/wiredClsTabConfig.cmake", "lib/cmake/wiredClsTab/wiredClsTabConfigVersion.cmake",
    "lib/cmake/wiredClsTab/wiredClsTabTargets.cmake",
    "share/wiredClsTab/examples/shop/model.xml", "share/wiredClsTab/examples/shop/config.xml",
]
SHARED_TOP = {"include", "lib", "share"}
LINUX = ["bin/wired-host", "lib/wiredClsTab/libwiredClsTab.so", "lib/wiredClsTab/config.xml"]


def windows_files(flavour, runtime_dlls):
    """What a Windows build's folder holds: everything its host needs."""
    return [f"{flavour}/{name}" for name in ["wiredClsTab.dll", "config.xml", "wired-host.exe"] + runtime_dlls]

CONSUMER_CMAKE = """cmake_minimum_required(VERSION 3.25)
project(consumer CXX)
find_package(wiredClsTab 1.0 REQUIRED)
add_executable(consumer main.cpp)
target_link_libraries(consumer PRIVATE wiredClsTab::headers)
message(STATUS "plug-in: ${wiredClsTab_PLUGIN}")
message(STATUS "flavour: ${wiredClsTab_FLAVOUR}")
"""
CONSUMER_MAIN = """#include <kavri/IConvert.h>
int main() { RegistConvertFn factory = nullptr; return factory == nullptr ? 0 : 1; }
"""


def run(command, **kwargs):
    # Files, not pipes: Wine's helper processes would hold a pipe open.
    with tempfile.TemporaryFile() as out:
        done = subprocess.run(command, stdout=out, stderr=subprocess.STDOUT, timeout=600, **kwargs)
        out.seek(0)
        text = out.read().decode("utf-8", "replace")
    if done.returncode != 0:
        raise AssertionError(f"{command} exited {done.returncode}\n{text}")
    return text


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True)
    parser.add_argument("--cmake", required=True)
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--toolchain", default="")
    parser.add_argument("--wine", default="")
    parser.add_argument("--flavour", default="linux")
    parser.add_argument("--runtime-dlls", default="", help="comma-separated names of the runtime DLLs it ships")
    args = parser.parse_args()
    windows = bool(args.wine)
    runtime_dlls = [name for name in args.runtime_dlls.split(",") if name]
    expected = COMMON + (windows_files(args.flavour, runtime_dlls) if windows else LINUX)
    plugin_dir = args.flavour if windows else "lib/wiredClsTab"
    plugin_name = "wiredClsTab.dll" if windows else "libwiredClsTab.so"
    server = shutil.which("wineserver")
    if windows and server:
        subprocess.run([server, "-p30"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    work = tempfile.mkdtemp(prefix="wired-install-test-")
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

    prefix = os.path.join(work, "prefix")

    def layout():
        run([args.cmake, "--install", args.build, "--prefix", prefix])
        missing = [f for f in expected if not os.path.isfile(os.path.join(prefix, f))]
        if missing:
            raise AssertionError(f"not installed: {missing}")
        if windows:
            # The build's own files in its folder and nowhere else, so that
            # another build installed into the same prefix takes its own.
            top = set(os.listdir(prefix))
            if top != SHARED_TOP | {args.flavour}:
                raise AssertionError(f"top level is {sorted(top)}, not {sorted(SHARED_TOP | {args.flavour})}")
            stray = [os.path.relpath(os.path.join(d, f), prefix)
                     for d, _, files in os.walk(prefix) for f in files
                     if f.lower().endswith((".dll", ".exe"))
                     and os.path.relpath(d, prefix) != args.flavour]
            if stray:
                raise AssertionError(f"programs outside {args.flavour}/: {stray}")

    def installed_tool_runs():
        tool = os.path.join(prefix, args.flavour, "wired-host.exe") if windows else os.path.join(prefix, "bin", "wired-host")
        model = os.path.join(prefix, "share/wiredClsTab/examples/shop/model.xml")
        if windows:
            model = "Z:" + model.replace("/", "\\")
        # The plug-in is found where it was installed, with the sample
        # config.xml beside it: no warning, every class named.
        out = run(([args.wine] if windows else []) + [tool, "run", model])
        for row in ("Customer", "Invoice_Line", "Checkout_Page"):
            if row not in out:
                raise AssertionError(f"{row} missing from\n{out}")
        if "warning box" in out:
            raise AssertionError(out)

    source = os.path.join(work, "consumer")

    def configure_consumer(build, *options):
        if not os.path.isdir(source):
            os.makedirs(source)
            with open(os.path.join(source, "CMakeLists.txt"), "w") as f:
                f.write(CONSUMER_CMAKE)
            with open(os.path.join(source, "main.cpp"), "w") as f:
                f.write(CONSUMER_MAIN)
        command = [args.cmake, "-S", source, "-B", os.path.join(work, build), "-G", "Ninja",
                   "-DwiredClsTab_DIR=" + os.path.join(prefix, "lib/cmake/wiredClsTab")] + list(options)
        if args.toolchain:
            command.append("-DCMAKE_TOOLCHAIN_FILE=" + args.toolchain)
        return command

    # Another host build's folder beside this one, as in a package made of
    # several builds: the consumer must still get the folder of its own.
    other = "win32-msvc" if args.flavour != "win32-msvc" else "win64-msvc"

    def find_package_works():
        if windows:
            os.makedirs(os.path.join(prefix, other), exist_ok=True)
            shutil.copy(os.path.join(prefix, args.flavour, plugin_name), os.path.join(prefix, other))
        out = run(configure_consumer("consumer-build"))
        plugin = os.path.join(prefix, plugin_dir, plugin_name)
        for line in (f"plug-in: {plugin}", f"flavour: {args.flavour}"):
            if line not in out:
                raise AssertionError(f"'{line}' missing from:\n{out}")
        run([args.cmake, "--build", os.path.join(work, "consumer-build")])

    def find_package_refuses_a_missing_flavour():
        shutil.rmtree(os.path.join(prefix, other), ignore_errors=True)
        missing = "win64-msvc" if args.flavour != "win64-msvc" else "win32-msvc"
        with tempfile.TemporaryFile() as out:
            done = subprocess.run(configure_consumer("consumer-missing", "-DwiredClsTab_FLAVOUR=" + missing),
                                  stdout=out, stderr=subprocess.STDOUT, timeout=600)
            out.seek(0)
            text = out.read().decode("utf-8", "replace")
        if done.returncode == 0:
            raise AssertionError(f"found a {missing} build that is not there:\n{text}")
        wanted = f"this package has no {missing} build (it has: {args.flavour})"
        if wanted not in " ".join(text.split()):
            raise AssertionError(f"'{wanted}' missing from:\n{text}")

    def zip_package():
        out_dir = os.path.join(work, "pack")
        run([args.cpack, "-G", "ZIP", "-B", out_dir], cwd=args.build)
        zips = [f for f in os.listdir(out_dir) if f.endswith(".zip")]
        if len(zips) != 1:
            raise AssertionError(f"expected one zip in {os.listdir(out_dir)}")
        top = zips[0][:-4]
        with zipfile.ZipFile(os.path.join(out_dir, zips[0])) as z:
            names = set(z.namelist())
        missing = [f for f in expected if f"{top}/{f}" not in names]
        if missing:
            raise AssertionError(f"not in {zips[0]}: {missing}")

    try:
        case("layout", layout)
        case("installed_tool_runs", installed_tool_runs)
        case("find_package_works", find_package_works)
        if windows:
            case("find_package_refuses_a_missing_flavour", find_package_refuses_a_missing_flavour)
        case("zip_package", zip_package)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
