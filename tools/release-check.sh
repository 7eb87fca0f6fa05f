#!/usr/bin/env bash
# Checks what tools/release.sh made, as a player meets it, under Wine:
#
#   tools/release-check.sh [DIST]      (default dist/; needs DISPLAY)
#
# Every signed program (the installer, its uninstaller, the client, the
# updater the client carries, tessaly-open) passes `osslsigncode verify`
# against the signing certificate (the test certificate, or with
# TESSALY_SIGN_PFX the system's trusted roots; TESSALY_CHECK_CAFILE names
# another) and a copy with one byte changed fails. Then, in the Wine prefix:
# a silent install; the installed client starts and shows its window (it
# writes its icon file and browser settings); installing again while it runs
# stops; the installed tessaly-open runs; installing over the installed copy
# works; a silent uninstall, after which the prefix's files (drive_c) and
# per-user registry are as before the install, and another program's file and
# browser setting planted beside ours are still there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/env.sh"
dist=${1:-$root/dist}
setup=$(ls "$dist"/Tessaly-*-setup.exe)
version=$(basename "$setup" | sed 's/^Tessaly-\(.*\)-setup\.exe$/\1/')
# No menu entries or desktop files for the host from Wine's shortcut mirror.
export WINEDLLOVERRIDES=winemenubuilder.exe=d
[ -n "${DISPLAY:-}" ] || { echo "release-check: needs DISPLAY (tools/xvfb.sh)" >&2; exit 1; }

work=$(mktemp -d)
failures=0
check() { # DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "release-check: ok: $what"; else echo "release-check: FAILED: $what"; failures=$((failures + 1)); fi
}

if [ -n "${TESSALY_CHECK_CAFILE:-}" ]; then ca=$TESSALY_CHECK_CAFILE
elif [ -n "${TESSALY_SIGN_PFX:-}" ]; then ca=/etc/ssl/certs/ca-certificates.crt
else ca=$("$root/tools/sign.sh" --certificate); fi
verifies() { osslsigncode verify -CAfile "$ca" -in "$1" >"$work/verify.log" 2>&1; }
tampered_fails() {
  python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[len(b) // 2] ^= 1; open(sys.argv[2], "wb").write(b)' \
    "$1" "$work/tampered.exe"
  ! verifies "$work/tampered.exe"
}
updater=$root/build/release/src/updater/Update.exe
embeds() { python3 -c 'import sys; sys.exit(open(sys.argv[2], "rb").read() not in open(sys.argv[1], "rb").read())' "$@"; }
check "the client carries the signed updater" embeds "$dist/update/$version/Tessaly.exe" "$updater"

# The prefix's folders, as Wine names them for this user.
win() { "$WINE" "$@" 2>/dev/null | tr -d '\r'; }
IFS='|' read -r temp local_app roaming profile <<<"$(win cmd /c 'echo %TEMP%^|%LOCALAPPDATA%^|%APPDATA%^|%USERPROFILE%')"
mapfile -t unix < <(win winepath -u "$temp" "$local_app\\Programs\\Tessaly" \
  "$roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Tessaly.lnk" "$profile\\Desktop\\Tessaly.lnk")
temp=${unix[0]%/} programs=${unix[1]%/} start_menu=${unix[2]} desktop=${unix[3]}

# Another program's file and browser setting: the uninstaller must leave them.
feature='HKCU\Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION'
cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  rm -f "$temp/OtherGame.ico"
  win reg delete "$feature" /v OtherGame.exe /f >/dev/null || true
  "$WINESERVER" -w
  rm -rf "$work"
}
trap cleanup EXIT
echo other >"$temp/OtherGame.ico"
win reg add "$feature" /v OtherGame.exe /t REG_DWORD /d 11000 /f >/dev/null

# What the prefix holds: its files, and its per-user registry without the
# times Wine stamps on every key it writes. Left out: what WinINet keeps for
# every program (its cookie store, cache and history, its settings), which an
# uninstaller must leave, and the empty folder of the uninstaller's temporary
# copy (NSIS's, see below). The user's desktop is a link to the host's home
# folder, outside drive_c: its shortcut is checked by name.
snapshot() {
  "$WINESERVER" -w # the registry reaches user.reg when the server ends
  (cd "$WINEPREFIX/drive_c" && find . -printf '%y %p\n') |
    grep -Ev '^(. \./users/[^/]*/AppData/Local/Microsoft/Windows/(INetCookies|INetCache|History)(/.*)?|d \./users/[^/]*/Temp/~nsu[0-9A-Z]*\.tmp)$' |
    LC_ALL=C sort >"$1.files"
  sed -e '/^#time=/d' -e 's/^\(\[.*\]\) [0-9]*$/\1/' "$WINEPREFIX/user.reg" |
    awk '/^\[/ { key = $0; print key; next } NF { print key " " $0 }' |
    grep -v '^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Internet Settings[]\\]' |
    LC_ALL=C sort >"$1.reg"
}
# The development client the other tests ran in this prefix left what an
# installed one leaves too; the check starts from a prefix without it, so the
# uninstaller's removal of those is not taken for a change.
forget_client() {
  rm -rf "$temp/quorl.ico" "$temp/update.txt" "$temp/update.txt.sig" "$temp/Update.exe" "$temp"/Tessaly-update-*
  local features='HKCU\Software\Microsoft\Internet Explorer\Main\FeatureControl' key
  win reg query "$features" | grep -o 'FEATURE_[A-Z0-9_]*' | while read -r key; do
    win reg delete "$features\$key" /v Tessaly.exe /f >/dev/null || true
  done
}
forget_client
snapshot "$work/before"

