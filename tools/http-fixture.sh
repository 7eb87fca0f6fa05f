#!/usr/bin/env bash
# start DIR [SERVER OPTIONS...]: starts tools/test_http_server.py in the
# background on 127.0.0.1 and a free port; DIR/port and DIR/pid receive the
# port and the process id, DIR/log its output. Prints the port.
# stop DIR: ends that server, by its process id, and only if it is ours.
# The server also ends by itself after TESSALY_HTTP_MAX_SECONDS (900).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
server="$here/test_http_server.py"
command=${1:-}
dir=${2:-}
if [ -z "$dir" ] || { [ "$command" != start ] && [ "$command" != stop ]; }; then
  echo "usage: $0 start|stop DIR [server options]" >&2
  exit 2
fi
shift 2

ours() { [ -r "/proc/$1/cmdline" ] && tr '\0' ' ' <"/proc/$1/cmdline" | grep -q "test_http_server.py"; }

stop_server() {
  [ -f "$dir/pid" ] || return 0
  local pid
  pid=$(cat "$dir/pid")
  rm -f "$dir/pid" "$dir/port"
  if ours "$pid"; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do ours "$pid" || break; sleep 0.1; done
  fi
}

case "$command" in
  start)
    mkdir -p "$dir"
    stop_server # a server an earlier run left behind
    setsid python3 "$server" --port-file "$dir/port" --pid-file "$dir/pid" \
      --max-seconds "${TESSALY_HTTP_MAX_SECONDS:-900}" "$@" >"$dir/log" 2>&1 </dev/null &
    for _ in $(seq 100); do [ -s "$dir/port" ] && break; sleep 0.05; done
    if [ ! -s "$dir/port" ]; then
      echo "test HTTP server did not start:" >&2
      cat "$dir/log" >&2
      exit 1
    fi
    cat "$dir/port"
    ;;
  stop) stop_server ;;
esac
