#!/usr/bin/env bash
# Times downloading one large file from nginx on loopback into a file: the
# HTTP client (THTTPSend with a file stream as OutputStream) against curl, in
# the same run. After a warm-up round (whose outputs are compared byte for
# byte with the served file) both tools run in interleaved rounds; every
# output's size is checked. Prints each tool's median wall time and
# throughput and the ratio of the medians (goal: at most 1.1).
#
# Usage: bench/http_vs_curl.sh [SIZE_MIB (default 1024)] [ROUNDS (default 5)]
# The served file and the outputs live in the build tree
# ($LUNARO_BENCH_BUILD_DIR, default build-http-bench), never in git.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${LUNARO_BENCH_BUILD_DIR:-$root/build-http-bench}
size_mib=${1:-1024}
rounds=${2:-5}
size=$((size_mib * 1024 * 1024))

for tool in nginx curl python3 cmp; do
    command -v "$tool" >/dev/null || [[ -x /usr/sbin/$tool ]] || { echo "missing: $tool" >&2; exit 1; }
done

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUNARO_TESTS=OFF >/dev/null
cmake --build "$build" --target lunaro-http-download -j "${LUNARO_JOBS:-2}" >/dev/null
program=$build/bench/lunaro-http-download

work=$build/http-bench
mkdir -p "$work/www" "$work/nginx/logs"
served=$work/www/package.bin
if [[ ! -f $served || $(stat -c %s "$served") -ne $size ]]; then
    echo "making a ${size_mib} MiB file..."
    head -c "$size" /dev/urandom >"$served.tmp"
    mv "$served.tmp" "$served"
fi

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$root/scripts/serve-folder" "$work/www" "$work/nginx" "$port" &
nginx_pid=$!
trap 'kill "$nginx_pid" 2>/dev/null; wait "$nginx_pid" 2>/dev/null; rm -f "$work"/out.*' EXIT
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
done
url=http://127.0.0.1:$port/package.bin

# Runs one download with TOOL (ours or curl) into OUT; prints microseconds.
run() {
    local tool=$1 out=$2 start end
    rm -f "$out"
    # Each run starts with no dirty pages of an earlier one still being written back.
    sync
    start=$(date +%s%N)
    if [[ $tool == ours ]]; then
        "$program" "$url" "$out" >/dev/null
    else
        curl -sS -f -o "$out" "$url"
    fi
    end=$(date +%s%N)
    local got
    got=$(stat -c %s "$out")
    if [[ $got -ne $size ]]; then
        echo "$tool wrote $got bytes, expected $size" >&2
        exit 1
    fi
    echo $(((end - start) / 1000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "warm-up and content check..."
for tool in ours curl; do
    run "$tool" "$work/out.$tool" >/dev/null
    cmp -s "$served" "$work/out.$tool" || { echo "$tool: output differs from the served file" >&2; exit 1; }
    rm -f "$work/out.$tool"
done

ours_times=()
curl_times=()
for round in $(seq "$rounds"); do
    # Alternate who goes first, so neither always meets a warmer cache.
    if ((round % 2)); then order="ours curl"; else order="curl ours"; fi
    for tool in $order; do
        t=$(run "$tool" "$work/out.$tool")
        rm -f "$work/out.$tool"
        if [[ $tool == ours ]]; then ours_times+=("$t"); else curl_times+=("$t"); fi
    done
done

ours_median=$(printf '%s\n' "${ours_times[@]}" | median)
curl_median=$(printf '%s\n' "${curl_times[@]}" | median)
awk -v o="$ours_median" -v c="$curl_median" -v mib="$size_mib" -v r="$rounds" 'BEGIN {
    printf "%d MiB, %d rounds (median wall time)\n", mib, r
    printf "  THTTPSend: %8.3f s  %8.1f MiB/s\n", o / 1e6, mib / (o / 1e6)
    printf "  curl:      %8.3f s  %8.1f MiB/s\n", c / 1e6, mib / (c / 1e6)
    printf "  ratio THTTPSend/curl: %.3f (goal: at most 1.1)\n", o / c
}'
