#!/usr/bin/env python3
"""Times extraction: lunaro-zip extract -o against unzip -qo and bsdtar -xf,
interleaved round by round on the same archives.

Usage: zip_extract_bench.py [LUNARO_ZIP] [--runs R] [--cases big,small,stored]
                            [--workdir DIR]
Cases: big, one 1 GiB deflate entry of text-like data (about 2.4:1); small,
20,000 files of 1 to 16 KiB in 400 folders; stored, one 100 MiB stored
entry. The archives are made once and kept in the work folder. Every timed
run extracts into an empty folder, and its output is checked against the
archive (names, sizes and CRC-32 of every file) before the next run; with
many files, the outputs are removed only once the case is done (see
KEEP_OUTPUTS_FROM). Prints per tool the median wall time, its output per
second and the highest peak resident memory, then the median of the
per-round ratios of each tool's time to lunaro-zip's (above 1 means
lunaro-zip is faster); a ratio taken within one round sees the same machine
load on both sides. Ends with the goals lunaro-zip met or missed (a share of
bsdtar's time per case, output per second for the big case, a peak of 32
MiB). Without LUNARO_ZIP only
unzip and bsdtar run, compared with unzip.
"""
import argparse
import itertools
import os
import random
import shutil
import statistics
import subprocess
import sys
import time
import zlib
import zipfile

TIME = "/usr/bin/time"
OURS = "lunaro-zip"
GIB = 1 << 30
MIB = 1 << 20


def text_block(size, seed):
    # Words of a small vocabulary, the common ones far more often than the
    # rare ones as in real text: compresses about 2.4:1 with deflate, like
    # source code or logs (equally likely words give only 2.0:1).
    rng = random.Random(seed)
    alphabet = "abcdefghijklmnopqrstuvwxyz"
    words = ["".join(rng.choice(alphabet) for _ in range(rng.randint(2, 9))) for _ in range(6000)]
    weights = list(itertools.accumulate(1 / (rank + 1) ** 0.85 for rank in range(len(words))))
    out = []
    length = 0
    while length < size:
        line = " ".join(rng.choices(words, cum_weights=weights, k=12)) + "\n"
        out.append(line)
        length += len(line)
    return "".join(out).encode()[:size]


