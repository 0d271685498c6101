#!/usr/bin/env python3
"""Writes the engine fuzzer's seed corpus into FOLDER: one small archive per
compression method the engine decodes and per encryption, so that mutation
starts inside every decoder rather than at the archive's structure.

Usage: make_engine_seeds.py FOLDER
python3's zipfile makes stored, deflate, bzip2 and LZMA; zstd and xz
entries are written here around data from the zstd tool and python's lzma;
7z makes deflate64 and both encryptions (password "secret", the one the
fuzzer answers with). A missing tool only means fewer seeds.
"""
import lzma
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

PASSWORD = "secret"
METHOD_ZSTD = 93
METHOD_XZ = 95


def sample():
    # Text met again further on and a long run: long matches and far distances.
    text = b"".join(b"line %d of the sample, with words that come back\n" % (i % 37) for i in range(120))
    return text + bytes(range(256)) * 4 + b"z" * 3000 + text[:2000]


def with_zipfile(path, method):
    with zipfile.ZipFile(path, "w", method) as archive:
        archive.writestr("docs/", b"")
        archive.writestr("docs/a.txt", sample())
        archive.writestr("b.txt", b"short")


def raw_entry_zip(path, method, compressed, data):
    """A one-entry archive whose data is already in the entry's method."""
    name = b"c.txt"
    crc = zlib.crc32(data)
    local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 63, 0, method, 0, 0x5A21, crc,
                        len(compressed), len(data), len(name), 0) + name + compressed
    central = struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 63, 63, 0, method, 0, 0x5A21, crc,
                          len(compressed), len(data), len(name), 0, 0, 0, 0, 0x81A40000, 0) + name
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 1, 1, len(central), len(local), 0)
    with open(path, "wb") as out:
        out.write(local + central + end)


def with_7z(path, switches, scratch):
    seven = shutil.which("7z")
    if not seven:
        return False
    source = os.path.join(scratch, "in")
    os.makedirs(os.path.join(source, "docs"), exist_ok=True)
    with open(os.path.join(source, "docs", "a.txt"), "wb") as f:
        f.write(sample())
    done = subprocess.run([seven, "a", "-tzip", "-bd", "-y"] + switches + [path, "docs"], cwd=source,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    return done.returncode == 0


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_engine_seeds.py FOLDER")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    made = []

    def seed(name):
        made.append(name)
        return os.path.join(folder, name)

    for name, method in (("stored", zipfile.ZIP_STORED), ("deflate", zipfile.ZIP_DEFLATED),
                         ("bzip2", zipfile.ZIP_BZIP2), ("lzma", zipfile.ZIP_LZMA)):
        with_zipfile(seed("engine_%s.zip" % name), method)
    data = sample()
    raw_entry_zip(seed("engine_xz.zip"), METHOD_XZ, lzma.compress(data, format=lzma.FORMAT_XZ), data)
    zstd = shutil.which("zstd")
    if zstd:
        compressed = subprocess.run([zstd, "-q", "-c", "-3"], input=data, stdout=subprocess.PIPE,
                                    check=True, timeout=60).stdout
        raw_entry_zip(seed("engine_zstd.zip"), METHOD_ZSTD, compressed, data)
    with tempfile.TemporaryDirectory() as scratch:
        for name, switches in (("deflate64", ["-mm=Deflate64"]),
                               ("zipcrypto", ["-mem=ZipCrypto", "-p" + PASSWORD]),
                               ("aes", ["-mem=AES256", "-p" + PASSWORD])):
            path = os.path.join(folder, "engine_%s.zip" % name)
            if with_7z(path, switches, scratch):
                made.append(os.path.basename(path))
    print("engine seeds: " + " ".join(sorted(made)))


if __name__ == "__main__":
    main()
