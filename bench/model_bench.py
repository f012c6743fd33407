#!/usr/bin/env python3
"""wired-host run on a big generated UML model, against its floor.

Generates an XMI 2 model of N classes (100,000 by default, about 18 MiB),
then runs, interleaved and REPETITIONS times each:
  floor  bench/ModelFloor.cpp: tinyxml2 loading the file and visiting every
         element
  table  wired-host run MODEL, through the real plug-in (the text table)
  json   wired-host run --format json MODEL
  checks wired-host run --target all MODEL, the table run with the checks
         for every database
with the output going to /dev/null, and prints the median CPU time and the
peak memory (maximum resident set) of each, and their ratios to the
floor. The targets: run, as a table and as JSON, at most 2x the floor's
time and at most 1.2x its peak memory; the checks at most 1.2x the table
run without them. A last run checks that every class came out, and with --target all
that the model's names gave no finding.

Builds what it needs in build/model-bench (Release) unless --build is given.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def build(folder):
    subprocess.run(["cmake", "-S", ROOT, "-B", folder, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    "-DWIREDCLSTAB_BENCH=ON", "-DWIREDCLSTAB_TOOLS=ON", "-DWIREDCLSTAB_TESTS=OFF"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", folder, "-j2", "--target", "wired-host", "wiredClsTab", "model_floor"],
                   check=True, stdout=subprocess.DEVNULL)


def generate(path, classes, per_package=1000):
    """Packages of per_package classes, two levels deep; one attribute each,
    typed by the class before it."""
    with open(path, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<xmi:XMI xmi:version="20131001" xmlns:xmi="http://www.omg.org/&#115;pec/XMI/20131001" '
                'xmlns:uml="http://www.eclipse.org/uml2/5.0.0/UML">\n'
                '  <uml:Model xmi:id="_model" name="Big">\n'
                '    <packagedElement xmi:type="uml:Package" xmi:id="_com" name="com">\n')
        for p in range((classes + per_package - 1) // per_package):
            f.write(f'      <packagedElement xmi:type="uml:Package" xmi:id="_p{p}" name="module{p}">\n')
            for c in range(p * per_package, min(classes, (p + 1) * per_package)):
                f.write(f'        <packagedElement xmi:type="uml:Class" xmi:id="_c{c}" name="ShopOrderItem{c}">\n'
                        f'          <ownedAttribute xmi:id="_a{c}" name="item{c}" type="_c{max(c - 1, 0)}"/>\n'
                        '        </packagedElement>\n')
            f.write('      </packagedElement>\n')
        f.write('    </packagedElement>\n  </uml:Model>\n</xmi:XMI>\n')


def measure(command):
    """CPU seconds (user and system) and peak resident memory in KiB of one
    run; CPU time, as for the other benchmarks, so a busy machine slows the
    figures less."""
    with open(os.devnull, "wb") as null:
        child = subprocess.Popen(command, stdout=null, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(child.pid, 0)
        seconds = usage.ru_utime + usage.ru_stime
        child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        raise SystemExit(f"{command[0]} failed: {child.stderr.read().decode()}")
    return seconds, usage.ru_maxrss


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--classes", type=int, default=100000)
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--build", help="a build folder with wired-host, the plug-in and model_floor")
    parser.add_argument("--check", action="store_true",
                        help="only run the model once through the plug-in and check every class came out")
    args = parser.parse_args()
    folder = args.build or os.path.join(ROOT, "build", "model-bench")
    if not args.build:
        build(folder)
    tool = os.path.join(folder, "bin", "wired-host")
    plugin = os.path.join(folder, "bin", "libwiredClsTab.so")
    floor = os.path.join(folder, "bin", "model_floor")

    work = tempfile.mkdtemp(prefix="model-bench-")
    model = os.path.join(work, "model.xmi")
    generate(model, args.classes)
    size = os.path.getsize(model)
    table = [tool, "run", "--plugin", plugin, model]
    run = [tool, "run", "--format", "json", "--plugin", plugin, model]
    checks = [tool, "run", "--target", "all", "--plugin", plugin, model]
    if args.check:
        args.repetitions = 0

    floors, tables, runs, checked = [], [], [], []
    for _ in range(args.repetitions):
        floors.append(measure([floor, model]))
        tables.append(measure(table))
        runs.append(measure(run))
        checked.append(measure(checks))
    # Checked last: Linux counts a child's peak memory from before its exec,
    # so this process stays small while it measures.
    report = json.loads(subprocess.run(run, check=True, capture_output=True).stdout)
    found = json.loads(subprocess.run(run + ["--target", "all"], check=True, capture_output=True).stdout)["findings"]
    os.remove(model)
    os.rmdir(work)
    got = len(report["classes"])
    if got != args.classes or any(c["outcome"] != "set" for c in report["classes"]):
        raise SystemExit(f"the run gave {got} classes, not {args.classes} all set")
    if any(found.values()):
        raise SystemExit(f"--target all found {found} in names that hold nothing to find")
    if args.check:
        print(f"1 passed, 0 failed: {got:,} classes of a {size / 2**20:.1f} MiB model, every one set, "
              "no finding on any target")
        return 0

    floor_time = statistics.median(t for t, _ in floors)
    floor_memory = statistics.median(m for _, m in floors)
    print(f"model: {args.classes:,} classes, {size / 2**20:.1f} MiB; {args.repetitions} interleaved repetitions")
    print(f"{'':8}{'CPU time (median)':>20}{'peak memory':>16}{'time ratio':>13}{'memory ratio':>15}")
    print(f"{'floor':8}{floor_time * 1000:>17.0f} ms{floor_memory / 1024:>12.1f} MiB")
    for name, results in (("table", tables), ("json", runs)):
        time_ = statistics.median(t for t, _ in results)
        memory = statistics.median(m for _, m in results)
        print(f"{name:8}{time_ * 1000:>17.0f} ms{memory / 1024:>12.1f} MiB{time_ / floor_time:>12.2f}x"
              f"{memory / floor_memory:>14.2f}x")
    table_time = statistics.median(t for t, _ in tables)
    checked_time = statistics.median(t for t, _ in checked)
    print(f"{'checks':8}{checked_time * 1000:>17.0f} ms{statistics.median(m for _, m in checked) / 1024:>12.1f} MiB"
          f"{checked_time / table_time:>12.2f}x of the table run")
    print("targets: at most 2x the floor's time and 1.2x its peak memory; --target all at most 1.2x the run "
          "without it")
    return 0


if __name__ == "__main__":
    sys.exit(main())
