#!/usr/bin/env bash
# Runs a test program on a private X server (the shared Xvfb start) with a
# window manager that follows the _NET_WM conventions (openbox). Each is given
# up to 30 seconds to come up, as the machine may be busy building.
# Usage: run-with-window-manager.sh PROGRAM [ARGS...]
set -eu

work=$(mktemp -d /tmp/zavrio-wm-XXXXXX)
xvfb=""
wm=""
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/../../demo/xvfb.sh"
start_xvfb 1024x768x24
xvfb=$xvfb_pid

# openbox reads and writes its settings under HOME; keep that private.
HOME="$work" XDG_CONFIG_HOME="$work" XDG_CACHE_HOME="$work" \
    openbox --sm-disable >"$work/wm.log" 2>&1 &
wm=$!
i=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    i=$((i + 1))
    if [ "$i" -gt 300 ] || ! kill -0 "$wm" 2>/dev/null; then
        echo "the window manager did not start:" >&2
        cat "$work/wm.log" >&2
        exit 1
    fi
    sleep 0.1
done

QT_QPA_PLATFORM=xcb "$@"
