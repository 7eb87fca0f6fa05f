#!/usr/bin/env bash
# Builds both presets and runs every test: the portable tests natively, the
# parsers' fuzzers for a few seconds each, then all tests of the Windows build
# under Wine on a virtual display of our own, and last the release: made by
# the release command and installed, run and uninstalled under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
./tools/setup.sh
. tools/xvfb.sh

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native
./tools/fuzz.sh --quick

cmake --preset mingw >/dev/null
cmake --build --preset mingw
trap stop_xvfb EXIT
start_xvfb
ctest --preset mingw
# The release as a player meets it: built, signed and packed as the maker
# does (a test release here), then installed, started and removed under Wine.
./tools/release.sh
./tools/release-check.sh
