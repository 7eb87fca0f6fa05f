#!/usr/bin/env bash
# The build's update keys: one or two P-256 public keys, or a development pair
# made once; anything else stops the build.   keys_test.sh SCRIPT WORK_DIR
set -euo pipefail
script=$1 && rm -rf "$2" && mkdir -p "$2" && cd "$2"
keys() { cmake "$@" -P "$script" >/dev/null 2>&1 && grep -c '^    {{' generated/update/UpdateKeys.h; }
[ "$(keys)" = 1 ] && first=$(cat update-key/update.key) && [ "$(keys)" = 1 ] && [ "$(cat update-key/update.key)" = "$first" ]
openssl ecparam -name secp384r1 -genkey -noout | openssl ec -pubout -out p384.pem 2>/dev/null
cat update-key/update.pub update-key/update.pub >two.pem && cat two.pem two.pem >four.pem
[ "$(keys -DTESSALY_UPDATE_KEYS=two.pem)" = 2 ]
for bad in -DTESSALY_UPDATE_KEYS={four.pem,p384.pem,update-key/update.key,missing} -DTESSALY_REQUIRE_UPDATE_KEYS=ON; do
  if keys "$bad"; then echo "built in: $bad" >&2 && exit 1; fi
done
