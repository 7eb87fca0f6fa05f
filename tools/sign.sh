#!/usr/bin/env bash
# Signs Windows programs in place with Authenticode (osslsigncode, SHA-256).
#
#   tools/sign.sh FILE...
#   tools/sign.sh --certificate     # prints the certificate file that signs
#
# The maker's certificate: TESSALY_SIGN_PFX names a PKCS#12 file (certificate,
# chain and private key) and TESSALY_SIGN_PASSWORD holds its password. Without
# TESSALY_SIGN_PFX the files get a TEST SIGNATURE: a throwaway self-signed
# code-signing certificate, made with openssl in TESSALY_SIGN_TEST_DIR
# (default build/test-signing) when none is there, which no Windows trusts.
# Its certificate, test-signing/certificate.pem, is what
# `osslsigncode verify -CAfile` checks these signatures against.
#
# TESSALY_SIGN_TIMESTAMP names an RFC 3161 timestamp server (osslsigncode -ts),
# so that signatures outlive the certificate; it needs the network, so it is
# for a release machine only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
osslsigncode=${TESSALY_OSSLSIGNCODE:-osslsigncode}

fail() {
  echo "sign: $*" >&2
  exit 1
}

secrets=$(mktemp -d)
trap 'rm -rf "$secrets"' EXIT
chmod 700 "$secrets"

if [ -n "${TESSALY_SIGN_PFX:-}" ]; then
  pfx=$TESSALY_SIGN_PFX
  [ -r "$pfx" ] || fail "cannot read the certificate TESSALY_SIGN_PFX=$pfx"
  # Through a private file: a password on the command line is seen by everyone.
  printf '%s' "${TESSALY_SIGN_PASSWORD:-}" >"$secrets/password"
  certificate="$secrets/certificate.pem"
  openssl pkcs12 -in "$pfx" -nokeys -clcerts -passin "file:$secrets/password" -out "$certificate" 2>/dev/null ||
    fail "$pfx is not a PKCS#12 file that TESSALY_SIGN_PASSWORD opens"
  test_signature=""
else
  dir=${TESSALY_SIGN_TEST_DIR:-$root/build/test-signing}
  pfx="$dir/test.pfx"
  certificate="$dir/certificate.pem"
  mkdir -p "$dir"
  chmod 700 "$dir"
  # The build signs programs in parallel: one of them makes the certificate.
  exec 9>"$dir/.lock"
  flock 9
  if [ ! -f "$pfx" ] || [ ! -f "$certificate" ] || [ ! -f "$dir/password" ]; then
    openssl rand -hex 16 >"$dir/password"
    openssl req -x509 -newkey rsa:3072 -sha256 -nodes -days 30 -keyout "$secrets/key.pem" \
      -out "$certificate" -subj "/CN=Tessaly TEST SIGNATURE (untrusted)" \
      -addext "basicConstraints=critical,CA:FALSE" -addext "keyUsage=critical,digitalSignature" \
      -addext "extendedKeyUsage=codeSigning" 2>/dev/null || fail "openssl cannot make a test certificate"
    openssl pkcs12 -export -inkey "$secrets/key.pem" -in "$certificate" -out "$pfx" \
      -passout "file:$dir/password" || fail "openssl cannot pack the test certificate"
    echo "sign: made a throwaway test certificate in $dir" >&2
  fi
  flock -u 9
  cp "$dir/password" "$secrets/password"
  test_signature=yes
fi

if [ "${1:-}" = --certificate ]; then
  [ $# -eq 1 ] || fail "--certificate takes no files"
  [ -n "$test_signature" ] || fail "--certificate names only a test certificate (the maker's is in TESSALY_SIGN_PFX)"
  echo "$certificate"
  exit 0
fi
[ $# -gt 0 ] || fail "usage: tools/sign.sh FILE..."

timestamp=()
[ -z "${TESSALY_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$TESSALY_SIGN_TIMESTAMP")
subject=$(openssl x509 -in "$certificate" -noout -subject -nameopt oneline 2>/dev/null | sed 's/^subject= *//')
for file in "$@"; do
  [ -f "$file" ] || fail "no file $file"
  signed="$file.signing"
  rm -f "$signed"
  if ! log=$("$osslsigncode" sign -pkcs12 "$pfx" -readpass "$secrets/password" -h sha256 \
    -n Tessaly -i https://www.kestrel.example/ ${timestamp[@]+"${timestamp[@]}"} \
    -in "$file" -out "$signed" 2>&1); then
    rm -f "$signed"
    fail "osslsigncode cannot sign $file: $log"
  fi
  mv -f "$signed" "$file"
  if [ -n "$test_signature" ]; then
    echo "sign: $(basename "$file"): TEST SIGNATURE by '$subject' (untrusted; verify with -CAfile $certificate)"
  else
    echo "sign: $(basename "$file"): signed by '$subject'${timestamp:+, timestamped}"
  fi
done
