#!/usr/bin/env bash
# zavrio-feeds hint: the description on standard input, the hint and one line
# feed on standard output, bytes as they are.
set -u
tool=$1
failures=0
check() { # description, expected, actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1"; echo "  expected: $2"; echo "  actual:   $3"; failures=$((failures + 1))
    fi
}

out=$(printf '<p>Nice &quot;clip&quot;</p>\n<b>From:</b> uploader' | "$tool" hint | od -An -c | tr -s ' ')
check "markup, entities, From: (with the line break before it) and the line feed" " N i c e \" c l i p \" \\n" "$out"
out=$(printf '\xc3\xa9t\xc3\xa9' | "$tool" hint | od -An -tx1 | tr -s ' ')
check "UTF-8 bytes pass unchanged" " c3 a9 74 c3 a9 2e 2e 2e 0a" "$out"
out=$("$tool" hint </dev/null)
check "an empty description" "..." "$out"
"$tool" hint extra </dev/null 2>/dev/null
check "an argument is a usage error" 2 $?

if [ $failures -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all zavrio-feeds hint checks passed"
