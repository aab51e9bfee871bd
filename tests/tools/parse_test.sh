#!/usr/bin/env bash
# zavrio-feeds parse: the JSON picture of a load, the four formats' detection,
# failures with the model as they left it, and files that cannot be read.
# The whole picture of every fixture is compared with the one in data/, byte
# for byte but for the values that differ from run to run.
set -u
tool=$1
rss_data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # description, expected, actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1"; echo "  expected: $2"; echo "  actual:   $3"; failures=$((failures + 1))
    fi
}
# The pretty JSON without line breaks and indentation, for matching.
flat() { tr -d '\n' | sed 's/  */ /g'; }

out=$("$tool" parse "$rss_data/videos-rss20.xml")
check "fixture exit status" 0 $?
flat_out=$(echo "$out" | flat)
check "fixture format, version, no error" 1 \
    "$(echo "$flat_out" | grep -c '^{ "XMLType": "xtRSS", "Version": "2.0", "error": null, "Channel": { "Required": { "Title": "Zavrio :: Most viewed today",')"
check "language by enumeration name" 1 "$(echo "$out" | grep -c '"Language": "langEN_US",')"
check "three items" 3 "$(echo "$out" | grep -c '"ContentType": "ctText",')"
check "Latin-1 title as UTF-8" 1 "$(echo "$out" | grep -c "\"Title\": \"Caf$(printf '\xc3\xa9') rooftops at dusk\",")"
check "item date" 1 \
    "$(echo "$flat_out" | grep -c '"PubDate": { "DateTime": "2008-11-26T18:45:10.000", "TimeZone": "GMT", "SourceText": "Wed, 26 Nov 2008 18:45:10 -0800", "Modified": true }')"

# The GUIDs drawn for entries without one, and the clock's "now" that dates
# start from.
year=$(date +%Y)
normalised() {
    sed -e 's/"GUID": "{[0-9A-F-]\{36\}}"/"GUID": "{random}"/' \
        -e "s/\"DateTime\": \"\($((year - 1))\|$year\|$((year + 1))\)-[^\"]*\"/\"DateTime\": \"(now)\"/"
}
golden=$(dirname "$0")/data
fixtures=$(dirname "$rss_data")
for feed in "$fixtures"/*/*.xml "$golden"/*.xml; do
    folder=$(basename "$(dirname "$feed")")
    name=$(basename "$feed" .xml)
    expected="$golden/$folder-$name.json"
    [ "$folder" = data ] && expected="$golden/$name.json"
    if [ ! -f "$expected" ]; then
        check "picture of $feed is on file" "$expected" "missing"
        continue
    fi
    "$tool" parse "$feed" | normalised > "$work/picture.json"
    if ! cmp -s "$expected" "$work/picture.json"; then
        check "whole picture of $folder/$name" "as in $expected" "$(diff "$expected" "$work/picture.json" | head -5)"
    fi
done

cat > "$work/skip.xml" <<'XML'
<rss version="0.92"><channel><title>S</title><skipHours><hour>7</hour><hour>0</hour></skipHours>
<skipDays><day>Sunday</day><day>Monday</day></skipDays><item><title>x</title></item></channel></rss>
XML
flat_out=$("$tool" parse "$work/skip.xml" | flat)
check "skip hours as numbers, days by name" 1 \
    "$(echo "$flat_out" | grep -c '"SkipHours": \[ 0, 7 \], "SkipDays": \[ "Monday", "Sunday" \]')"
check "version from the root" 1 "$(echo "$flat_out" | grep -c '"Version": "0.92"')"

# Each root takes its own format's path; the parser's verdict is not asked.
rdf='<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns="http://purl.org/rss/1.0/"><channel><title>R</title></channel><item><title>i</title></item></rdf:RDF>'
atom='<feed xmlns="http://www.w3.org/2005/Atom"><title>A</title><entry><title>e</title></entry></feed>'
itunes='<rss itunes="" version="2.0"><channel><title>P</title><item><title>e</title></item></channel></rss>'
for row in "xtRDF|$rdf" "xtAtom|$atom" "xtiTunes|$itunes" "xtRSS|<rss><channel/></rss>"; do
    echo "${row#*|}" > "$work/doc.xml"
    check "detects ${row%%|*}" 1 \
        "$("$tool" parse "$work/doc.xml" 2>/dev/null | grep -c "^ *\"XMLType\": \"${row%%|*}\",")"
done

echo '<html><body/></html>' > "$work/html.xml"
"$tool" parse "$work/html.xml" > "$work/out.json"
check "unknown root exit status" 1 $?
flat_out=$(flat < "$work/out.json")
check "unknown root message and empty model" 1 \
    "$(echo "$flat_out" | grep -c '"error": "unkown format: html",.*"Items": \[\]}$')"

printf 'not xml' > "$work/bad.xml"
"$tool" parse "$work/bad.xml" > "$work/out.json"
check "malformed exit status" 1 $?
check "malformed message names the line" 1 "$(grep -c '"error": ".*\\r\\nLine: 1\\r\\nnot xml"' "$work/out.json")"

echo '<rss><channel><item><title>a</title></item><item><link>http://l</link></item></channel></rss>' \
    > "$work/partial.xml"
out=$("$tool" parse "$work/partial.xml")
check "failed parse exit status" 1 $?
check "failed parse message" 1 "$(echo "$out" | grep -c '"error": "Required Field Missing. Field: item -> title",')"
check "items up to the failure stay" 2 "$(echo "$out" | grep -c '"ContentType":')"

err=$("$tool" parse "$work/missing.xml" 2>&1 >/dev/null)
check "missing file exit status" 1 $?
check "missing file is named" 1 "$(echo "$err" | grep -c "cannot read '$work/missing.xml'")"
err=$("$tool" parse "$work" 2>&1 >/dev/null)
check "directory exit status" 1 $?
check "directory is named" 1 "$(echo "$err" | grep -c "cannot read '$work': Is a directory")"
# Hostile input is refused at once, naming the limit: a FIFO (which would
# wait for a writer), a file over the document limit (never read), and an
# element of more attributes than any feed has.
mkfifo "$work/fifo.xml"
err=$(timeout 10 "$tool" parse "$work/fifo.xml" 2>&1 >/dev/null)
check "FIFO exit status" 1 $?
check "FIFO is refused" 1 "$(echo "$err" | grep -c "cannot read '$work/fifo.xml': Not a regular file")"
truncate -s 67108865 "$work/huge.xml"
err=$("$tool" parse "$work/huge.xml" 2>&1 >/dev/null)
check "huge file exit status" 1 $?
check "huge file names the limit" 1 "$(echo "$err" | grep -c "67108865 bytes exceed the limit of 67108864 bytes")"
python3 -c 'import sys; sys.stdout.write("<rss><channel><title t" + "".join(" a%d=\"1\"" % i for i in range(20000)) + "/></channel></rss>")' >"$work/attrs.xml"
out=$(timeout 20 "$tool" parse "$work/attrs.xml")
check "many attributes exit status" 1 $?
check "many attributes name the limit" 1 "$(echo "$out" | grep -c 'more than 10000 attributes, the limit for a document')"
"$tool" parse 2>/dev/null
check "no file is a usage error" 2 $?

[ "$failures" -eq 0 ] && echo "parse: all checks passed"
exit $((failures > 0))
