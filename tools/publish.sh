#!/usr/bin/env bash
# The maker's publishing command: the manifest and its signature for a release.
#
#   tools/publish.sh RELEASE_DIR BASE_ADDRESS VERSION KEY OUT_DIR
#
# RELEASE_DIR holds the release's files, Tessaly.exe among them, and nothing
# else; they are to be served at BASE_ADDRESS followed by their names. KEY is
# the maker's P-256 private key (PEM). OUT_DIR receives update.txt (the line
# version=VERSION, then name|address|sha-256 for each file, Tessaly.exe last,
# CR LF) and update.txt.sig (openssl's DER signature, ECDSA with SHA-256, over
# update.txt's bytes). The output is read back the way the client and the
# updater will read it and verified with openssl; a name the updater would
# refuse, a version that is not dotted numbers or a key that is not P-256
# fail the command, and nothing is written.
#
# TESSALY_PUBLISH_CHECK may name a built tessaly-publish-check; otherwise it is
# built from this repository into build/publish/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
client=Tessaly.exe

fail() {
  echo "publish: $*" >&2
  exit 1
}
if [ $# -ne 5 ]; then
  echo "usage: $(sed -n '4p' "$0" | sed 's/^# *//')" >&2
  exit 2
fi
release=$1 base=$2 version=$3 key=$4 out=$5

[ -d "$release" ] || fail "no release folder $release"
[ -d "$out" ] || fail "no output folder $out"
[ "$(cd "$release" && pwd -P)" != "$(cd "$out" && pwd -P)" ] ||
  fail "the output folder must not be the release folder (update.txt would become a file of the next release)"
[ -f "$release/$client" ] || fail "the release has no $client"
[ -r "$key" ] || fail "cannot read the key $key"
[[ $version =~ ^[0-9]+(\.[0-9]+)*$ ]] || fail "the version must be numbers joined by dots: $version"
# Names are appended to the base: it cannot end in a query or a fragment.
[[ $base =~ ^https?://[!-~]+$ && $base != *[\|?#]* ]] ||
  fail "the base address must be an http or https address of printable ASCII without | ? #: $base"
[[ $base == */ ]] || base="$base/"

public=$(openssl pkey -in "$key" -pubout 2>/dev/null) || fail "$key is not a private key in PEM form"
openssl pkey -pubin -noout -text <<<"$public" 2>/dev/null | grep -q 'ASN1 OID: prime256v1' ||
  fail "$key is not a P-256 (prime256v1) key"

# The files in the order the manifest lists them: by name, the client last.
names=()
while IFS= read -r -d '' path; do
  name=${path##*/}
  { [ -f "$path" ] && [ ! -L "$path" ]; } || fail "'$name' is not a plain file (the updater places files only)"
  # The same bytes in every code page, and the same name in the address.
  [[ $name =~ ^[A-Za-z0-9._~+-]+$ ]] ||
    fail "'$name': a name holds only ASCII letters, digits and . _ ~ + -"
  [ "$name" = "$client" ] || names+=("$name")
done < <(find "$release" -mindepth 1 -maxdepth 1 -print0)
mapfile -t names < <(printf '%s\n' ${names[@]+"${names[@]}"} | grep . | LC_ALL=C sort)
names+=("$client")

checker=${TESSALY_PUBLISH_CHECK:-}
if [ -z "$checker" ]; then
  build="$root/build/publish"
  if ! made=$({ [ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug; } 2>&1 &&
              cmake --build "$build" --target tessaly-publish-check 2>&1); then
    echo "$made" >&2
    fail "cannot build the checker in $build"
  fi
  checker="$build/tools/publish/tessaly-publish-check"
fi

manifest=$(mktemp "$out/.update.txt.XXXXXX")
signature="$manifest.sig"
trap 'rm -f "$manifest" "$signature"' EXIT
{
  printf 'version=%s\r\n' "$version"
  for name in "${names[@]}"; do
    printf '%s|%s%s|%s\r\n' "$name" "$base" "$name" "$(sha256sum <"$release/$name" | cut -d' ' -f1)"
  done
} >"$manifest"
openssl dgst -sha256 -sign "$key" -out "$signature" "$manifest" || fail "openssl cannot sign with $key"
openssl dgst -sha256 -verify <(echo "$public") -signature "$signature" "$manifest" >/dev/null ||
  fail "the signature does not verify"
"$checker" "$manifest" "$client" "$signature" || exit 1
# What is served is read by everyone.
chmod 644 "$manifest" "$signature"
mv -f "$signature" "$out/update.txt.sig"
mv -f "$manifest" "$out/update.txt"
echo "publish: $out/update.txt and update.txt.sig: version $version, ${#names[@]} file(s)"
