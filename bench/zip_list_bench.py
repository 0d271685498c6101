#!/usr/bin/env python3
"""Times the listing of a large archive's directory: lunaro-zip against the
tools a user would otherwise reach for, in the same run, on the same file.

Usage: zip_list_bench.py LUNARO_ZIP [--entries N] [--runs R] [--workdir DIR]
Prints, per tool, the best wall and CPU time of R runs and the peak resident
memory, then the ratios of the other tools' times to lunaro-zip's (above 1
means lunaro-zip is faster). On a busy machine the CPU times are the steadier
comparison.
"""
import argparse
import os
import resource
import shutil
import subprocess
import sys
import time
import zipfile


def make_archive(path, entries):
    # Stored, empty members in a few hundred folders: the cost is all in the
    # directory, which is what a listing reads.
    with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as archive:
        for i in range(entries):
            info = zipfile.ZipInfo("folder%03d/file%06d.txt" % (i % 500, i), (2024, 5, 17, 10, 30, 0))
            archive.writestr(info, b"")


GNU_TIME = "/usr/bin/time" if os.access("/usr/bin/time", os.X_OK) else None


def run_once(command):
    """Wall time, CPU time and peak resident memory (KiB) of one run.

    The peak memory comes from GNU time when it is installed: measured from
    this process, a child's peak would include the memory of the Python
    process it was forked from."""
    wrapped = [GNU_TIME, "-f", "@@peak %M"] + command if GNU_TIME else command
    start = time.perf_counter()
    with open(os.devnull, "wb") as sink:
        process = subprocess.Popen(wrapped, stdout=sink, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
        error = process.stderr.read().decode(errors="replace")
        process.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("%s failed: %s" % (command[0], error.strip()))
    peak = usage.ru_maxrss
    for line in error.splitlines():
        if line.startswith("@@peak "):
            peak = int(line.split()[1])
    return wall, usage.ru_utime + usage.ru_stime, peak


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lunaro_zip")
    parser.add_argument("--entries", type=int, default=200000)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--workdir", default="/tmp")
    args = parser.parse_args()

    archive = os.path.join(args.workdir, "zip_list_bench_%d.zip" % args.entries)
    if not os.path.exists(archive):
        print("making %s with %d entries..." % (archive, args.entries), flush=True)
        make_archive(archive + ".part", args.entries)
        os.replace(archive + ".part", archive)

    tools = [("lunaro-zip", [args.lunaro_zip, "list", "--format=tsv", archive])]
    for name, command in (("unzip -Z1", ["unzip", "-Z1", archive]), ("bsdtar -tf", ["bsdtar", "-tf", archive])):
        if shutil.which(command[0]):
            tools.append((name, command))
        else:
            print("%s not found: left out" % command[0])

    results = {}
    for _ in range(args.runs):
        for name, command in tools:  # interleaved so that drift hits every tool alike
            wall, cpu, rss = run_once(command)
            best = results.get(name, (wall, cpu, rss))
            results[name] = (min(wall, best[0]), min(cpu, best[1]), max(rss, best[2]))

    print("%-12s %10s %10s %12s" % ("tool", "best wall", "best CPU", "peak RSS"))
    for name, (wall, cpu, rss) in results.items():
        print("%-12s %9.3fs %9.3fs %8.1f MiB%s" % (name, wall, cpu, rss / 1024, "" if GNU_TIME else " (approx.)"))
    ours_wall, ours_cpu, _ = results["lunaro-zip"]
    for name, (wall, cpu, _) in results.items():
        if name != "lunaro-zip":
            print("%s / lunaro-zip: wall time %.2f, CPU time %.2f" % (name, wall / ours_wall, cpu / ours_cpu))


if __name__ == "__main__":
    main()
