#!/usr/bin/env bash
# The maker's release command: the signed programs, the player's installer and
# the update folder for the server, all in dist/.
#
#   tools/release.sh [--base ADDRESS] [--clean]
#
# Builds the release preset (every program signed as it is linked), packs the
# installer (installer/Tessaly.nsi, itself and its uninstaller signed), writes
# the update folder with tools/publish.sh, then dist/SHA256SUMS, and prints
# each artefact's size against its budget:
#
#   dist/Tessaly-<version>-setup.exe
#   dist/update/update.txt, update.txt.sig     served as the client's manifest
#   dist/update/<version>/Tessaly.exe ...      served at ADDRESS (default
#                                              https://static.kestrel.example/gamehome/quorl/<version>/)
#
# The maker's keys and certificate come from the environment:
#   TESSALY_UPDATE_KEYS          the public update key(s) built in (PEM)
#   TESSALY_UPDATE_PRIVATE_KEY   the private key that signs update.txt; its
#                                public half must be among TESSALY_UPDATE_KEYS
#   TESSALY_SIGN_PFX, TESSALY_SIGN_PASSWORD, TESSALY_SIGN_TIMESTAMP
#                                the code-signing certificate (tools/sign.sh)
# Without TESSALY_UPDATE_KEYS this is a TEST RELEASE for trying the command: a
# throwaway update key pair is made for the run in build/release-test-key/;
# without TESSALY_SIGN_PFX the programs carry a test signature. Neither is for
# players, and the command says so.
#
# The build is kept between runs (only what changed is built again), except
# when the signing certificate changed or with --clean: then it starts afresh,
# so no program keeps an older signature.
set -euo pipefail
caller=$PWD
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=build/release
dist=dist

fail() {
  echo "release: $*" >&2
  exit 1
}

base="" clean=""
while [ $# -gt 0 ]; do
  case $1 in
  --base) [ $# -ge 2 ] || fail "--base needs an address"; base=$2; shift 2 ;;
  --clean) clean=yes; shift ;;
  *) fail "usage: tools/release.sh [--base ADDRESS] [--clean]" ;;
  esac
done
command -v makensis >/dev/null || fail "makensis is missing (tools/setup.sh installs nsis)"
# The build runs the signing in its own folder: paths from the caller's.
for name in TESSALY_UPDATE_KEYS TESSALY_UPDATE_PRIVATE_KEY TESSALY_SIGN_PFX; do
  [ -z "${!name:-}" ] || export "$name=$(cd "$caller" && realpath -m -- "${!name}")"
done

# The public keys in a PEM file, one fingerprint a line.
key_fingerprints() {
  awk '/-----BEGIN PUBLIC KEY-----/{block=""} {block=block $0 "\n"}
       /-----END PUBLIC KEY-----/{printf "%s", block > (FILENAME "." ++n ".pem")}' "$1"
  for pem in "$1".*.pem; do
    openssl pkey -pubin -in "$pem" -outform DER 2>/dev/null | sha256sum | cut -d' ' -f1
    rm -f "$pem"
  done
}

test_notes=()
if [ -z "${TESSALY_UPDATE_KEYS:-}" ]; then
  keys=$build-test-key
  rm -rf "$keys"
  mkdir -p "$keys"
  chmod 700 "$keys"
  openssl ecparam -name prime256v1 -genkey -noout -out "$keys/update.key" 2>/dev/null
  openssl ec -in "$keys/update.key" -pubout -out "$keys/update.pub" 2>/dev/null
  export TESSALY_UPDATE_KEYS=$root/$keys/update.pub
  private_key=$keys/update.key
  test_notes+=("a throwaway update key ($private_key)")
  echo "release: TEST UPDATE KEY: no TESSALY_UPDATE_KEYS, so a throwaway key pair made for this run ($keys/) is built in and signs the manifest"
