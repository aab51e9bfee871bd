#!/usr/bin/env bash
# zavrio-feeds settings / set, run on a copy of the tool in a scratch
# directory so that "the settings file beside the program" is ours.
set -u
tool_src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$tool_src" "$work/zavrio-feeds"
tool="$work/zavrio-feeds"
failures=0
check() { # description, expected, actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1"; echo "  expected: $2"; echo "  actual:   $3"; failures=$((failures + 1))
    fi
}

printf '; mine\r\n[set]\r\nLoop=1\r\nVideoSize=0x1\r\n[feeds]\r\nNews = http://h/f?a=1=2\r\nNews=http://later/\r\n' \
    > "$work/zavriofeeds.ini"
out=$("$tool" settings)
check "settings exit status" 0 $?
check "settings JSON" '{"file":"'"$work"'/zavriofeeds.ini","Loop":true,"AutoNext":false,"HD":true,"StayOnTop":true,"Channel":0,"VideoSize":1,"Mute":false,"Skin":0,"MouseMoveExit":false,"MousePressExit":true,"KeyboardPressExit":true,"ShowCursor":false,"OnlyEscKeyExit":false,"catalogue":[{"name":"News","address":"http://later/"},{"name":"News","address":"http://later/"}]}' \
    "$(echo "$out" | tr -d ' \n')"

"$tool" set AutoNext=true Channel=-2 HD=0
check "set exit status" 0 $?
out=$("$tool" settings | tr -d ' \n')
check "set values read back" 1 "$(echo "$out" | grep -c '"AutoNext":true,"HD":false,.*"Channel":-2,')"
check "catalogue survives a save" 1 "$(grep -c '^News=http://h/f?a=1=2' "$work/zavriofeeds.ini")"

before=$(cat "$work/zavriofeeds.ini")
for bad in Bogus=1 Loop=yes Channel=1.5 NoEquals; do
    err=$("$tool" set Loop=0 "$bad" 2>&1 >/dev/null)
    check "bad '$bad' exit status" 2 $?
    check "bad '$bad' is named" 1 "$(echo "$err" | grep -c "${bad%%=*}")"
done
check "file untouched after bad set" "$before" "$(cat "$work/zavriofeeds.ini")"

"$tool" settings --ini "$work/other.ini" | grep -q '"HD": true'
check "--ini names another file; missing means defaults" 0 $?
"$tool" settings --ini 2>/dev/null
check "--ini without a path is a usage error" 2 $?
mkdir "$work/dir.ini"
err=$("$tool" settings --ini "$work/dir.ini" 2>&1)
check "unreadable file exit status" 1 $?
check "unreadable file message" "zavrio-feeds settings: Cannot open file \"$work/dir.ini\". Is a directory" "$err"
# Bytes that are no UTF-8 still give valid JSON, shown as U+FFFD.
printf '[feeds]\r\nBad\xff\xfeName=http://h/\xc3(\r\n' >"$work/bytes.ini"
out=$("$tool" settings --ini "$work/bytes.ini")
check "invalid UTF-8 exit status" 0 $?
check "invalid UTF-8 gives valid JSON" 0 "$(echo "$out" | python3 -m json.tool >/dev/null 2>&1; echo $?)"
check "invalid UTF-8 replaced" 1 "$(echo "$out" | grep -c "$(printf 'Bad\xef\xbf\xbd\xef\xbf\xbdName')")"
# A FIFO as the settings file is refused at once instead of waiting for a writer.
mkfifo "$work/fifo.ini"
err=$(timeout 10 "$tool" settings --ini "$work/fifo.ini" 2>&1)
check "FIFO exit status" 1 $?
check "FIFO message" "zavrio-feeds settings: Cannot open file \"$work/fifo.ini\". Not a regular file" "$err"
"$tool" frobnicate 2>/dev/null
check "unknown command" 2 $?

if [ $failures -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all zavrio-feeds settings checks passed"
