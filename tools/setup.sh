#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine and creates the
# Wine prefix the tests and the run command use. Safe to run again: when all is
# present it only checks, which takes about a second.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/env.sh
. "$here/env.sh"

packages=(g++-mingw-w64-x86-64-win32 wine64 xvfb xauth cmake ninja-build g++ googletest
          python3 imagemagick xdotool fonts-wqy-microhei curl clang libclang-rt-14-dev openssl
          osslsigncode nsis zlib1g-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ ! -f "$WINEPREFIX/.tessaly-ready" ]; then
  echo "setup: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # mscoree would offer to download Mono; the client needs no .NET.
  WINEDLLOVERRIDES=mscoree= "$WINE" wineboot -i >/dev/null 2>&1
  # Without a window manager Wine waits ~2 s whenever a captioned window hides;
  # unmanaged windows make that immediate.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$WINEPREFIX/.tessaly-ready"
fi

if [ ! -f "$WINEPREFIX/.tessaly-fonts" ]; then
  # The client's texts are Chinese: give the prefix a font that has them.
  reg="$(mktemp --suffix=.reg)"
  python3 "$here/wine-fonts.py" "$reg"
  "$WINE" regedit /S "Z:$reg" >/dev/null 2>&1
  "$WINESERVER" -w
  rm -f "$reg"
  touch "$WINEPREFIX/.tessaly-fonts"
fi
