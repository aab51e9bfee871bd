#!/usr/bin/env bash
# Runs a test program on a private X server with a window manager (both from
# the shared X start-up library).
# Usage: run-with-window-manager.sh PROGRAM [ARGS...]
set -eu

work=$(mktemp -d /tmp/zavrio-wm-XXXXXX)
xvfb_pid=""
wm_pid=""
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/../../scripts/lib/x11.sh"
start_xvfb 1024x768x24
start_window_manager "$work"

QT_QPA_PLATFORM=xcb "$@"
