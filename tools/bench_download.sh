#!/usr/bin/env bash
# Download throughput under Wine, from the local test server: the client's
# downloader (QelDownLoadFile, events on, window messages processed between
# pieces) beside a bare WinINet loop of the same 8192-byte pieces and beside
# curl, each writing the body to a file. Prints the best of RUNS runs of each
# and the ratios ours/bare and ours/curl. The goal is ours/bare >= 0.9.
#
#   tools/bench_download.sh            # 200 MiB, 3 runs
#   SIZE_MIB=50 RUNS=5 tools/bench_download.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
size_mib=${SIZE_MIB:-200}
runs=${RUNS:-3}

./tools/setup.sh
. tools/env.sh
. tools/xvfb.sh
[ -f build/mingw/CMakeCache.txt ] || cmake --preset mingw >/dev/null
cmake --build --preset mingw --target download_bench >/dev/null
bench="$root/build/mingw/src/shell/download_bench.exe"

work=$(mktemp -d)
cleanup() {
  ./tools/http-fixture.sh stop "$work/http" || true
  ./tools/wine-fixture.sh stop || true
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
port=$(TESSALY_HTTP_MAX_SECONDS=1800 ./tools/http-fixture.sh start "$work/http")
start_xvfb
./tools/wine-fixture.sh start
url="http://127.0.0.1:$port/bytes/$((size_mib * 1024 * 1024))"

# Each prints "bytes seconds".
run_ours() { "$WINE" "$bench" ours "$url" "Z:$work/ours.bin"; }
run_bare() { "$WINE" "$bench" bare "$url" "Z:$work/bare.bin"; }
run_curl() {
  curl -sS --fail -o "$work/curl.bin" -w '%{size_download} %{time_total}\n' "$url"
}

declare -A best=([ours]=0 [bare]=0 [curl]=0)
echo "bench: $size_mib MiB from $url, best of $runs runs (MiB/s)"
for i in $(seq "$runs"); do
  line="run $i:"
  for what in ours bare curl; do
    read -r bytes seconds < <("run_$what" | tr -d '\r')
    rate=$(awk -v b="$bytes" -v s="$seconds" 'BEGIN { printf "%.1f", b / 1048576 / s }')
    line="$line $what $rate"
    best[$what]=$(awk -v a="${best[$what]}" -v b="$rate" 'BEGIN { print (b > a ? b : a) }')
    rm -f "$work/$what.bin"
  done
  echo "$line"
done
awk -v o="${best[ours]}" -v b="${best[bare]}" -v c="${best[curl]}" 'BEGIN {
  printf "best MiB/s: ours %.1f  bare WinINet %.1f  curl %.1f\n", o, b, c
  printf "ratio ours/bare %.2f  ours/curl %.2f\n", o / b, o / c
}'
