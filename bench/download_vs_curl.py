#!/usr/bin/env python3
"""Times a large download from nginx on loopback: lunaro-download against
curl, in the same run, on the same file.

Usage: download_vs_curl.py LUNARO_DOWNLOAD [--size-mib N] [--runs R] [--workdir DIR] [--https]
Starts nginx on a free loopback port serving a file of N MiB (made once in
DIR) over HTTP, or with --https over TLS with a test certificate both tools
are told to trust (they then negotiate the same cipher), warms up, then runs both tools in alternation R times. Prints each
tool's median wall time and peak resident memory, the ratio of
lunaro-download's median to curl's (at most 1.1 is the goal) and whether the
peak stays under 64 MiB. Every output is checked for size, and once for its
SHA-256.
"""
import argparse
import hashlib
import os
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import time

RSS_LIMIT_KIB = 64 * 1024
TIME = "/usr/bin/time"


def make_file(path, size_mib):
    block = hashlib.sha256(b"lunaro").digest() * (1 << 15)  # 1 MiB of varied bytes
    with open(path + ".tmp", "wb") as out:
        for i in range(size_mib):
            out.write(i.to_bytes(4, "little") + block[4:])
    os.replace(path + ".tmp", path)


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as data:
        for chunk in iter(lambda: data.read(1 << 20), b""):
            digest.update(chunk)
    return digest.hexdigest()


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def make_certificates(folder):
    if not os.path.exists(os.path.join(folder, "good.pem")):
        subprocess.run([os.path.join(ROOT, "tests", "net", "tls", "make-test-certs"), folder], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return [os.path.join(folder, "good.pem"), os.path.join(folder, "good.key")]


def start_nginx(root, prefix, tls):
    port = free_port()
    serve = os.path.join(ROOT, "scripts", "serve-folder")
    process = subprocess.Popen([serve, root, prefix, str(port)] + tls, start_new_session=True)
    await_server(process, port, "nginx", lambda: open(prefix + "/logs/error.log").read())
    return process, port


def await_server(process, port, name, log=lambda: ""):
    """Waits (at most 5 s) until the server started as process accepts on
    the loopback port; exits the benchmark when it dies or stays silent."""
    for _ in range(100):
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.2):
                return
        except OSError:
            if process.poll() is not None:
                sys.exit("%s exited: %s" % (name, log()))
            time.sleep(0.05)
    os.killpg(process.pid, signal.SIGKILL)
    sys.exit(name + " did not come up")


def run_once(command, output):
    # GNU time reports the peak: a child forked from this interpreter would
    # count the interpreter's own memory in its peak.
    if os.path.exists(output):
        os.remove(output)
    start = time.perf_counter()
    done = subprocess.run([TIME, "-f", "peak-rss-kib %M %U %S"] + command, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE)
    wall = time.perf_counter() - start
    error = done.stderr.decode(errors="replace")
    if done.returncode != 0:
        sys.exit("%s failed: %s" % (command[0], error.strip()))
    figures = [line.split() for line in error.splitlines() if line.startswith("peak-rss-kib ")][-1]
    return wall, int(figures[1]), float(figures[2]) + float(figures[3])


def prepare_payload(workdir, prefix, size_mib):
    """The served folder, the payload of size_mib MiB in it (made once) and
    an output folder, all under workdir with names that start with prefix."""
    served = os.path.join(workdir, prefix + "_served")
    outputs = os.path.join(workdir, prefix + "_out")
    os.makedirs(served, exist_ok=True)
    os.makedirs(outputs, exist_ok=True)
    source = os.path.join(served, "payload_%dm.bin" % size_mib)
    if not os.path.exists(source):
        print("making %s (%d MiB)..." % (source, size_mib), flush=True)
        make_file(source, size_mib)
    return served, source, outputs


