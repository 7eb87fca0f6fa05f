#!/usr/bin/env bash
# The publishing command signs a release so that openssl verifies it, and
# refuses, writing nothing, what the updater or the client would not take.
#   publish_test.sh PUBLISH WORK_DIR   (TESSALY_PUBLISH_CHECK: the checker)
set -euo pipefail
publish=$1 && rm -rf "$2" && mkdir -p "$2/release" "$2/out" && cd "$2"
openssl ecparam -name prime256v1 -genkey -noout -out key.pem
openssl ec -in key.pem -pubout -out pub.pem 2>/dev/null
openssl ecparam -name secp384r1 -genkey -noout -out p384.pem
printf 'client' >release/Tessaly.exe && printf 'b' >release/b.dat && printf 'A' >release/A.pak

"$publish" release https://cdn.example/r 1.2.0 key.pem out >/dev/null
line() { printf '%s|https://cdn.example/r/%s|%s\r\n' "$1" "$1" "$(sha256sum <"release/$1" | cut -d' ' -f1)"; }
{ printf 'version=1.2.0\r\n'; line A.pak; line b.dat; line Tessaly.exe; } | cmp - out/update.txt
openssl dgst -sha256 -verify pub.pem -signature out/update.txt.sig out/update.txt >/dev/null
cp out/update.txt good.txt

refused() { # the command fails and the output folder keeps what it had
  if "$publish" "$@" 2>/dev/null; then echo "published: $*" >&2 && exit 1; fi
  cmp -s out/update.txt good.txt || { echo "changed the output: $*" >&2 && exit 1; }
}
for name in nul.txt COM1.dat a..b trailing. 'a b' 'a#b' 'é.dat' sub/; do
  rm -rf bad && mkdir bad && cp release/Tessaly.exe bad/
  if [[ $name != */ ]]; then : >"bad/$name"; else mkdir "bad/$name"; fi
  refused bad https://cdn.example/r 1.2.0 key.pem out
done
# shellcheck disable=SC2086 # each case is its words
for args in 'release https://r/ 1.2.0.1 key.pem out' 'release https://r/ 1.x key.pem out' \
  'release ftp://r/ 1.2.0 key.pem out' 'release https://r/?a= 1.2.0 key.pem out' \
  'release https://r/ 1.2.0 p384.pem out' 'release https://r/ 1.2.0 pub.pem out' \
  'bad/sub https://r/ 1.2.0 key.pem out' 'release https://r/ 1.2.0 key.pem release'; do
  refused $args
done
