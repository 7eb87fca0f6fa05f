#!/usr/bin/env bash
# Builds the parsers' libFuzzer harnesses (preset "fuzz", clang) and runs each
# on its seeds in tests/fuzz/corpus/<name>/. What a run finds is kept:
# new inputs in build/fuzz/corpus/<name>/, crashing ones in
# build/fuzz/findings/<name>/ (replay one with build/fuzz/tests/fuzz/fuzz_<name> FILE).
#
#   tools/fuzz.sh --quick            a few seconds each, as tools/check.sh does
#   tools/fuzz.sh [SECONDS] [NAME..] SECONDS each (default 600), all or the named ones
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

seconds=600
if [ "${1:-}" = "--quick" ]; then
  seconds=${TESSALY_FUZZ_QUICK_SECONDS:-5}
  shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(manifest signature start_parameter login_command property_bag browser_script replace png)

build=build/fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

failed=()
for name in "${names[@]}"; do
  exe="$build/tests/fuzz/fuzz_$name"
  [ -x "$exe" ] || { echo "fuzz: no harness named $name" >&2; exit 2; }
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  log="$build/fuzz_$name.log"
  mkdir -p "$corpus" "$findings"
  # -timeout: an input that takes this long is a hang, and a finding.
  if "$exe" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" "$corpus" "tests/fuzz/corpus/$name" >"$log" 2>&1; then
    echo "fuzz: $name: $(grep -ao 'Done [0-9]* runs' "$log" | tail -1 || true) in ${seconds} s, no finding"
  else
    echo "fuzz: $name: FINDING (log: $log, inputs: $findings/)"
    tail -n 40 "$log"
    failed+=("$name")
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzz: findings in ${failed[*]}" >&2; exit 1; }