else
  private_key=${TESSALY_UPDATE_PRIVATE_KEY:-}
  [ -n "$private_key" ] || fail "TESSALY_UPDATE_KEYS is set: TESSALY_UPDATE_PRIVATE_KEY must name the private key that signs update.txt"
  [ -r "$private_key" ] && [ -r "$TESSALY_UPDATE_KEYS" ] || fail "cannot read $private_key or $TESSALY_UPDATE_KEYS"
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  openssl pkey -in "$private_key" -pubout -out "$scratch/signer.pem" 2>/dev/null ||
    fail "$private_key is not a private key in PEM form"
  cp "$TESSALY_UPDATE_KEYS" "$scratch/keys.pem"
  # Clients refuse a manifest that no built-in key signed.
  built_in=$(key_fingerprints "$scratch/keys.pem")
  grep -qx "$(key_fingerprints "$scratch/signer.pem")" <<<"$built_in" ||
    fail "the public half of $private_key is not among TESSALY_UPDATE_KEYS: no client would take this update"
fi

# Who signs: the maker's certificate, or the test certificate tools/sign.sh keeps.
if [ -n "${TESSALY_SIGN_PFX:-}" ]; then
  signer="pfx $(sha256sum <"$TESSALY_SIGN_PFX" | cut -d' ' -f1)"
else
  # A test certificate lives 30 days; one about to end is made again.
  test_signing=${TESSALY_SIGN_TEST_DIR:-$root/build/test-signing}
  [ ! -f "$test_signing/certificate.pem" ] ||
    openssl x509 -checkend 86400 -noout -in "$test_signing/certificate.pem" >/dev/null || rm -rf "$test_signing"
  # No certificate yet on a fresh clone: sign.sh makes one during the build.
  signer="test $({ cat "$test_signing/certificate.pem" 2>/dev/null || true; } | sha256sum | cut -d' ' -f1)"
fi
if [ -n "$clean" ] || [ "$(cat "$build/.signer" 2>/dev/null)" != "$signer" ]; then
  rm -rf "$build"
fi

cmake --preset release >/dev/null
cmake --build --preset release
if [ -z "${TESSALY_SIGN_PFX:-}" ]; then
  signer="test $(sha256sum <"$test_signing/certificate.pem" | cut -d' ' -f1)"
  test_notes+=("a test signature (untrusted certificate $(./tools/sign.sh --certificate))")
fi
echo "$signer" >"$build/.signer"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
[ -n "$base" ] || base="https://static.kestrel.example/gamehome/quorl/$version/"
rm -rf "$dist"
files="$dist/update/$version"
mkdir -p "$files"
cp "$build/src/app/Tessaly.exe" "$build/src/open/tessaly-open.exe" "$files/"
setup="$dist/Tessaly-$version-setup.exe"
makensis -V2 -WX -INPUTCHARSET UTF8 -DVERSION="$version" -DPROGRAMS="$root/$files" \
  -DOUTFILE="$root/$setup" -DSIGN="$root/tools/sign.sh" "$root/installer/Tessaly.nsi"
./tools/publish.sh "$files" "$base" "$version" "$private_key" "$dist/update"
(cd "$dist" && find . -type f -printf '%P\n' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS)

# The budgets: the client carries the updater; the installer is the NSIS
# stub with its pages (about 100 KB) and the programs, compressed (LZMA
# shrinks them to about a third), with room to spare.
over=""
echo "release: sizes against their budgets (bytes)"
while read -r file budget; do
  size=$(stat -c %s "$file")
  verdict=ok
  [ "$size" -le "$budget" ] || { verdict=OVER; over=yes; }
  printf '  %-26s %9d / %9d  %s\n' "$(basename "$file")" "$size" "$budget" "$verdict"
done <<EOF
$files/Tessaly.exe 1000000
$build/src/updater/Update.exe 300000
$files/tessaly-open.exe 100000
$setup 700000
EOF
[ -z "$over" ] || echo "release: some artefacts are over their budgets (above)"
echo "release: $dist/: $(basename "$setup"), update/ (upload update/$version/ first, then update.txt.sig and update.txt), SHA256SUMS"
if [ ${#test_notes[@]} -gt 0 ]; then
  notes=$(printf '; %s' "${test_notes[@]}")
  echo "release: THIS IS A TEST RELEASE, NOT FOR PLAYERS: ${notes#; }"
fi