def make_big(path):
    block = text_block(16 * MIB, 1)
    # An entry given as ZipInfo keeps its own compress_type (stored unless
    # set), whatever the archive's default.
    info = zipfile.ZipInfo("big.txt", (2024, 5, 17, 10, 30, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=6, allowZip64=True) as archive:
        with archive.open(info, "w", force_zip64=True) as entry:
            for _ in range(GIB // len(block)):
                entry.write(block)


def make_small(path):
    rng = random.Random(2)
    block = text_block(4 * MIB, 3)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as archive:
        for i in range(20000):
            size = rng.randint(1024, 16 * 1024)
            start = rng.randint(0, len(block) - size)
            info = zipfile.ZipInfo("folder%03d/file%05d.txt" % (i % 400, i), (2024, 5, 17, 10, 30, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, block[start:start + size])


def make_stored(path):
    rng = random.Random(4)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as archive:
        with archive.open(zipfile.ZipInfo("stored.bin", (2024, 5, 17, 10, 30, 0)), "w") as entry:
            for _ in range(100):
                entry.write(rng.randbytes(MIB))


CASES = {"big": make_big, "small": make_small, "stored": make_stored}
# lunaro-zip's same-round time as a share of bsdtar's, at most.
TIME_GOALS = {"big": 0.45, "small": 0.5, "stored": 1.0}
# lunaro-zip's output in bytes per second (median wall time), at least.
SPEED_GOALS = {"big": 500e6}
PEAK_GOAL_KIB = 32 * 1024
# Removing thousands of files just before a run would tax that run: on a file
# system without a journal, ext4 passes over recently freed inodes (for a
# minute or more) when it allocates new ones, so the next tool would pay for
# the last one's output. Outputs of that many files stay until the case ends.
KEEP_OUTPUTS_FROM = 1000


def expected_files(path):
    with zipfile.ZipFile(path) as archive:
        return {info.filename: (info.file_size, info.CRC) for info in archive.infolist() if not info.is_dir()}


def check_output(tool, folder, expected):
    found = {}
    for base, _, files in os.walk(folder):
        for name in files:
            full = os.path.join(base, name)
            crc = 0
            with open(full, "rb") as f:
                while chunk := f.read(4 * MIB):
                    crc = zlib.crc32(chunk, crc)
            found[os.path.relpath(full, folder)] = (os.path.getsize(full), crc)
    if found != expected:
        missing = set(expected) - set(found)
        wrong = [n for n in expected if n in found and found[n] != expected[n]]
        sys.exit("%s: wrong output (%d missing, %d wrong, %d extra)" %
                 (tool, len(missing), len(wrong), len(set(found) - set(expected))))


def run_once(command):
    """Wall time and peak resident memory (KiB) of one run, from GNU time."""
    start = time.perf_counter()
    done = subprocess.run([TIME, "-f", "@@peak %M"] + command, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    error = done.stderr.decode(errors="replace")
    if done.returncode != 0:
        sys.exit("%s failed (%d): %s" % (command[0], done.returncode, error.strip()))
    peak = [line.split()[1] for line in error.splitlines() if line.startswith("@@peak ")][-1]
    return wall, int(peak)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lunaro_zip", nargs="?",
                        help="without it, only unzip and bsdtar run (to check the archives and the machine)")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--cases", default="big,small,stored")
    parser.add_argument("--workdir", default="/tmp")
    args = parser.parse_args()
    for program in (TIME, shutil.which("unzip") or "", shutil.which("bsdtar") or ""):
        if not program or not os.access(program, os.X_OK):
            sys.exit("missing: " + (program or "unzip or bsdtar"))
    work = os.path.join(os.path.abspath(args.workdir), "zip-extract-bench")
    os.makedirs(work, exist_ok=True)
    outputs = os.path.join(work, "out")
    reference = OURS if args.lunaro_zip else "unzip"
    missed = []

    for case in args.cases.split(","):
        archive = os.path.join(work, case + ".zip")
        if not os.path.exists(archive):
            print("making %s ..." % archive, flush=True)
            CASES[case](archive + ".tmp")
            os.rename(archive + ".tmp", archive)
        expected = expected_files(archive)
        keep_outputs = len(expected) >= KEEP_OUTPUTS_FROM
        tools = {
            "unzip": lambda out: ["unzip", "-qo", archive, "-d", out],
            "bsdtar": lambda out: ["bsdtar", "-xf", archive, "-C", out],
        }
        if args.lunaro_zip:
            ours = os.path.abspath(args.lunaro_zip)
            tools = {OURS: lambda out: [ours, "extract", "-o", "-d", out, archive], **tools}
        shutil.rmtree(outputs, ignore_errors=True)
        walls = {name: [] for name in tools}
        peaks = {name: 0 for name in tools}
        ratios = {name: [] for name in tools if name != reference}
        for round_number in range(args.runs + 1):  # the first round warms the caches and is not counted
            times = {}
            for name, command in tools.items():
                out = os.path.join(outputs, "%d-%s" % (round_number, name))
                if not keep_outputs:
                    shutil.rmtree(outputs, ignore_errors=True)
                os.makedirs(out)
                subprocess.run(["sync"])
                wall, peak = run_once(command(out))
                check_output(name, out, expected)
                times[name] = wall
                if round_number > 0:
                    walls[name].append(wall)
                    peaks[name] = max(peaks[name], peak)
            if round_number > 0:
                for name in ratios:
                    ratios[name].append(times[name] / times[reference])
        out_bytes = sum(s for s, _ in expected.values())
        print("\n%s (%d files, %.0f MiB out, %d rounds)" % (case, len(expected), out_bytes / MIB, args.runs))
        for name in tools:
            print("  %-10s median %7.3f s (%4.0f MB/s of output)   peak %7.1f MiB" %
                  (name, statistics.median(walls[name]), out_bytes / statistics.median(walls[name]) / 1e6,
                   peaks[name] / 1024))
        for name, values in ratios.items():
            print("  %s / %s: %.2f (%s takes %.2f of its time)" %
                  (name, reference, statistics.median(values), reference, 1 / statistics.median(values)))
        if args.lunaro_zip:
            share = 1 / statistics.median(ratios["bsdtar"])
            if share > TIME_GOALS[case]:
                missed.append("%s: %.2f of bsdtar's time (goal %.2f)" % (case, share, TIME_GOALS[case]))
            speed = out_bytes / statistics.median(walls[OURS])
            if speed < SPEED_GOALS.get(case, 0):
                missed.append("%s: %.0f MB/s of output (goal %.0f)" % (case, speed / 1e6, SPEED_GOALS[case] / 1e6))
            if peaks[OURS] > PEAK_GOAL_KIB:
                missed.append("%s: peak %.1f MiB (goal %d)" % (case, peaks[OURS] / 1024, PEAK_GOAL_KIB // 1024))
        sys.stdout.flush()
        shutil.rmtree(outputs, ignore_errors=True)
    if args.lunaro_zip:
        print("\ngoals " + ("met" if not missed else "missed:\n  " + "\n  ".join(missed)))


if __name__ == "__main__":
    main()
