#!/usr/bin/env python3
"""Checks the installed package: its layout, the installed wired-host running
the installed plug-in, find_package(wiredClsTab) from a host project, and
the zip CPack makes."""
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
WINDOWS = ["bin/wired-host.exe", "bin/wiredClsTab.dll", "bin/config.xml",
           "bin/libstdc++-6.dll", "bin/libgcc_s_dw2-1.dll", "bin/libwinpthread-1.dll"]
LINUX = ["bin/wired-host", "lib/wiredClsTab/libwiredClsTab.so", "lib/wiredClsTab/config.xml"]

CONSUMER_CMAKE = """cmake_minimum_required(VERSION 3.25)
project(consumer CXX)
find_package(wiredClsTab 1.0 REQUIRED)
add_executable(consumer main.cpp)
target_link_libraries(consumer PRIVATE wiredClsTab::headers)
message(STATUS "plug-in: ${wiredClsTab_PLUGIN}")
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
    args = parser.parse_args()
    windows = bool(args.wine)
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
        missing = [f for f in COMMON + (WINDOWS if windows else LINUX) if not os.path.isfile(os.path.join(prefix, f))]
        if missing:
            raise AssertionError(f"not installed: {missing}")

    def installed_tool_runs():
        tool = os.path.join(prefix, "bin", "wired-host.exe" if windows else "wired-host")
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

    def find_package_works():
        source = os.path.join(work, "consumer")
        os.makedirs(source)
        with open(os.path.join(source, "CMakeLists.txt"), "w") as f:
            f.write(CONSUMER_CMAKE)
        with open(os.path.join(source, "main.cpp"), "w") as f:
            f.write(CONSUMER_MAIN)
        build = os.path.join(work, "consumer-build")
        command = [args.cmake, "-S", source, "-B", build, "-G", "Ninja",
                   "-DwiredClsTab_DIR=" + os.path.join(prefix, "lib/cmake/wiredClsTab")]
        if args.toolchain:
            command.append("-DCMAKE_TOOLCHAIN_FILE=" + args.toolchain)
        out = run(command)
        plugin = os.path.join(prefix, "bin/wiredClsTab.dll" if windows else "lib/wiredClsTab/libwiredClsTab.so")
        if f"plug-in: {plugin}" not in out:
            raise AssertionError(f"wiredClsTab_PLUGIN is not {plugin}:\n{out}")
        run([args.cmake, "--build", build])

    def zip_package():
        out_dir = os.path.join(work, "pack")
        run([args.cpack, "-G", "ZIP", "-B", out_dir], cwd=args.build)
        zips = [f for f in os.listdir(out_dir) if f.endswith(".zip")]
        if len(zips) != 1:
            raise AssertionError(f"expected one zip in {os.listdir(out_dir)}")
        top = zips[0][:-4]
        with zipfile.ZipFile(os.path.join(out_dir, zips[0])) as z:
            names = set(z.namelist())
        missing = [f for f in COMMON + (WINDOWS if windows else LINUX) if f"{top}/{f}" not in names]
        if missing:
            raise AssertionError(f"not in {zips[0]}: {missing}")

    try:
        case("layout", layout)
        case("installed_tool_runs", installed_tool_runs)
        case("find_package_works", find_package_works)
        case("zip_package", zip_package)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
