#!/usr/bin/env python3
"""Times a large download from vsftpd on loopback: lunaro-download against
curl and wget, interleaved in the same run, on the same file.

Usage: ftp_vs_curl.py LUNARO_DOWNLOAD [--size-mib N] [--runs R] [--workdir DIR]
Starts vsftpd (anonymous, passive mode) on a free loopback port serving a
file of N MiB (made once in DIR), warms up, then runs the three tools in
alternation R times. Prints each tool's median wall time and peak resident
memory, the ratios of lunaro-download's median to curl's and to wget's (at
most 1.0 against curl is the goal) and whether its peak stays under 16 MiB.
Every output is checked for size, and once for its SHA-256.
"""
import os
import shutil
import signal
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from download_vs_curl import TIME, argument_parser, await_server, free_port, prepare_payload, time_tools  # noqa: E402

RSS_LIMIT_KIB = 16 * 1024


def start_vsftpd(root, workdir):
    port = free_port()
    empty = os.path.join(workdir, "ftp_bench_empty")
    os.makedirs(empty, exist_ok=True)
    os.chmod(root, 0o555)
    conf = os.path.join(workdir, "ftp_bench_vsftpd.conf")
    with open(conf, "w") as out:
        out.write("listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=%d\nbackground=NO\n"
                  "anonymous_enable=YES\nlocal_enable=NO\nno_anon_password=YES\nanon_root=%s\n"
                  "connect_from_port_20=NO\nseccomp_sandbox=NO\nxferlog_enable=NO\nsecure_chroot_dir=%s\n"
                  "vsftpd_log_file=%s\n" % (port, root, empty, os.path.join(workdir, "ftp_bench_vsftpd.log")))
    program = shutil.which("vsftpd") or "/usr/sbin/vsftpd"
    process = subprocess.Popen([program, conf], start_new_session=True)
    await_server(process, port, "vsftpd")
    return process, port


def main():
    args = argument_parser().parse_args()
    args.workdir = os.path.abspath(args.workdir)
    for program in ("curl", "wget", TIME):
        if not shutil.which(program):
            sys.exit(program + " not found")

    served = os.path.join(args.workdir, "ftp_bench_served")
    if os.path.isdir(served):
        os.chmod(served, 0o755)  # vsftpd's root is left read-only by an earlier run
    served, source, outputs = prepare_payload(args.workdir, "ftp_bench", args.size_mib)
    size = os.path.getsize(source)

    vsftpd, port = start_vsftpd(served, args.workdir)
    try:
        url = "ftp://127.0.0.1:%d/%s" % (port, os.path.basename(source))
        ours_out = os.path.join(outputs, "ours.bin")
        curl_out = os.path.join(outputs, "curl.bin")
        wget_out = os.path.join(outputs, "wget.bin")
        tools = [
            ("lunaro-download", [args.lunaro_download, url, outputs, "--name=ours.bin"], ours_out),
            ("curl", ["curl", "-s", "-f", "-o", curl_out, url], curl_out),
            ("wget", ["wget", "-q", "-O", wget_out, url], wget_out),
        ]
        walls, _, peaks = time_tools(tools, source, args.runs)
    finally:
        os.killpg(vsftpd.pid, signal.SIGTERM)
        vsftpd.wait(timeout=10)
        shutil.rmtree(outputs, ignore_errors=True)

    print("%d MiB from vsftpd on loopback, %d runs each" % (args.size_mib, args.runs))
    print("%-16s %12s %14s %12s" % ("tool", "median wall", "throughput", "peak RSS"))
    for name in walls:
        median = statistics.median(walls[name])
        print("%-16s %11.3fs %8.0f MiB/s %8.1f MiB" % (name, median, size / median / (1 << 20), peaks[name] / 1024))
    ours = statistics.median(walls["lunaro-download"])
    print("wall-time ratio lunaro-download / curl: %.3f (goal: at most 1.0)" % (ours / statistics.median(walls["curl"])))
    print("wall-time ratio lunaro-download / wget: %.3f" % (ours / statistics.median(walls["wget"])))
    print("lunaro-download peak RSS under 16 MiB: %s" % ("yes" if peaks["lunaro-download"] < RSS_LIMIT_KIB else "NO"))


if __name__ == "__main__":
    main()
