#!/usr/bin/env python3
"""Prints the benchmark figures beside their floors, with ratios and targets,
from Google Benchmark's JSON output (medians of the repetitions, CPU time)."""
import json
import re
import sys


def medians(path):
    with open(path) as f:
        data = json.load(f)
    times = {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = re.sub(r"/iterations:\d+", "", b.get("run_name", b["name"]))
        # A single run without repetitions has no aggregate: take it as is.
        if b.get("run_type") == "aggregate" or name not in times:
            scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
            times[name] = b["cpu_time"] * scale
    return data.get("context", {}), times


def show(ns):
    for unit, size in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if ns >= size:
            return f"{ns / size:.3g} {unit}"
    return f"{ns:.3g} ns"


def main():
    context, t = medians(sys.argv[1])
    names = 14  # typical names per iteration, see DerivationBench.cpp
    rows = []

    class Missing(dict):
        def __missing__(self, key):
            return None

    t = Missing(t)

    def row(figure, measured, floor_name, floor, target=None):
        if measured is None or floor is None:
            return  # not in this run (--benchmark_filter)
        ratio = measured / floor
        verdict = "" if target is None else ("meets" if ratio <= target else "MISSES") + f" <= {target:g}x"
        rows.append((figure, show(measured), floor_name, show(floor), f"{ratio:.2f}x", verdict))

    per_name = lambda v: None if v is None else v / names
    row("derivation, typical 8-40 byte names (per name)", per_name(t["BM_TableNameTypical"]),
        "copying the name", per_name(t["BM_CopyNameTypical"]), 2)
    for size, label in ((1 << 10, "1 KiB"), (1 << 16, "64 KiB"), (1 << 20, "1 MiB")):
        row(f"derivation, aBaB... {label}", t[f"BM_TableNameAlternating/{size}"],
            "copying the name", t[f"BM_CopyAlternating/{size}"])
    small = t["BM_TableNameAlternating/1024"]
    row("derivation growth, 1 MiB against 1 KiB", t["BM_TableNameAlternating/1048576"],
        "the 1 KiB case", small, 2000)
    row("derivation growth, 64 KiB against 1 KiB", t["BM_TableNameAlternating/65536"], "the 1 KiB case", small)
    for size, label in ((1 << 10, "1 KiB"), (1 << 16, "64 KiB"), (1 << 20, "1 MiB")):
        row(f"in-place insertion, aBaB... {label}", t[f"BM_InPlaceInsertion/{size}"],
            "the derivation", t[f"BM_TableNameAlternating/{size}"])
    for size, label in ((1 << 16, "64 KiB"), (1 << 20, "1 MiB")):
        row(f"in-place insertion growth, {label} against 1 KiB", t[f"BM_InPlaceInsertion/{size}"],
            "its 1 KiB case", t["BM_InPlaceInsertion/1024"])
    for entries in (1000, 100000):
        row(f"registConvert, {entries:,} entries", t[f"BM_RegistConvert/{entries}"],
            "tinyxml2 load and walk", t[f"BM_LoadAndWalk/{entries}"], 1.1)
    row("reset + convert through the library", t["BM_ResetConvert"],
        "the host calls of a cycle", t["BM_HostCallsOfACycle"], 2.5)

    header = ("figure", "measured", "floor", "floor time", "ratio", "target")
    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
    print()
    print(f"{context.get('host_name', '')}, {context.get('num_cpus', '?')} CPUs, "
          f"library build: {context.get('library_build_type', '?')}")
    for r in [header] + rows:
        print("| " + " | ".join(str(c).ljust(w) for c, w in zip(r, widths)) + " |")


if __name__ == "__main__":
    main()
