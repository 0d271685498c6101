#!/usr/bin/env python3
"""Times a complete unattended full installation against a shell script that
does the same downloads and extractions with curl and unzip, one after the
other, interleaved round by round, from nginx on loopback.

Usage: install_bench.py LUNARO_INSTALLER ENGINE [--runs R] [--workdir DIR]
The package set (about 300 MB of zip archives, thousands of text-like and
binary files of mixed sizes, deflated, with the INI files the installation
merges into) is made once into DIR/install-bench/packages and kept; ENGINE is
published beside it and trusted by its digest. Every run installs into a
fresh drive folder; both sides' trees are checked against the archives (same
names, flattened, same bytes; in INI files the values the installer writes
may differ), and the installer's launcher must be on its desktop. Prints each
side's median wall time, CPU time (user and system) and peak resident memory, the median of the
same-round ratios of the installer's time to the script's, and whether the
goals (ratio at most 1.0, peak at most 64 MiB) were met.
"""
import argparse
import configparser
import hashlib
import json
import os
import random
import shutil
import statistics
import subprocess
import sys
import zipfile
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from download_vs_curl import start_nginx, run_once  # noqa: E402
from zip_extract_bench import text_block  # noqa: E402

MIB = 1 << 20
RATIO_GOAL = 1.0
PEAK_GOAL_KIB = 64 * 1024
LAYOUT_VERSION = 2
STAMP = (2024, 5, 17, 10, 30, 0)
INSTALLER = "lunaro-installer"
SCRIPT = "curl+unzip"

# Package name, its folder under drive C:, and what it holds: (count,
# smallest, largest size, share of binary files) plus named files.
PACKAGES = [
    ("LunaroSoftInstalacao.zip", "Lunaro", (3000, 200, 900 * 1024, 0.45)),
    ("LunaroPafInstalacao.zip", "LunaroPaf", (700, 200, 400 * 1024, 0.4)),
    ("GDS32.zip", "LunaroPaf", (12, 64 * 1024, 3 * MIB, 1.0)),
    ("banco.zip", os.path.join("Lunaro", "Banco"), (30, 1024, 256 * 1024, 0.5)),
]
ENGINE = "ZipEngine190.dll"
LAUNCHER = "Ventrix"

INI_FILES = {
    "LunaroSoftInstalacao.zip": {
        "CnfComercio.ini": "[ListaServidores]\r\nNomeBanco1=Local\r\n"
                           "CaminhoBanco1=localhost:C:\\Lunaro\\Banco\\BANCO.FDB\r\n\r\n"
                           "[Empresa]\r\nNome=Empresa de Demonstra\xe7\xe3o\r\n",
        "Atualizador.ini": "[CONFIGURACAO]\r\nINSTALACAO=S\r\nVERSAO=4.2.17\r\n",
    },
    "LunaroPafInstalacao.zip": {
        "PafEcf.ini": "[ConfiguracaoLocal]\r\nCaminhoBancoPAF=\r\nCaminhoBancoServer=\r\nTerminal=001\r\n",
    },
}
# Values the installer itself writes, in whichever mode; elsewhere in the
# INI files its tree must hold exactly what the packages brought.
INSTALLER_VALUES = {
    ("CnfComercio.ini", "listaservidores", "nomebanco1"),
    ("CnfComercio.ini", "listaservidores", "caminhobanco1"),
    ("Atualizador.ini", "configuracao", "instalacao"),
    ("PafEcf.ini", "configuracaolocal", "caminhobancopaf"),
    ("PafEcf.ini", "configuracaolocal", "caminhobancoserver"),
}


