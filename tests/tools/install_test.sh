#!/usr/bin/env bash
# zavrio-feeds install and install-status in a home of their own: the
# screensaver beside the tool is registered as the window's button does it,
# and in a Wayland session with the idle daemons too.
set -u
tool_src=$1
failures=0
check() { # description, expected, actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1"; echo "  expected: $2"; echo "  actual:   $3"; failures=$((failures + 1))
    fi
}
work=$(mktemp -d /tmp/zavrio-install-XXXXXX)
trap 'rm -rf "$work"' EXIT
# A folder with a blank in its name: the registered commands must quote it.
bin="$work/my bin"
mkdir -p "$bin" "$work/home"
cp "$tool_src" "$bin/zavrio-feeds"
tool="$bin/zavrio-feeds"
run() { env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$work/home" "$@"; }
# One value of the JSON report, by a Python expression on it (o).
field() { python3 -c "import json,sys; o=json.load(sys.stdin); print($1)"; }

run "$tool" install >"$work/out" 2>"$work/err"
check "no screensaver beside the tool: status 1" 1 $?
check "and a line naming where it was looked for" \
    "zavrio-feeds install: no screensaver program to register at $bin/zavrio-screensaver" \
    "$(cat "$work/err")"
check "nothing written" "" "$(ls -A "$work/home")"

printf '#!/bin/sh\n' >"$bin/zavrio-screensaver"
chmod +x "$bin/zavrio-screensaver"
run env -u WAYLAND_DISPLAY DISPLAY=:0 "$tool" install >"$work/out"
check "an X11 session: status 0" 0 $?
check "the X screensaver daemon selects it" True "$(field 'o["daemonPreferences"]["isSelected"]' <"$work/out")"
check "the store names it" "$bin/zavrio-screensaver" \
    "$(field 'o["store"]["desktop"]["SCRNSAVE.EXE"]' <"$work/out")"
check "no idle daemon configuration in an X11 session" False \
    "$(field 'o["idleDaemons"]["swayidle"]["exists"]' <"$work/out")"

# A Wayland session whose swayidle already has a line of ours with an older
# path and a timeout of the user's, and the Hyprland folder.
mkdir -p "$work/home/.config/swayidle" "$work/home/.config/hypr"
printf "timeout 300 'swaylock -f'\ntimeout 120 '/old/zavrio-screensaver /s'\n" \
    >"$work/home/.config/swayidle/config"
run WAYLAND_DISPLAY=wayland-1 "$tool" install >"$work/out"
check "a Wayland session: status 0" 0 $?
check "swayidle's line rewritten in place, its timeout kept" \
    "timeout 300 'swaylock -f'
timeout 120 \"'$bin/zavrio-screensaver' /s\"" "$(cat "$work/home/.config/swayidle/config")"
check "the report names the session" Wayland "$(field 'o["session"]' <"$work/out")"
check "the report gives swayidle's line and timeout" "2 120" \
    "$(field 'o["idleDaemons"]["swayidle"]["entries"][0]["line"], o["idleDaemons"]["swayidle"]["entries"][0]["timeout"]' <"$work/out")"
check "hypridle's block, made since its folder exists" \
    "listener {
    timeout = 600
    on-timeout = '$bin/zavrio-screensaver' /s
}" "$(cat "$work/home/.config/hypr/hypridle.conf")"
check "and reported" "3 600" \
    "$(field 'o["idleDaemons"]["hypridle"]["entries"][0]["line"], o["idleDaemons"]["hypridle"]["entries"][0]["timeout"]' <"$work/out")"

run WAYLAND_DISPLAY=wayland-1 "$tool" install-status >"$work/status"
check "install-status reports the same" "$(cat "$work/out")" "$(cat "$work/status")"
run "$tool" install extra >/dev/null 2>&1
check "an argument is a usage error" 2 $?

if [ $failures -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all zavrio-feeds install checks passed"
