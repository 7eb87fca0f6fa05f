#!/usr/bin/env bash
# Runs a Windows executable under the project's Wine prefix (the test emulator).
here=$(cd "$(dirname "$0")" && pwd)
. "$here/env.sh"
exec "$WINE" "$@"
