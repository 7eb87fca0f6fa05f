#!/usr/bin/env bash
# Runs the client under Wine: on your display when DISPLAY is set, otherwise on
# a virtual display of our own, from which screenshots are saved to run/shots/.
# Builds what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
./tools/setup.sh
. tools/env.sh
. tools/xvfb.sh

[ -f build/mingw/CMakeCache.txt ] || cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Tessaly >/dev/null
exe="$root/build/mingw/src/app/Tessaly.exe"

shots=""
if [ -z "${DISPLAY:-}" ]; then
  trap stop_xvfb EXIT
  start_xvfb
  shots="$root/run/shots"
  mkdir -p "$shots"
  rm -f "$shots"/*.png
  echo "run: no display set; running on the virtual display $DISPLAY, screenshots in run/shots/"
fi

"$WINE" "$exe" "$@" &
client=$!
n=0
while kill -0 "$client" 2>/dev/null; do
  if [ -n "$shots" ]; then
    n=$((n + 1))
    import -display "$DISPLAY" -window root "$(printf '%s/%03d.png' "$shots" "$n")" 2>/dev/null || true
  fi
  sleep 1
done
wait "$client" || true
# Let Wine's helper processes go before the display they draw on does.
timeout 15 "$WINESERVER" -w 2>/dev/null || true
echo "run: the client has ended"
