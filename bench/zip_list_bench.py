#!/usr/bin/env python3
"""Times the listing of a large archive's directory: lunaro-zip against the
tools a user would otherwise reach for, in the same run, on the same file.

Usage: zip_list_bench.py LUNARO_ZIP [--entries N] [--runs R] [--workdir DIR]
Makes the archive once, warms every tool up, then runs the tools round by
round, R rounds. Prints, per tool, the median wall and CPU time and the peak
resident memory, then for each other tool the median of its per-round ratios
to lunaro-zip (above 1 means lunaro-zip is faster): a ratio taken within one
round sees the same machine load on both sides. The output of every timed
run is checked for one line per entry, and once the names are compared with
those unzip -Z1 lists.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import zipfile

TIME = "/usr/bin/time"
OURS = "lunaro-zip"


def make_archive(path, entries):
    # Stored, empty members in a few hundred folders: the cost is all in the
    # directory, which is what a listing reads.
    with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as archive:
        for i in range(entries):
            info = zipfile.ZipInfo("folder%03d/file%06d.txt" % (i % 500, i), (2024, 5, 17, 10, 30, 0))
            archive.writestr(info, b"")


def run_once(command):
    """Output, wall time, CPU time and peak resident memory (KiB) of one run.

    The peak comes from GNU time: measured from this process, a child's peak
    would include the memory of the Python process it was forked from."""
    # Output goes to a file, as a user's redirection would: a pipe read by
    # this process slows some tools down and would flatter the others.
    with tempfile.TemporaryFile() as sink:
        start = time.perf_counter()
        done = subprocess.run([TIME, "-f", "@@peak %M %U %S"] + command, stdout=sink, stderr=subprocess.PIPE)
        wall = time.perf_counter() - start
        sink.seek(0)
        output = sink.read()
    error = done.stderr.decode(errors="replace")
    if done.returncode != 0:
        sys.exit("%s failed: %s" % (command[0], error.strip()))
    figures = [line.split() for line in error.splitlines() if line.startswith("@@peak ")][-1]
    return output, wall, float(figures[2]) + float(figures[3]), int(figures[1])


def check_line_count(name, output, entries):
    lines = output.count(b"\n")
    if lines != entries:
        sys.exit("%s printed %d lines instead of %d" % (name, lines, entries))


def check_names(ours, unzip):
    # Our listing shows folders separated by '\' and carries more columns;
    # the names themselves must be the same, in the same order.
    our_names = [line.split(b"\t", 1)[0].replace(b"\\", b"/") for line in ours.splitlines()]
    if our_names != unzip.splitlines():
        sys.exit("lunaro-zip and unzip -Z1 list different names")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lunaro_zip")
    parser.add_argument("--entries", type=int, default=200000)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--workdir", default="/tmp")
    args = parser.parse_args()
    if not os.access(TIME, os.X_OK):
        sys.exit(TIME + " not found")

    archive = os.path.join(args.workdir, "zip_list_bench_%d.zip" % args.entries)
    if not os.path.exists(archive):
        print("making %s with %d entries..." % (archive, args.entries), flush=True)
        make_archive(archive + ".part", args.entries)
        os.replace(archive + ".part", archive)

    tools = [(OURS, [args.lunaro_zip, "list", "--format=tsv", archive])]
    for name, command in (("unzip -Z1", ["unzip", "-Z1", archive]), ("bsdtar -tf", ["bsdtar", "-tf", archive])):
        if shutil.which(command[0]):
            tools.append((name, command))
        else:
            print("%s not found: left out" % command[0])

    # Warm-up: the page cache and first-run effects; the outputs checked once.
    outputs = {}
    for name, command in tools:
        outputs[name] = run_once(command)[0]
        check_line_count(name, outputs[name], args.entries)
    if "unzip -Z1" in outputs:
        check_names(outputs[OURS], outputs["unzip -Z1"])

    walls = {name: [] for name, _ in tools}
    cpus = {name: [] for name, _ in tools}
    peaks = {name: 0 for name, _ in tools}
    for _ in range(args.runs):
        for name, command in tools:  # round by round, so that drift hits every tool alike
            output, wall, cpu, rss = run_once(command)
            check_line_count(name, output, args.entries)
            walls[name].append(wall)
            cpus[name].append(cpu)
            peaks[name] = max(peaks[name], rss)

    print("%d entries, %d rounds" % (args.entries, args.runs))
    print("%-12s %12s %12s %12s" % ("tool", "median wall", "median CPU", "peak RSS"))
    for name in walls:
        print("%-12s %11.3fs %11.3fs %8.1f MiB" % (
            name, statistics.median(walls[name]), statistics.median(cpus[name]), peaks[name] / 1024))
    for name in walls:
        if name == OURS:
            continue
        wall_ratio = statistics.median(t / o for t, o in zip(walls[name], walls[OURS]))
        # CPU times come in hundredths of a second: a run can show none.
        cpu_ratios = [t / o for t, o in zip(cpus[name], cpus[OURS]) if o > 0]
        cpu_text = "%.2f" % statistics.median(cpu_ratios) if cpu_ratios else "n/a"
        print("%s / lunaro-zip, median of same-round ratios: wall time %.2f, CPU time %s" % (
            name, wall_ratio, cpu_text))


if __name__ == "__main__":
    main()
