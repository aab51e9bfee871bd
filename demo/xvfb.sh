# Sourced by the demo, the whole-program tests and the timing script.
# start_xvfb GEOMETRY: starts a private Xvfb on a free display, sets DISPLAY
# and xvfb_pid, and returns once clients can connect. Other programs may start
# X servers at the same time, so a server that reports a display but does not
# answer on it is replaced by a new one (three tries).
start_xvfb() {
  local geometry=$1 try fd number
  for try in 1 2 3; do
    exec {fd}<> <(:)
    Xvfb -displayfd "$fd" -screen 0 "$geometry" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    number=""
    read -r -t 15 -u "$fd" number || true
    exec {fd}>&-
    if [ -n "$number" ]; then
      for _ in $(seq 50); do
        if ! kill -0 "$xvfb_pid" 2>/dev/null; then
          break
        fi
        if xdpyinfo -display ":$number" >/dev/null 2>&1; then
          export DISPLAY=":$number"
          return 0
        fi
        sleep 0.1
      done
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  echo "Xvfb did not start" >&2
  return 1
}
