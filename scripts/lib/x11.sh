# Private X servers for the demo, the whole-program tests and the timing
# script; sourced, not run.
#
# start_xvfb GEOMETRY: starts a private Xvfb, sets DISPLAY and xvfb_pid, and
# returns once clients can connect. Other programs on this machine start and
# clean up X servers too (low display numbers above all), so the display is
# drawn at random from a high range, and a server that exits or does not
# answer is replaced by one on another display. -noreset: by default the
# server resets whenever its last client leaves, and a client connecting
# during that reset (the next screenshot, the next run) is refused.
start_xvfb() {
  local geometry=$1 try number
  for try in 1 2 3 4 5; do
    number=$((200 + RANDOM % 700))
    [ -e "/tmp/.X$number-lock" ] && continue
    Xvfb ":$number" -screen 0 "$geometry" -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      kill -0 "$xvfb_pid" 2>/dev/null || break
      if xdpyinfo -display ":$number" >/dev/null 2>&1; then
        export DISPLAY=":$number"
        return 0
      fi
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  echo "Xvfb did not start" >&2
  return 1
}

# start_window_manager WORK_DIR: starts openbox (it follows the _NET_WM
# conventions that stay-on-top and full screen rely on) on $DISPLAY with its
# settings kept under WORK_DIR, sets wm_pid, and returns once it has taken the
# screen; up to 30 seconds, as the machine may be busy building.
start_window_manager() {
  local work=$1 i=0
  HOME="$work" XDG_CONFIG_HOME="$work" XDG_CACHE_HOME="$work" \
    openbox --sm-disable >"$work/wm.log" 2>&1 &
  wm_pid=$!
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    i=$((i + 1))
    if [ "$i" -gt 300 ] || ! kill -0 "$wm_pid" 2>/dev/null; then
      echo "the window manager did not start:" >&2
      cat "$work/wm.log" >&2
      return 1
    fi
    sleep 0.1
  done
}
