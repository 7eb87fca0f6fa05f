#!/usr/bin/env bash
# Runs the client under Wine on the bundled demo site (demo/), served on
# 127.0.0.1. On your display when DISPLAY is set; otherwise on a virtual
# display of our own, with a screenshot every second saved to run/shots/.
# Where Wine has no engine that renders pages, the client's scripted browser
# plays a short tour of the demo instead (demo/tour.script); --scripted
# forces that. On the virtual display, tessaly-tour then plays the player's
# part of the journey (a second game sent by tessaly-open, F10 twice, the exit
# dialog answered No, then Yes) so that the run ends by itself.
# Extra arguments go to the client.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
./tools/setup.sh
. tools/env.sh
. tools/xvfb.sh

scripted=""
tour=""
if [ "${1:-}" = "--scripted" ]; then scripted=yes; shift; fi

[ -f build/mingw/CMakeCache.txt ] || cmake --preset mingw >/dev/null
if ! built=$(cmake --build --preset mingw --target Tessaly tessaly-open tessaly-tour 2>&1); then
  echo "$built" >&2
  exit 1
fi

# The client runs from a folder of its own, with an INI file pointing it at the demo.
client_dir="$root/run/client"
mkdir -p "$client_dir"
cp build/mingw/src/app/Tessaly.exe build/mingw/src/open/tessaly-open.exe "$client_dir/"
# The site served: the demo, and this client as the release its manifest offers.
site="$root/run/site"
rm -rf "$site"
mkdir -p "$site/files" "$site/gamehome/quorl"
cp -r demo/. "$site/"
cp build/mingw/src/app/Tessaly.exe "$site/files/"

server_dir="$root/run/demo-server"
cleanup() {
  ./tools/http-fixture.sh stop "$server_dir" || true
  stop_xvfb
}
trap cleanup EXIT
port=$(./tools/http-fixture.sh start "$server_dir" --root "$site")
origin="http://127.0.0.1:$port"
# The manifest is published and signed as a maker does, with the build's development key.
version=$(sed -n 's/^project(Tessaly VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
./tools/publish.sh "$site/files" "$origin/files/" "$version" build/mingw/update-key/update.key \
  "$site/gamehome/quorl" | sed 's/^/run: /'
printf '[Addresses]\r\nLoginPage=%s/client/\r\nGameHome=%s/\r\nMakerHome=%s/maker/\r\nManifest=%s/gamehome/quorl/update.txt\r\n' \
  "$origin" "$origin" "$origin" "$origin" >"$client_dir/Tessaly.ini"
echo "run: demo site at $origin"

# Wine renders pages only with its Gecko package installed (an msi beside Wine,
# or unpacked into the prefix); Debian ships neither.
gecko=$(ls -d /usr/share/wine/gecko/*.msi "$WINEPREFIX"/drive_c/windows/*/gecko/*/wine_gecko 2>/dev/null | head -n1 || true)
if [ -z "$scripted" ] && [ -z "$gecko" ]; then
  scripted=yes
  echo "run: this Wine has no engine that renders web pages (Wine Gecko is not installed)."
fi
if [ -n "$scripted" ]; then
  echo "run: the client's scripted browser plays a tour of the demo instead (demo/tour.script):"
  echo "run: the login page loads, the login window shows, and the player enters server 1."
  [ -z "${DISPLAY:-}" ] && tour=yes
  export TESSALY_BROWSER_SCRIPT="Z:$root/demo/tour.script"
fi

shots=""
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  shots="$root/run/shots"
  mkdir -p "$shots"
  rm -f "$shots"/*.png
  echo "run: no display set; the client runs on the virtual display $DISPLAY, screenshots in run/shots/"
fi

"$WINE" "$client_dir/Tessaly.exe" "$@" &
client=$!
if [ -n "$tour" ]; then
  "$WINE" build/mingw/tools/tour/tessaly-tour.exe "Z:$client_dir/tessaly-open.exe" "$origin/game/2.html" &
fi
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
echo "run: the client has ended${shots:+; $n screenshots in run/shots/}"