check "the installer installs silently" "$WINE" "$setup" /S
"$WINESERVER" -w
for file in Tessaly.exe tessaly-open.exe Uninstall.exe; do
  check "$file is installed and signed" verifies "$programs/$file"
  check "a changed $file fails the signature" tampered_fails "$programs/$file"
done
check "the installer is signed" verifies "$setup"
check "a changed installer fails the signature" tampered_fails "$setup"
check "the updater is signed" verifies "$updater"
check "a changed updater fails the signature" tampered_fails "$updater"
check "the start menu and the desktop have shortcuts" test -f "$start_menu" -a -f "$desktop"
uninstall_entry() {
  local entry
  entry=$(sed -n '/^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Tessaly\]/,/^$/p' "$WINEPREFIX/user.reg")
  for value in DisplayName DisplayVersion Publisher DisplayIcon UninstallString QuietUninstallString \
    EstimatedSize NoModify NoRepair; do
    grep -q "^\"$value\"=" <<<"$entry" || return 1
  done
  grep -q "^\"DisplayVersion\"=\"$version\"" <<<"$entry"
}
check "the installed programs list has the uninstall entry" uninstall_entry

# What the updater leaves when an update ends early: its staging, backup and
# journal files in the folder, and its files and run folder in the temporary
# folder. A configuration keeps the client's requests on this machine.
printf '[Addresses]\r\nLoginPage=http://127.0.0.1:1/client/\r\nGameHome=http://127.0.0.1:1/\r\nMakerHome=http://127.0.0.1:1/\r\nManifest=http://127.0.0.1:1/update.txt\r\n' \
  >"$programs/Tessaly.ini"
touch "$programs/Tessaly.exe.4242-0.new" "$programs/Tessaly.exe.4242.old" "$programs/update.journal"
mkdir -p "$temp/Tessaly-update-4242"
touch "$temp/update.txt" "$temp/update.txt.sig" "$temp/update.txt.4242-0.part" "$temp/Update.exe" \
  "$temp/Tessaly-update-4242/Tessaly.exe.new"

"$WINE" "$programs/Tessaly.exe" >/dev/null 2>&1 &
client_window() {
  for _ in $(seq 60); do
    xdotool search --onlyvisible --classname tessaly.exe >/dev/null 2>&1 && return 0
    sleep 0.5
  done
  return 1
}
check "the installed client starts and shows its window" client_window
install_stops() {
  local code=0
  "$WINE" "$setup" /S || code=$?
  [ "$code" -eq 2 ] && xdotool search --onlyvisible --classname tessaly.exe >/dev/null
}
check "installing while the client runs stops (exit code 2) and leaves it running" install_stops
open_runs() {
  local code=0
  "$WINE" "$programs/tessaly-open.exe" http://127.0.0.1:1/game/1.html >/dev/null 2>&1 || code=$?
  [ "$code" -eq 0 ] || [ "$code" -eq 1 ] # sent, or no main window to send to
}
check "the installed tessaly-open runs" open_runs
"$WINESERVER" -k
"$WINESERVER" -w
client_wrote() {
  [ -f "$temp/quorl.ico" ] &&
    grep -q '^"Tessaly.exe"=dword:00002af9' <(sed -n '/FEATURE_BROWSER_EMULATION\]/,/^$/p' "$WINEPREFIX/user.reg")
}
check "the client wrote its icon file and browser settings" client_wrote
check "installing over the installed copy works" "$WINE" "$setup" /S
"$WINESERVER" -w

"$WINE" "$programs/Uninstall.exe" /S
# The uninstaller runs from a copy in the temporary folder, which Windows
# deletes at the next restart: wait for the copy, then restart the prefix.
"$WINESERVER" -w
win wineboot -r
# NSIS asks for the copy's folder to go before the copy itself, so the
# folder stays, empty, after the restart.
snapshot "$work/after"
check "the prefix's files are as before the install" diff "$work/before.files" "$work/after.files"
check "the per-user registry is as before the install" diff "$work/before.reg" "$work/after.reg"
check "the shortcuts are gone" test ! -e "$start_menu" -a ! -e "$desktop"
check "another program's file and browser setting stay" \
  grep -q '"OtherGame.exe"=dword:00002af8' "$work/after.reg"

if [ "$failures" -gt 0 ]; then
  echo "release-check: $failures check(s) failed"
  exit 1
fi
echo "release-check: the release of $version installs, runs and uninstalls cleanly; its signatures hold"
