#!/usr/bin/env bash
# The tab strip's benchmarks. Native: subclass table matching, width, layout
# and hit-testing of 100 tabs, from a Release build without sanitizers
# (build/bench-native). Under Wine: a full repaint of a 1,000-pixel strip with
# 20 tabs, from the mingw build, on a virtual display of our own.
#
#   tests/bench/run_tabs_bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

cmake -S . -B build/bench-native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-native --target tabs_bench >/dev/null
echo "native:"
build/bench-native/tests/bench/tabs_bench

[ -f build/mingw/CMakeCache.txt ] || cmake --preset mingw >/dev/null
cmake --build --preset mingw --target tabstrip_paint_bench >/dev/null
. tools/env.sh
. tools/xvfb.sh
trap './tools/wine-fixture.sh stop || true; stop_xvfb' EXIT
start_xvfb
./tools/wine-fixture.sh start
echo "under Wine:"
"$WINE" build/mingw/tests/bench/tabstrip_paint_bench.exe | tr -d '\r'
