# Sourced by the scripts: start_xvfb starts a virtual display of our own
# (1280 x 800, 24 bits) on a free display number and exports DISPLAY;
# stop_xvfb ends that server, by its PID, and only it.
start_xvfb() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
  if [ ! -s "$fdfile" ]; then echo "Xvfb did not start" >&2; rm -f "$fdfile"; return 1; fi
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}
stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
    kill "$XVFB_PID"; wait "$XVFB_PID" 2>/dev/null || true
  fi
  XVFB_PID=
}
