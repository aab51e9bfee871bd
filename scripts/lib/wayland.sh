# A private headless Wayland compositor for the whole-program tests; sourced,
# not run.
#
# start_sway WORK_DIR USER: starts sway as USER (it refuses to run as root)
# with two headless 1024x768 outputs side by side, HEADLESS-1 at 0,0 and
# HEADLESS-2 at 1024,0, drawn in software, with no X server of its own and
# none inherited. Its runtime folder is WORK_DIR/runtime, given to USER with
# mode 0700 (WORK_DIR must be USER's too). Sets sway_pid and the command
# prefix as_wayland_user (run a program as USER in that session:
# WAYLAND_DISPLAY, XDG_RUNTIME_DIR, SWAYSOCK, HOME=WORK_DIR/home), and returns
# once the compositor answers with both outputs; up to 30 seconds, as the
# machine may be busy building.
start_sway() {
  local work=$1 user=$2 runtime=$1/runtime i=0 socket ipc
  mkdir -p "$runtime" "$work/home"
  chown "$user" "$runtime" "$work/home"
  chmod 700 "$runtime"
  cat >"$work/sway.config" <<'CONFIG'
xwayland disable
output HEADLESS-1 mode 1024x768 position 0 0
output HEADLESS-2 mode 1024x768 position 1024 0
CONFIG
  chmod a+r "$work/sway.config"
  local user_env=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups
    env -u DISPLAY -u WAYLAND_DISPLAY -u SWAYSOCK HOME="$work/home" XDG_RUNTIME_DIR="$runtime")
  "${user_env[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=2 \
    WLR_LIBINPUT_NO_DEVICES=1 sway -c "$work/sway.config" >"$work/sway.log" 2>&1 &
  sway_pid=$!
  while :; do
    socket=$(find "$runtime" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n' 2>/dev/null | head -1)
    ipc=$(find "$runtime" -maxdepth 1 -type s -name 'sway-ipc.*' 2>/dev/null | head -1)
    if [ -n "$socket" ] && [ -n "$ipc" ]; then
      as_wayland_user=("${user_env[@]}" WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc")
      [ "$("${as_wayland_user[@]}" swaymsg -t get_outputs 2>/dev/null | grep -c '"active": true')" = 2 ] &&
        return 0
    fi
    i=$((i + 1))
    if [ "$i" -gt 300 ] || ! kill -0 "$sway_pid" 2>/dev/null; then
      echo "sway did not start:" >&2
      tail -20 "$work/sway.log" >&2
      return 1
    fi
    sleep 0.1
  done
}
