#!/usr/bin/env bash
# zavrio-feeds feeds: listing, each change, its refusals, OPML out and in,
# run on a copy of the tool in a scratch directory so that "the settings file
# beside the program" is ours.
set -u
tool_src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$tool_src" "$work/zavrio-feeds"
tool="$work/zavrio-feeds"
ini="$work/zavriofeeds.ini"
failures=0
check() { # description, expected, actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1"; echo "  expected: $2"; echo "  actual:   $3"; failures=$((failures + 1))
    fi
}
list() { "$tool" feeds "$@" | tr -d ' \n'; }

printf '; my own notes\r\n[set]\r\nChannel=1\r\n\r\n[feeds]\r\n; video first\r\nNews=http://a.example/rss\r\n' >"$ini"
"$tool" feeds add Sport 'https://b.example/f?x=1&y=2'
check "add exit status" 0 $?
check "list after add" '[{"name":"News","address":"http://a.example/rss"},{"name":"Sport","address":"https://b.example/f?x=1&y=2"}]' "$(list)"
check "feeds list is the same" "$(list)" "$(list list)"
"$tool" feeds add Music http://c.example/ && "$tool" feeds move Music 1
check "move exit status" 0 $?
check "order after move" '"Music","News","Sport"' "$(list | grep -o '"name":"[^"]*"' | cut -d: -f2 | paste -sd,)"
check "Channel follows the feed it pointed at" 1 "$(grep -c '^Channel=2' "$ini")"
"$tool" feeds rename News Headlines && "$tool" feeds remove Sport
check "rename and remove exit status" 0 $?
check "list after rename and remove" '[{"name":"Music","address":"http://c.example/"},{"name":"Headlines","address":"http://a.example/rss"}]' "$(list)"
check "removing the current feed points Channel at 0" 1 "$(grep -c '^Channel=0' "$ini")"
check "comments survive" 2 "$(grep -c '^; ' "$ini")"

before=$(cat "$ini")
while IFS='|' read -r args message; do
    # shellcheck disable=SC2086
    err=$(eval "\"$tool\" feeds $args" 2>&1 >/dev/null)
    check "refused: $args (status)" 1 $?
    check "refused: $args (message)" "zavrio-feeds feeds: $message" "$(echo "$err" | head -1)"
done <<'ROWS'
add music http://x/|the catalogue already has a feed named "Music"
add 'a=b' http://x/|the feed name "a=b" holds "=", "[", "]" or a line break; the file cannot hold it as a name
add X ftp://x/|"ftp://x/" is not a feed address: it must begin with http:// or https://, name a host and hold no blanks
rename Nope X|the catalogue has no feed named "Nope"
move Music 3|position 3 is outside 1 to 2
move Music first|position "first" is not a number
remove Nope|the catalogue has no feed named "Nope"
ROWS
check "refusals leave the file alone" "$before" "$(cat "$ini")"
"$tool" feeds add OnlyName 2>/dev/null
check "missing argument is a usage error" 2 $?
"$tool" feeds frob 2>/dev/null
check "unknown action is a usage error" 2 $?

# OPML out and in, through a second settings file.
"$tool" feeds add 'Tom & "Jerry"' 'http://d.example/?a=1&b=2'
"$tool" feeds export >"$work/out.opml"
check "export exit status" 0 $?
check "export escapes" 1 "$(grep -c 'text="Tom &amp; &quot;Jerry&quot;" title="Tom &amp; &quot;Jerry&quot;" xmlUrl="http://d.example/?a=1&amp;b=2"' "$work/out.opml")"
out=$("$tool" feeds import "$work/out.opml" --ini "$work/other.ini" | tr -d ' \n')
check "import exit status" 0 $?
check "import into an empty catalogue adds all" "$(list)" "$out"
check "imported catalogue equals the exported one" "$(list)" "$(list --ini "$work/other.ini")"
err=$("$tool" feeds import "$work/out.opml" --ini "$work/other.ini" 2>&1 >/dev/null)
check "import again adds nothing" 3 "$(echo "$err" | grep -c 'already in the catalogue')"
echo '<rss/>' >"$work/bad.opml"
err=$("$tool" feeds import "$work/bad.opml" 2>&1)
check "not OPML status" 1 $?
check "not OPML message" "zavrio-feeds feeds: \"$work/bad.opml\" is not an OPML file: its root element is <rss>, not <opml>" "$err"

# set names the keys it accepts.
err=$("$tool" set feeds.X=http://x/ 2>&1)
check "set unknown key status" 2 $?
check "set lists the keys" 1 "$(echo "$err" | grep -c "unknown option 'feeds.X'; the options are Loop, AutoNext, HD, StayOnTop, Channel, VideoSize, Mute, Skin, MouseMoveExit, MousePressExit, KeyboardPressExit, ShowCursor, OnlyEscKeyExit")"

# discover: the command's own exits (the finding itself is tested against a
# scripted server in the config tests).
err=$("$tool" discover http://127.0.0.1:1/page 2>&1 >/dev/null)
check "discover unreachable status" 1 $?
check "discover unreachable names the address" 1 "$(echo "$err" | grep -c '^zavrio-feeds discover: cannot fetch "http://127.0.0.1:1/page": ')"
"$tool" discover 2>/dev/null
check "discover without an address is a usage error" 2 $?

if [ $failures -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all zavrio-feeds feeds checks passed"