class Pools:
    """Large blocks that the files are cut from (cheap to make thousands of
    files): text that deflates about 2.4:1, and binary made of incompressible
    stretches, runs of zeros and repeated records, like executables."""

    def __init__(self):
        rng = random.Random(7)
        self.text = text_block(8 * MIB, 11)
        parts = []
        while sum(map(len, parts)) < 8 * MIB:
            kind = rng.random()
            if kind < 0.5:
                parts.append(rng.randbytes(rng.randint(256, 16384)))
            elif kind < 0.7:
                parts.append(bytes(rng.randint(64, 4096)))
            else:
                parts.append(rng.randbytes(rng.randint(8, 64)) * rng.randint(8, 200))
        self.binary = b"".join(parts)

    def cut(self, rng, size, binary):
        pool = self.binary if binary else self.text
        out = []
        while size > 0:
            take = min(size, len(pool) // 2)
            start = rng.randint(0, len(pool) - take)
            out.append(pool[start:start + take])
            size -= take
        return b"".join(out)


def package_entries(package, spec, rng, pools):
    count, smallest, largest, binary_share = spec
    stem = package.rsplit(".", 1)[0].lower()
    for i in range(count):
        binary = rng.random() < binary_share
        # Sizes spread evenly on a log scale, as in a real program folder.
        size = int(smallest * (largest / smallest) ** rng.random())
        extension = rng.choice([".dll", ".bpl", ".exe", ".res"] if binary else [".txt", ".xml", ".sql", ".rpt"])
        # Sub-folders in the archive; the installation flattens them, so the
        # base names are unique.
        name = "%s/%s_%04d%s" % (["bin", "rel", "sql", "doc", "img"][i % 5], stem, i, extension)
        yield name, ("%s %d\n" % (name, i)).encode() + pools.cut(rng, size, binary)
    for name, text in INI_FILES.get(package, {}).items():
        yield name, text.encode("cp1252")
    if package == "LunaroSoftInstalacao.zip":
        yield "Atualizador.exe", pools.cut(rng, 6 * MIB, True)
        yield "bin/Comercio.exe", pools.cut(rng, 48 * MIB, True)
    if package == "banco.zip":
        # A database file: pages of records between stretches of empty pages.
        pages = []
        for _ in range(1400):
            pages.append(bytes(64 * 1024) if rng.random() < 0.3 else pools.cut(rng, 64 * 1024, rng.random() < 0.5))
        yield "BANCO.FDB", b"".join(pages)


def build_packages(folder, engine):
    """Makes the package set once; returns {drive folder: {name: (size, crc)}}."""
    manifest_path = os.path.join(folder, "manifest.json")
    if os.path.exists(manifest_path):
        with open(manifest_path) as f:
            manifest = json.load(f)
        if manifest.get("version") == LAYOUT_VERSION:
            publish_engine(folder, engine, manifest["expected"])
            return manifest["expected"]
    print("making the package set in %s ..." % folder, flush=True)
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(5)
    pools = Pools()
    expected = {}
    for package, drive_folder, spec in PACKAGES:
        files = expected.setdefault(drive_folder, {})
        with zipfile.ZipFile(os.path.join(folder, package + ".tmp"), "w", zipfile.ZIP_DEFLATED,
                             compresslevel=6) as archive:
            for name, data in package_entries(package, spec, rng, pools):
                info = zipfile.ZipInfo(name, STAMP)
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, data)
                files[os.path.basename(name)] = [len(data), zlib.crc32(data)]
        os.replace(os.path.join(folder, package + ".tmp"), os.path.join(folder, package))
    with open(manifest_path, "w") as f:
        json.dump({"version": LAYOUT_VERSION, "expected": expected}, f)
    publish_engine(folder, engine, expected)
    return expected


def publish_engine(folder, engine, expected):
    shutil.copyfile(engine, os.path.join(folder, ENGINE))
    with open(engine, "rb") as f:
        data = f.read()
    expected.setdefault("Lunaro", {})[ENGINE] = [len(data), zlib.crc32(data)]


def script_text():
    """The plain alternative: the same fetches in the same order."""
    lines = ['set -eu', 'drive=$1 base=$2',
             'mkdir -p "$drive/Lunaro"',
             'curl -sSf -o "$drive/Lunaro/%s" "${base}%s"' % (ENGINE, ENGINE)]
    for package, drive_folder, _ in PACKAGES:
        target = '"$drive/%s"' % drive_folder
        archive = '"$drive/%s/%s"' % (drive_folder, package)
        lines += ['mkdir -p %s' % target,
                  'curl -sSf -o %s "${base}%s"' % (archive, package),
                  'unzip -qoj %s -d %s' % (archive, target),
                  'rm -f %s' % archive]
    return "\n".join(lines) + "\n"


def read_ini(text):
    parser = configparser.RawConfigParser(strict=False, interpolation=None)
    parser.read_string(text.replace("\r\n", "\n"))
    return {(section.lower(), key): value for section in parser.sections() for key, value in parser[section].items()}


def ini_agrees(name, found_path, packaged):
    with open(found_path, encoding="cp1252", newline="") as f:
        found = read_ini(f.read())
    shipped = read_ini(packaged)
    return all(found.get(key) == shipped.get(key)
               for key in set(found) | set(shipped) if (name,) + key not in INSTALLER_VALUES)


def file_figures(path):
    crc = 0
    with open(path, "rb") as f:
        while chunk := f.read(4 * MIB):
            crc = zlib.crc32(chunk, crc)
    return [os.path.getsize(path), crc]


