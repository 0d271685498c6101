#!/usr/bin/env python3
"""Times archive making: lunaro-zip add -r against zip -qr at the same
level, interleaved round by round on the same tree.

Usage: zip_add_bench.py LUNARO_ZIP [--runs R] [--level N] [--mib M] [--workdir DIR]
The tree (made once and kept in the work folder) holds about M MiB
(default 1024): a quarter in 32 large text files of several MiB each, half
in small text files of 1 to 64 KiB in 200 folders, the rest in files of
random bytes (which neither tool can shrink). Every archive made is checked
with unzip -tq and its entry list compared with the tree's files before the
next run. Prints per tool the median wall time, the highest peak resident
memory and the archive size, then the median of the same-round ratios of
lunaro-zip's time to zip's (below 1 means lunaro-zip is faster) and of the
sizes; a ratio taken within one round sees the same machine load on both
sides. Ends with the goal: at most 1.0 times zip's time, at most 1.02 times
its size.
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from zip_extract_bench import MIB, TIME, run_once, text_block  # noqa: E402

TIME_GOAL = 1.0
SIZE_GOAL = 1.02


def make_tree(root, mib):
    rng = random.Random(11)
    block = text_block(32 * MIB, 12)
    budget = mib * MIB
    for i in range(32):
        size = budget // 4 // 32
        start = rng.randint(0, len(block) - min(size, len(block)))
        path = os.path.join(root, "large", "log%02d.txt" % i)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            left = size
            while left > 0:
                piece = block[start:start + left] if start + left <= len(block) else block[start:]
                f.write(piece)
                left -= len(piece)
                start = 0
    made = 0
    index = 0
    while made < budget // 2:
        size = rng.randint(1024, 64 * 1024)
        start = rng.randint(0, len(block) - size)
        path = os.path.join(root, "small%03d" % (index % 200), "file%05d.txt" % index)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(block[start:start + size])
        made += size
        index += 1
    for i in range(budget // 4 // (8 * MIB)):
        path = os.path.join(root, "random", "blob%02d.bin" % i)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(rng.randbytes(8 * MIB))


def tree_files(root):
    names = set()
    for base, _, files in os.walk(root):
        for name in files:
            names.add(os.path.relpath(os.path.join(base, name), root))
    return names


def check_archive(tool, archive, expected):
    if subprocess.run(["unzip", "-tq", archive], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode:
        sys.exit("%s: unzip -t rejects %s" % (tool, archive))
    with zipfile.ZipFile(archive) as z:
        found = {i.filename for i in z.infolist() if not i.is_dir()}
    if found != expected:
        sys.exit("%s: %d files missing, %d extra" % (tool, len(expected - found), len(found - expected)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lunaro_zip")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--level", type=int, default=6)
    parser.add_argument("--mib", type=int, default=1024)
    parser.add_argument("--workdir", default="/tmp")
    args = parser.parse_args()
    for program in (TIME, shutil.which("zip") or "", shutil.which("unzip") or ""):
        if not program or not os.access(program, os.X_OK):
            sys.exit("missing: " + (program or "zip or unzip"))
    work = os.path.join(os.path.abspath(args.workdir), "zip-add-bench")
    tree = os.path.join(work, "tree%d" % args.mib)
    if not os.path.isdir(tree):
        print("making %s ..." % tree, flush=True)
        make_tree(tree + ".tmp", args.mib)
        os.rename(tree + ".tmp", tree)
    expected = tree_files(tree)
    level = "-%d" % args.level
    outputs = {"lunaro-zip": os.path.join(work, "ours.zip"), "zip": os.path.join(work, "zip.zip")}
    tools = {
        "lunaro-zip": [os.path.abspath(args.lunaro_zip), "add", "-r", level, outputs["lunaro-zip"], "."],
        "zip": ["zip", "-qr", level, outputs["zip"], "."],
    }
    walls = {name: [] for name in tools}
    peaks = {name: 0 for name in tools}
    sizes = {}
    time_ratios, size_ratios = [], []
    cwd = os.getcwd()
    os.chdir(tree)
    try:
        for round_number in range(args.runs + 1):  # the first round warms the caches and is not counted
            times = {}
            for name, command in tools.items():
                if os.path.exists(outputs[name]):
                    os.unlink(outputs[name])
                subprocess.run(["sync"])
                wall, peak = run_once(command)
                check_archive(name, outputs[name], expected)
                times[name] = wall
                sizes[name] = os.path.getsize(outputs[name])
                if round_number > 0:
                    walls[name].append(wall)
                    peaks[name] = max(peaks[name], peak)
            if round_number > 0:
                time_ratios.append(times["lunaro-zip"] / times["zip"])
                size_ratios.append(sizes["lunaro-zip"] / sizes["zip"])
    finally:
        os.chdir(cwd)
    print("\n%d files, %.0f MiB, level %d, %d rounds" %
          (len(expected), sum(os.path.getsize(os.path.join(tree, n)) for n in expected) / MIB, args.level, args.runs))
    for name in tools:
        print("  %-10s median %7.3f s   peak %7.1f MiB   archive %8.1f MiB" %
              (name, statistics.median(walls[name]), peaks[name] / 1024, sizes[name] / MIB))
    time_ratio = statistics.median(time_ratios)
    size_ratio = statistics.median(size_ratios)
    print("  lunaro-zip / zip: time %.2f, size %.3f (same-round medians)" % (time_ratio, size_ratio))
    missed = []
    if time_ratio > TIME_GOAL:
        missed.append("time %.2f of zip's (goal %.2f)" % (time_ratio, TIME_GOAL))
    if size_ratio > SIZE_GOAL:
        missed.append("size %.3f of zip's (goal %.2f)" % (size_ratio, SIZE_GOAL))
    print("\ngoal " + ("met" if not missed else "missed: " + "; ".join(missed)))


if __name__ == "__main__":
    main()
