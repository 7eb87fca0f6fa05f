#!/usr/bin/env bash
# Start to splash under Wine, on a virtual display of our own: the floor
# (startup_floor.exe, only a 356 x 122 alpha window) and the client, started
# alternately in one run. The client runs against the local test server (its
# login page address and a signed manifest of its own version, so no update
# question), with the real network test and the scripted browser; it is ended
# as soon as the splash is visible. Prints min, median and max of each and
# their ratio.
#
#   tools/bench/startup.sh            # 15 rounds
#   ROUNDS=30 tools/bench/startup.sh
#   CLIENT=other/Tessaly.exe tools/bench/startup.sh   # another build of the client
#   REAL_BROWSER=1 tools/bench/startup.sh    # the platform's browser, not the scripted one
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
rounds=${ROUNDS:-15}
./tools/setup.sh
. tools/env.sh
. tools/xvfb.sh
[ -f build/mingw/CMakeCache.txt ] || cmake --preset mingw >/dev/null
cmake --build --preset mingw --target startup_bench >/dev/null

work="$root/build/bench-startup"
rm -rf "$work"
mkdir -p "$work/site/client" "$work/site/gamehome/quorl" "$work/client"
cleanup() {
  ./tools/http-fixture.sh stop "$work/http" || true
  ./tools/wine-fixture.sh stop || true
  stop_xvfb
}
trap cleanup EXIT
cp demo/client/index.html "$work/site/client/"
version=$(sed -n 's/^project(Tessaly VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
printf 'version=%s\r\n' "$version" >"$work/site/gamehome/quorl/update.txt"
openssl dgst -sha256 -sign build/mingw/update-key/update.key \
  -out "$work/site/gamehome/quorl/update.txt.sig" "$work/site/gamehome/quorl/update.txt"
port=$(./tools/http-fixture.sh start "$work/http" --root "$work/site")
origin="http://127.0.0.1:$port"
cp "${CLIENT:-build/mingw/src/app/Tessaly.exe}" "$work/client/Tessaly.exe"
printf '[Addresses]\r\nLoginPage=%s/client/\r\nManifest=%s/gamehome/quorl/update.txt\r\n' \
  "$origin" "$origin" >"$work/client/Tessaly.ini"
if [ -z "${REAL_BROWSER:-}" ]; then
  # The page never completes while the splash is being timed.
  printf 'on /client/\n  wait 60000\n' >"$work/login.script"
  export TESSALY_BROWSER_SCRIPT="Z:$work/login.script"
fi
# Should a message box come, it goes to this log instead of waiting for a click.
export TESSALY_AUTOMATION_LOG="Z:$work/automation.log"

start_xvfb
./tools/wine-fixture.sh start
"$WINE" build/mingw/tests/bench/startup_bench.exe "$rounds" \
  "Z:$root/build/mingw/tests/bench/startup_floor.exe" "Z:$work/client/Tessaly.exe" | tr -d '\r'
# The platform's browser may finish the page before the client is ended,
# and what the page then asks is no fault of the start-up.
if [ -z "${REAL_BROWSER:-}" ] && [ -s "$work/automation.log" ]; then
  echo "startup: the client logged messages (see $work/automation.log)" >&2
  exit 1
fi
