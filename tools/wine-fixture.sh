#!/usr/bin/env bash
# start: keeps one wineserver alive for the whole test run and boots the prefix
# once, so each test exe starts in a fraction of a second instead of seconds.
# stop: ends that wineserver, and with it the prefix's processes, only if start
# launched it (a wineserver someone else started is left alone).
here=$(cd "$(dirname "$0")" && pwd)
. "$here/env.sh"
mark="$WINEPREFIX/.tessaly-fixture-pid"
case "${1:-}" in
  start)
    setsid "$WINESERVER" -f -p >/dev/null 2>&1 </dev/null &
    pid=$!
    sleep 0.3
    if kill -0 "$pid" 2>/dev/null; then echo "$pid" >"$mark"; else rm -f "$mark"; fi
    "$WINE" wineboot >/dev/null 2>&1
    ;;
  stop)
    [ -f "$mark" ] || exit 0
    pid=$(cat "$mark")
    rm -f "$mark"
    if [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q wineserver; then
      "$WINESERVER" -k
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
exit 0
