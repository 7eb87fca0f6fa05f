#!/usr/bin/env bash
# tools/release-check.sh [DIST]: checks what tools/release.sh made in DIST (dist/) as a
# player meets it, under Wine (needs DISPLAY). Every signed program verifies against the
# signing certificate (the test one; with TESSALY_SIGN_PFX the system's roots; or
# TESSALY_CHECK_CAFILE) and fails with one byte changed; then install, run, uninstall,
# and the prefix's files and per-user registry must be as before.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/env.sh"
dist=${1:-$root/dist}
setup=$(ls "$dist"/Tessaly-*-setup.exe)
version=$(basename "$setup" | sed 's/^Tessaly-\(.*\)-setup\.exe$/\1/')
updater=$root/build/release/src/updater/Update.exe
# No menu entries or desktop files for the host from Wine's shortcut mirror.
export WINEDLLOVERRIDES=winemenubuilder.exe=d
[ -n "${DISPLAY:-}" ] || { echo "release-check: needs DISPLAY (tools/xvfb.sh)" >&2; exit 1; }
work=$(mktemp -d) failures=0
check() { # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "release-check: ok: $1"; else echo "release-check: FAILED: $1"; failures=$((failures + 1)); fi
}
win() { "$WINE" "$@" 2>/dev/null | tr -d '\r'; }
settle() { # waits for the prefix's processes and its server to end
  timeout 120 "$WINESERVER" -w ||
    { echo "release-check: the prefix's wineserver stays (a persistent one, as the tests' fixture starts?)" >&2; exit 1; }
}
exits() { # CODES COMMAND...: the command ends with one of CODES
  local code=0; "${@:2}" >/dev/null 2>&1 || code=$?; [[ " $1 " == *" $code "* ]]
}

