#!/usr/bin/env python3
"""Times the parse of a 100,000-entry LIST listing: lunaro-ftp parse-listing
against python3 reading the same listing the way ftplib hands it over (one
line at a time, line ends stripped) and splitting each line into its fields.

Usage: listing_parse_vs_python.py LUNARO_FTP [--entries N] [--runs R] [--workdir DIR]
Runs both in alternation R times and prints their median wall times and the
ratio (at most 1.0 is the goal). The parser's output is checked to hold one
row per entry.
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

PYTHON_SPLIT = r"""
import sys
rows = []
def callback(line):  # what FTP.retrlines gives its callback
    fields = line.split(None, 8)
    if len(fields) == 9:
        rows.append((fields[8], fields[0].startswith("d"), int(fields[4]), " ".join(fields[5:8])))
with open(sys.argv[1], "rb") as listing:
    for raw in listing:
        callback(raw.decode("latin-1").rstrip("\r\n"))
sys.stdout.write("%d\n" % len(rows))
"""

MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]


def make_listing(path, entries):
    with open(path, "w", newline="") as out:
        for i in range(entries):
            directory = i % 17 == 0
            when = "%2d %02d:%02d" % (i % 28 + 1, i % 24, i % 60) if i % 3 else "%2d  %d" % (i % 28 + 1, 2000 + i % 24)
            out.write("%s   1 ftp      ftp  %10d %s %s %s%d.%s\r\n" % (
                "drwxr-xr-x" if directory else "-rw-r--r--", 0 if directory else i * 37 % 100000000,
                MONTHS[i % 12], when, "folder" if directory else "file", i, "d" if directory else "bin"))


def timed(command):
    start = time.perf_counter()
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit("%s failed" % command[0])
    return wall, done.stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lunaro_ftp")
    parser.add_argument("--entries", type=int, default=100000)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--workdir", default="/tmp")
    args = parser.parse_args()
    listing = os.path.join(os.path.abspath(args.workdir), "listing_%d.txt" % args.entries)
    make_listing(listing, args.entries)
    tools = [
        ("lunaro-ftp", [args.lunaro_ftp, "parse-listing", "--format=tsv", listing]),
        ("python3 split", [sys.executable, "-c", PYTHON_SPLIT, listing]),
    ]
    _, rows = timed(tools[0][1])
    if rows.count(b"\n") != args.entries:
        sys.exit("lunaro-ftp gave %d rows for %d entries" % (rows.count(b"\n"), args.entries))
    walls = {name: [] for name, _ in tools}
    for _ in range(args.runs):
        for name, command in tools:
            walls[name].append(timed(command)[0])
    print("%d-entry listing, %d runs each" % (args.entries, args.runs))
    for name in walls:
        print("%-14s median %.3fs" % (name, statistics.median(walls[name])))
    ratio = statistics.median(walls["lunaro-ftp"]) / statistics.median(walls["python3 split"])
    print("wall-time ratio lunaro-ftp / python3: %.3f (goal: at most 1.0)" % ratio)
    print("same-round ratios: %s" % " ".join(
        "%.2f" % (ours / theirs) for ours, theirs in zip(walls["lunaro-ftp"], walls["python3 split"])))


if __name__ == "__main__":
    main()
