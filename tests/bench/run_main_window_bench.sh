#!/usr/bin/env bash
# The main window's benchmark under Wine, with the platform's browser control,
# on a virtual display of our own and the demo site served on 127.0.0.1:
# working set with five tabs, CPU over 30 idle seconds, and the time from
# tessaly-open sending an address to the new tab painted.
#
#   tests/bench/run_main_window_bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
[ -f build/mingw/CMakeCache.txt ] || cmake --preset mingw >/dev/null
cmake --build --preset mingw --target main_window_bench tessaly-open >/dev/null
. tools/env.sh
. tools/xvfb.sh
server_dir="$root/build/bench-http"
trap './tools/http-fixture.sh stop "$server_dir" || true; ./tools/wine-fixture.sh stop || true; stop_xvfb' EXIT
start_xvfb
./tools/wine-fixture.sh start
port=$(./tools/http-fixture.sh start "$server_dir" --root demo)
"$WINE" build/mingw/tests/bench/main_window_bench.exe "Z:$root/build/mingw/src/open/tessaly-open.exe" \
  "http://127.0.0.1:$port" | tr -d '\r'
