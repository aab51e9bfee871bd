#!/usr/bin/env bash
# zavrio-feeds cache: the clip cache's files as JSON, and --clear.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # description, expected, actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1"; echo "  expected: $2"; echo "  actual:   $3"; failures=$((failures + 1))
    fi
}
export XDG_CACHE_HOME="$work/cache"
clips="$work/cache/zavrio-screensaver/clips"
mkdir -p "$clips"
head -c 1000 /dev/zero >"$clips/0000000000000001.clip"
head -c 2500 /dev/zero >"$clips/0000000000000002.clip"
touch -d '2026-01-02 03:04:05 UTC' "$clips/0000000000000001.clip"
# Left behind by a download whose process is gone.
head -c 10 /dev/zero >"$clips/.0000000000000003.clip.part-2147483646"
printf '[cache]\r\nMaxMB=7\r\n' >"$work/settings.ini"
# A feed kept for playing offline.
feeds="$work/cache/zavrio-screensaver/feeds"
mkdir -p "$feeds"
head -c 300 /dev/zero >"$feeds/00000000000000aa.feed"
touch -d '2026-03-04 05:06:07 UTC' "$feeds/00000000000000aa.feed"

out=$("$tool" cache --ini "$work/settings.ini")
check "exit status" 0 $?
flat=$(echo "$out" | tr -d ' \n')
check "directory and cap" 1 "$(echo "$flat" | grep -c "\"directory\":\"$clips\",\"maxMB\":7,")"
check "files, least recently played first" 1 \
    "$(echo "$flat" | grep -c '"files":\[{"name":"0000000000000001.clip","bytes":1000,"lastPlayed":"2026-01-02T03:04:05Z"},{"name":"0000000000000002.clip","bytes":2500,')"
check "kept feeds" 1 \
    "$(echo "$flat" | grep -c "\"feeds\":{\"directory\":\"$feeds\",\"files\":\[{\"name\":\"00000000000000aa.feed\",\"bytes\":300,\"saved\":\"2026-03-04T05:06:07Z\"}\]}")"
check "total, the kept feeds included" 1 "$(echo "$flat" | grep -c '"totalBytes":3800}')"

out=$("$tool" cache --clear --ini "$work/settings.ini" | tr -d ' \n')
check "clear exit status" 0 $?
check "clear says how many went, and empties the kept feeds too" 1 \
    "$(echo "$out" | grep -c "\"removed\":2,\"files\":\[\],\"feeds\":{\"directory\":\"$feeds\",\"files\":\[\]},\"totalBytes\":0")"
check "nothing is left" "" "$(ls -A "$clips" "$feeds" | grep -v ':$' | grep -v '^$')"
"$tool" cache --bogus 2>/dev/null
check "unknown option" 2 $?

if [ $failures -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all zavrio-feeds cache checks passed"