if [ -n "${TESSALY_CHECK_CAFILE:-}" ]; then ca=$TESSALY_CHECK_CAFILE
elif [ -n "${TESSALY_SIGN_PFX:-}" ]; then ca=/etc/ssl/certs/ca-certificates.crt
else ca=$("$root/tools/sign.sh" --certificate); fi
signature_holds() { # FILE: verifies, and a copy with its middle byte changed does not
  python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[len(b) // 2] ^= 1; open(sys.argv[2], "wb").write(b)' \
    "$1" "$work/changed.exe"
  osslsigncode verify -CAfile "$ca" -in "$1" >"$work/verify.log" 2>&1 &&
    ! osslsigncode verify -CAfile "$ca" -in "$work/changed.exe" >>"$work/verify.log" 2>&1
}
embeds() { python3 -c 'import sys; sys.exit(open(sys.argv[2], "rb").read() not in open(sys.argv[1], "rb").read())' "$@"; }
check "the client carries the signed updater" embeds "$dist/update/$version/Tessaly.exe" "$updater"

# A new prefix of its own: the tests' runs of the client leave in theirs what
# the installed client writes. Another program's file and browser setting in
# it must stay.
export WINEPREFIX=$WINEPREFIX-release-check
rm -rf "$WINEPREFIX"
WINEDLLOVERRIDES="mscoree=;$WINEDLLOVERRIDES" "$WINE" wineboot -i >/dev/null 2>&1
trap '"$WINESERVER" -k 2>/dev/null || true; rm -rf "$work"' EXIT

# The prefix's folders, as Wine names them for this user.
IFS='|' read -r temp local_app roaming profile <<<"$(win cmd /c 'echo %TEMP%^|%LOCALAPPDATA%^|%APPDATA%^|%USERPROFILE%')"
mapfile -t unix < <(win winepath -u "$temp" "$local_app\\Programs\\Tessaly" \
  "$roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Tessaly.lnk" "$profile\\Desktop\\Tessaly.lnk")
temp=${unix[0]%/} programs=${unix[1]%/} start_menu=${unix[2]} desktop=${unix[3]}
echo other >"$temp/OtherGame.ico"
win reg add 'HKCU\Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION' \
  /v OtherGame.exe /t REG_DWORD /d 11000 /f >/dev/null

# The prefix's files and its per-user registry (without the times Wine stamps
# on keys). Left out: what WinINet keeps for every program (cookies, cache,
# history, settings), which stays, and the empty folder of the uninstaller's
# temporary copy (below). The desktop links to the host's home, outside
# drive_c: its shortcut is checked by name.
snapshot() {
  settle # the registry reaches user.reg when the server ends
  (cd "$WINEPREFIX/drive_c" && find . -printf '%y %p\n') |
    grep -Ev '^(. \./users/[^/]*/AppData/Local/Microsoft/Windows/(INetCookies|INetCache|History)(/.*)?|d \./users/[^/]*/Temp/~nsu[0-9A-Z]*\.tmp)$' |
    LC_ALL=C sort >"$1.files"
  sed -e '/^#time=/d' -e 's/^\(\[.*\]\) [0-9]*$/\1/' "$WINEPREFIX/user.reg" |
    awk '/^\[/ { key = $0; print key; next } NF { print key " " $0 }' |
    grep -v '^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Internet Settings[]\\]' | LC_ALL=C sort >"$1.reg"
}
snapshot "$work/before"

check "the installer installs silently" exits 0 "$WINE" "$setup" /S
settle
for file in "$setup" "$updater" "$programs"/{Tessaly.exe,tessaly-open.exe,Uninstall.exe}; do
  check "$(basename "$file") is signed; changed, it fails" signature_holds "$file"
done
check "the start menu and the desktop have shortcuts" test -f "$start_menu" -a -f "$desktop"
entry=$(sed -n '/^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Tessaly\]/,/^$/p' "$WINEPREFIX/user.reg")
for value in DisplayName DisplayVersion Publisher DisplayIcon UninstallString QuietUninstallString \
  EstimatedSize NoModify NoRepair; do
  check "the uninstall entry has $value" grep -q "^\"$value\"=" <<<"$entry"
done
check "the uninstall entry's version is $version" grep -q "^\"DisplayVersion\"=\"$version\"" <<<"$entry"

# What an update that ended early leaves: staging, backup and journal files in
# the folder; the manifest, the updater and its run folder in the temporary
# folder. The configuration keeps the client's requests on this machine.
printf '[Addresses]\r\nLoginPage=http://127.0.0.1:1/client/\r\nGameHome=http://127.0.0.1:1/\r\nMakerHome=http://127.0.0.1:1/\r\nManifest=http://127.0.0.1:1/update.txt\r\n' \
  >"$programs/Tessaly.ini"
touch "$programs"/{Tessaly.exe.4242-0.new,Tessaly.exe.4242.old,update.journal}
mkdir -p "$temp/Tessaly-update-0123456789abcdef"
touch "$temp"/{update.txt,update.txt.sig,update.txt.4242-0.part,Update.exe} "$temp"/Tessaly-update-0123456789abcdef/{Update.exe,update.txt,update.txt.sig}

"$WINE" "$programs/Tessaly.exe" >/dev/null 2>&1 &
check "the installed client starts and shows its window" \
  exits 0 timeout 30 xdotool search --sync --onlyvisible --classname tessaly.exe
check "installing while the client runs stops (exit code 2)" exits 2 "$WINE" "$setup" /S
check "... and leaves the client running" exits 0 xdotool search --onlyvisible --classname tessaly.exe
check "the installed tessaly-open runs (sent, or no main window)" exits "0 1" "$WINE" "$programs/tessaly-open.exe" http://127.0.0.1:1/
"$WINESERVER" -k
settle
check "the client wrote its icon file and browser settings" test -f "$temp/quorl.ico" -a \
  "$(sed -n '/FEATURE_BROWSER_EMULATION\]/,/^$/p' "$WINEPREFIX/user.reg" | grep -c '^"Tessaly.exe"=dword:00002af9')" = 1
check "installing over the installed copy works" exits 0 "$WINE" "$setup" /S
settle

"$WINE" "$programs/Uninstall.exe" /S
# The uninstaller runs from a copy in the temporary folder, which Windows
# deletes at the next restart: wait for the copy, then restart the prefix.
# NSIS asks for the copy's folder to go before the copy, so the folder stays.
settle
win wineboot -r
snapshot "$work/after"
check "the prefix's files are as before the install" diff "$work/before.files" "$work/after.files"
check "the per-user registry is as before the install" diff "$work/before.reg" "$work/after.reg"
check "the shortcuts are gone" test ! -e "$start_menu" -a ! -e "$desktop"

[ "$failures" -eq 0 ] || { echo "release-check: $failures check(s) failed; the prefix stays: $WINEPREFIX"; exit 1; }
settle
rm -rf "$WINEPREFIX"
echo "release-check: the release of $version installs, runs and uninstalls cleanly; its signatures hold"
