#!/usr/bin/env bash
# Runs the benchmarks under Wine and writes docs/benchmarks.md: start to
# splash against the floor, every program (and the installer, when dist/ has
# one) against its size budget, the main window's working set with five tabs,
# its idle CPU and wake-ups over 30 s, download throughput against a bare
# WinINet loop and curl, and the DDE round trip. Every figure is a ratio or
# is measured side by side in the same run, with min, median and max. Takes
# a few minutes; not part of CI.
#
#   tools/bench/report.sh                 # writes docs/benchmarks.md
#   ROUNDS=30 RUNS=5 tools/bench/report.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
rounds=${ROUNDS:-15} # start-up rounds
runs=${RUNS:-3}      # main window and download runs
./tools/setup.sh
. tools/env.sh
[ -f build/mingw/CMakeCache.txt ] || cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Tessaly Update tessaly-open startup_bench main_window_bench \
  download_bench >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# "min / median / max" of the numbers on standard input, one a line.
spread() {
  sort -g | awk -v f="${1:-%.1f}" '{ a[NR] = $1 }
    END { if (!NR) { print "n/a"; exit }
          m = NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2
          printf f " / " f " / " f, a[1], m, a[NR] }'
}

echo "report: start to splash ($rounds rounds)" >&2
ROUNDS=$rounds tools/bench/startup.sh >"$work/startup.txt"
for i in $(seq "$runs"); do
  echo "report: main window, run $i of $runs (about 45 s)" >&2
  tests/bench/run_main_window_bench.sh >"$work/main-$i.txt"
done
echo "report: downloads" >&2
SIZE_MIB=${SIZE_MIB:-50} RUNS=$((runs + 2)) tools/bench_download.sh >"$work/download.txt" 2>&1
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

round_values() { sed -n "s/^round *[0-9]*: .*$1 *\([0-9.]*\).*/\1/p" "$work/startup.txt"; }
main_values() { cat "$work"/main-*.txt | sed -n "s/$1/\1/p"; }
download_values() {
  awk -v w="$1" '/^run [0-9]+:/ { for (i = 3; i < NF; i += 2) r[$i] = $(i + 1)
      print (w == "ours/bare" ? r["ours"] / r["bare"] : w == "ours/curl" ? r["ours"] / r["curl"] : r[w]) }' \
    "$work/download.txt"
}
size_row() {
  local file=$1 budget=$2 size verdict=ok
  [ -f "$file" ] || return 0
  size=$(stat -c %s "$file")
  [ "$size" -le "$budget" ] || verdict=OVER
  printf '| `%s` | %s | %s | %.2f | %s |\n' "$(basename "$file")" "$size" "$budget" \
    "$(awk -v s="$size" -v b="$budget" 'BEGIN { print s / b }')" "$verdict"
}

painted=$(main_values '^tessaly-open to new tab painted: \([0-9.]*\) ms.*')
alone=$(main_values '^tessaly-open alone (start and exit): \([0-9.]*\) ms.*')
dde=$(paste <(echo "$painted") <(echo "$alone") | awk '{ print $1 - $2 }')
setup=$(ls dist/*-setup.exe 2>/dev/null | head -n1 || true)
cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//' || true)

mkdir -p docs
{
  echo "# Benchmarks"
  echo
  echo "Written by \`tools/bench/report.sh\`; rerun it to compare. Figures are min / median / max;"
  echo "each is a ratio or stands beside its comparison, measured in the same run."
  echo
  echo "| | |"
  echo "|---|---|"
  echo "| Date (UTC) | $(date -u '+%Y-%m-%d %H:%M') |"
  echo "| Commit | \`$(git rev-parse --short HEAD)\`$(git diff --quiet HEAD -- src resources || echo ' (with changes)') |"
  echo "| Machine | $cpu, $(nproc) cores, $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo) |"
  echo "| System | $(. /etc/os-release && echo "$PRETTY_NAME"), $(uname -sr) |"
  echo "| Wine | $("$WINE" --version 2>/dev/null) on Xvfb |"
  echo "| Load average before / after | $load_before / $load_after |"
  echo
  echo "## Start to splash"
  echo
  echo "From starting the program to its first window visible: the client (against the local test"
  echo "server, real network test, signed manifest of its own version, scripted browser) and the"
  echo "floor (\`startup_floor.exe\`, nothing but a 356 × 122 alpha window), started alternately,"
  echo "$rounds rounds (\`tools/bench/startup.sh\`). Goal: at most 1.7 × the floor."
  echo
  echo "| | min / median / max |"
  echo "|---|---|"
  echo "| floor, ms | $(round_values 'floor' | spread) |"
  echo "| client, ms | $(round_values 'client' | spread) |"
  echo "| **client / floor, per round** | **$(round_values 'ratio' | spread %.2f)** |"
  echo
  echo "## Sizes"
  echo
  echo "The \`mingw\` preset's programs$([ -n "$setup" ] && echo " and the installer in \`dist/\`")."
  echo
  echo "| File | Bytes | Budget | Share | |"
  echo "|---|---|---|---|---|"
  size_row build/mingw/src/app/Tessaly.exe 1000000
  size_row build/mingw/src/updater/Update.exe 300000
  size_row build/mingw/src/open/tessaly-open.exe 100000
  [ -z "$setup" ] || size_row "$setup" 700000
  echo
  echo "## Main window"
  echo
  echo "The main window with five tabs of the demo's game pages in the platform's browser control,"
  echo "$runs runs (\`tests/bench/run_main_window_bench.sh\`)."
  echo
  echo "| | min / median / max |"
  echo "|---|---|"
  echo "| working set before the main window, MiB | $(main_values '^working set before the main window: \([0-9.]*\) MiB.*' | spread) |"
  echo "| working set with five tabs, MiB | $(main_values '^working set with 5 tabs: \([0-9.]*\) MiB.*' | spread) |"
  echo "| idle 30 s: CPU, s | $(main_values '^idle 30 s with 5 tabs: \([0-9.]*\) s CPU.*' | spread %.3f) |"
  echo "| idle 30 s: messages dispatched (wake-ups) | $(main_values '^idle 30 s with 5 tabs: [0-9.]* s CPU, \([0-9]*\) messages.*' | spread %d) |"
  echo "| tessaly-open alone (start and exit), ms | $(echo "$alone" | spread) |"
  echo "| tessaly-open sending an address to the new tab painted, ms | $(echo "$painted" | spread) |"
  echo "| DDE round trip (the difference, pairwise), ms | $(echo "$dde" | spread) |"
  echo
  echo "## Downloads"
  echo
  echo "$(sed -n 's/^bench: \([0-9]* MiB\) from.*/\1/p' "$work/download.txt") from the local test server, $((runs + 2)) runs of each, MiB/s"
  echo "(\`tools/bench_download.sh\`): the client's downloader, a bare WinINet loop of the same 8 KiB"
  echo "pieces, and curl. Goal: ours/bare at least 0.9."
  echo
  echo "| | min / median / max |"
  echo "|---|---|"
  for what in ours bare curl; do
    echo "| $what, MiB/s | $(download_values $what | spread) |"
  done
  echo "| **ours / bare, per run** | **$(download_values ours/bare | spread %.2f)** |"
  echo "| ours / curl, per run | $(download_values ours/curl | spread %.2f) |"
} >docs/benchmarks.md
echo "report: docs/benchmarks.md" >&2
cat docs/benchmarks.md