def check_tree(side, drive, expected, installer_side):
    packaged_ini = {name: text for files in INI_FILES.values() for name, text in files.items()}
    wanted = {os.path.join(folder, name): figures for folder, files in expected.items()
              for name, figures in files.items()}
    # The package folders and the folders above them, nothing else: a
    # sub-folder would mean the archive was not flattened.
    folders = {os.path.join(*parts[:n]) for parts in (f.split(os.sep) for f in expected)
               for n in range(1, len(parts) + 1)}
    found = set()
    problems = []
    for base, subfolders, files in os.walk(drive):
        relative = os.path.relpath(base, drive)
        problems += ["extra folder " + os.path.join(relative, sub) for sub in subfolders
                     if os.path.normpath(os.path.join(relative, sub)) not in folders]
        found.update(os.path.normpath(os.path.join(relative, name)) for name in files)
    problems += ["missing " + path for path in sorted(set(wanted) - found)]
    problems += ["extra " + path for path in sorted(found - set(wanted))]
    for path in sorted(found & set(wanted)):
        name = os.path.basename(path)
        if installer_side and name in packaged_ini:
            if not ini_agrees(name, os.path.join(drive, path), packaged_ini[name]):
                problems.append("INI values changed in " + path)
        elif file_figures(os.path.join(drive, path)) != wanted[path]:
            problems.append("wrong bytes in " + path)
    if problems:
        sys.exit("%s: wrong installation in %s:\n  %s" % (side, drive, "\n  ".join(problems[:20])))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("installer")
    parser.add_argument("engine")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--workdir", default="/tmp")
    args = parser.parse_args()
    for program in ("/usr/bin/time", shutil.which("curl"), shutil.which("unzip")):
        if not program or not os.access(program, os.X_OK):
            sys.exit("missing: " + (program or "curl or unzip"))
    work = os.path.join(os.path.abspath(args.workdir), "install-bench")
    packages = os.path.join(work, "packages")
    expected = build_packages(packages, os.path.abspath(args.engine))
    archives = sum(os.path.getsize(os.path.join(packages, p)) for p, _, _ in PACKAGES)
    installed = sum(s for files in expected.values() for s, _ in files.values())
    count = sum(len(files) for files in expected.values())
    print("package set: %.0f MB of archives, %d files, %.0f MB installed" % (archives / 1e6, count, installed / 1e6))

    script = os.path.join(work, "install.sh")
    with open(script, "w") as f:
        f.write(script_text())
    with open(os.path.join(packages, ENGINE), "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    nginx, port = start_nginx(packages, os.path.join(work, "nginx"), [])
    base = "http://127.0.0.1:%d/" % port
    drive = os.path.join(work, "drive_c")
    desktop = os.path.join(work, "Desktop")
    # Both sides inherit this environment (GNU time stands between).
    os.environ.update(LUNARO_ENGINE_SHA256=digest, XDG_DESKTOP_DIR=desktop)
    for name in ("http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY"):
        os.environ.pop(name, None)
    sides = {
        INSTALLER: [os.path.abspath(args.installer), "--silent", "--mode=full", "--drive-c=" + drive,
                    "--base-url=" + base, "--retries=0", "--log=" + os.path.join(work, "install.log")],
        SCRIPT: ["bash", script, drive, base],
    }
    walls = {name: [] for name in sides}
    cpus = {name: [] for name in sides}
    peaks = {name: 0 for name in sides}
    try:
        for round_number in range(args.runs + 1):  # the first round warms the caches and is not counted
            order = list(sides) if round_number % 2 == 0 else list(reversed(sides))
            for name in order:
                for folder in (drive, desktop):
                    shutil.rmtree(folder, ignore_errors=True)
                    os.makedirs(folder)
                subprocess.run(["sync"])
                wall, peak, cpu = run_once(sides[name], os.path.join(work, "unused"))  # names no output: both write a tree
                check_tree(name, drive, expected, name == INSTALLER)
                if name == INSTALLER and not any(n.startswith(LAUNCHER) for n in os.listdir(desktop)):
                    sys.exit("%s: no launcher on the desktop" % INSTALLER)
                if round_number > 0:
                    walls[name].append(wall)
                    cpus[name].append(cpu)
                    peaks[name] = max(peaks[name], peak)
            if round_number > 0:
                print("round %d: %s %.2f s, %s %.2f s, ratio %.2f" % (
                    round_number, INSTALLER, walls[INSTALLER][-1], SCRIPT, walls[SCRIPT][-1],
                    walls[INSTALLER][-1] / walls[SCRIPT][-1]), flush=True)
    finally:
        nginx.terminate()
        nginx.wait()
        shutil.rmtree(drive, ignore_errors=True)
    print("\n%d rounds" % args.runs)
    for name in sides:
        print("  %-16s median %6.2f s   CPU %6.2f s   peak %6.1f MiB" % (
            name, statistics.median(walls[name]), statistics.median(cpus[name]), peaks[name] / 1024))
    # Both sides of a round saw the same machine load.
    ratios = [ours / theirs for ours, theirs in zip(walls[INSTALLER], walls[SCRIPT])]
    cpu_ratios = [ours / max(theirs, 0.01) for ours, theirs in zip(cpus[INSTALLER], cpus[SCRIPT])]
    ratio = statistics.median(ratios)
    print("  same-round ratio %s / %s: median %.2f (min %.2f, max %.2f)" % (
        INSTALLER, SCRIPT, ratio, min(ratios), max(ratios)))
    # On a loaded machine wall time favours the side with more threads; the
    # CPU time it spends tells whether it also does less work.
    print("  same-round CPU-time ratio: median %.2f" % statistics.median(cpu_ratios))
    missed = []
    if ratio > RATIO_GOAL:
        missed.append("time: %.2f of the script's (goal %.1f)" % (ratio, RATIO_GOAL))
    if peaks[INSTALLER] > PEAK_GOAL_KIB:
        missed.append("peak: %.1f MiB (goal %d)" % (peaks[INSTALLER] / 1024, PEAK_GOAL_KIB // 1024))
    print("goals " + ("met" if not missed else "missed:\n  " + "\n  ".join(missed)))


if __name__ == "__main__":
    main()