def time_tools(tools, source, runs):
    """Runs each (name, command, output) once to warm up and checks every
    output's SHA-256 against source, then runs them in alternation runs
    times, checking sizes. Returns per-tool wall times, CPU times and peak
    resident memory (KiB)."""
    size = os.path.getsize(source)
    for _, command, output in tools:  # warm-up: page cache and first-run effects
        run_once(command, output)
    expected = sha256_of(source)
    for name, _, output in tools:
        if sha256_of(output) != expected:
            sys.exit("%s wrote a file with another SHA-256" % name)
    walls = {name: [] for name, _, _ in tools}
    cpus = {name: [] for name, _, _ in tools}
    peaks = {name: 0 for name, _, _ in tools}
    for _ in range(runs):
        for name, command, output in tools:  # alternating, so drift hits all alike
            wall, rss, cpu = run_once(command, output)
            if os.path.getsize(output) != size:
                sys.exit("%s wrote %d bytes instead of %d" % (name, os.path.getsize(output), size))
            walls[name].append(wall)
            cpus[name].append(cpu)
            peaks[name] = max(peaks[name], rss)
    return walls, cpus, peaks


def argument_parser():
    """The arguments the download benchmarks share."""
    parser = argparse.ArgumentParser()
    parser.add_argument("lunaro_download")
    parser.add_argument("--size-mib", type=int, default=1024)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--workdir", default="/tmp")
    return parser


def main():
    parser = argument_parser()
    parser.add_argument("--https", action="store_true")
    args = parser.parse_args()
    args.workdir = os.path.abspath(args.workdir)
    for program in ("curl", TIME):
        if not shutil.which(program):
            sys.exit(program + " not found")

    served, source, outputs = prepare_payload(args.workdir, "download_bench", args.size_mib)
    size = os.path.getsize(source)

    tls, curl_trust = [], []
    if args.https:
        certs = os.path.join(args.workdir, "download_bench_certs")
        tls = make_certificates(certs)
        ca = os.path.join(certs, "ca.pem")
        # The system's TLS library reads this variable for its default trust.
        os.environ["SSL_CERT_FILE"] = ca
        curl_trust = ["--cacert", ca]
    nginx, port = start_nginx(served, os.path.join(args.workdir, "download_bench_nginx"), tls)
    try:
        scheme = "https" if args.https else "http"
        url = "%s://127.0.0.1:%d/%s" % (scheme, port, os.path.basename(source))
        ours_out = os.path.join(outputs, "ours.bin")
        curl_out = os.path.join(outputs, "curl.bin")
        tools = [
            ("lunaro-download", [args.lunaro_download, url, outputs, "--name=ours.bin"], ours_out),
            ("curl", ["curl", "-s", "-f"] + curl_trust + ["-o", curl_out, url], curl_out),
        ]
        walls, cpus, peaks = time_tools(tools, source, args.runs)
    finally:
        os.killpg(nginx.pid, signal.SIGTERM)
        nginx.wait(timeout=10)
        shutil.rmtree(outputs, ignore_errors=True)

    print("%d MiB from nginx on loopback over %s, %d runs each" % (args.size_mib, scheme.upper(), args.runs))
    print("%-16s %12s %14s %12s %12s" % ("tool", "median wall", "throughput", "median CPU", "peak RSS"))
    for name in walls:
        median = statistics.median(walls[name])
        print("%-16s %11.3fs %8.0f MiB/s %11.3fs %8.1f MiB" % (
            name, median, size / median / (1 << 20), statistics.median(cpus[name]), peaks[name] / 1024))
    ratio = statistics.median(walls["lunaro-download"]) / statistics.median(walls["curl"])
    print("wall-time ratio lunaro-download / curl: %.3f (goal: at most 1.1)" % ratio)
    print("same-round ratios: %s" % " ".join(
        "%.2f" % (ours / theirs) for ours, theirs in zip(walls["lunaro-download"], walls["curl"])))
    print("lunaro-download peak RSS under 64 MiB: %s" % ("yes" if peaks["lunaro-download"] < RSS_LIMIT_KIB else "NO"))


if __name__ == "__main__":
    main()
