#!/usr/bin/env bash
# zavrio-feeds fetch against nginx on a free loopback port: a static feed,
# a 301 to it, and a feed behind a cookie check that a redirect sets.
set -u
tool=$1
data=$2
work=$(mktemp -d)
nginx_pid=""
cleanup() {
    [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
check() { # description, expected, actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1"; echo "  expected: $2"; echo "  actual:   $3"; failures=$((failures + 1))
    fi
}

mkdir -p "$work/www" "$work/tmp"
cp "$data/feed.xml" "$work/www/feed.xml"
cp "$data/feed.xml" "$work/www/private.xml"
printf '<html><body>not a feed</body></html>' > "$work/www/page.html"
# nginx's workers drop root's rights; they must be able to read the pages.
chmod -R a+rX "$work"

start_nginx() {
    for _ in $(seq 1 20); do
        port=$((20000 + RANDOM % 40000))
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue
        cat > "$work/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 32; }
http {
    access_log off;
    client_body_temp_path $work/tmp;
    proxy_temp_path $work/tmp;
    fastcgi_temp_path $work/tmp;
    uwsgi_temp_path $work/tmp;
    scgi_temp_path $work/tmp;
    types { text/xml xml; text/html html; }
    server {
        listen 127.0.0.1:$port;
        root $work/www;
        location = /moved.xml { return 301 /feed.xml; }
        location = /private.xml {
            if (\$cookie_zavrio != "let-me-in") { return 302 /login; }
        }
        location = /login {
            add_header Set-Cookie "zavrio=let-me-in; Path=/";
            return 302 /private.xml;
        }
        location = /loop { return 302 /loop; }
    }
}
CONF
        nginx -p "$work" -c "$work/nginx.conf" 2>>"$work/error.log" &
        nginx_pid=$!
        for _ in $(seq 1 100); do
            (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
            kill -0 "$nginx_pid" 2>/dev/null || break
            sleep 0.05
        done
        kill "$nginx_pid" 2>/dev/null; wait "$nginx_pid" 2>/dev/null; nginx_pid=""
    done
    echo "could not start nginx:"; cat "$work/error.log"; exit 1
}
start_nginx
base="http://127.0.0.1:$port"
printf '[feeds]\r\nLocal=%s/feed.xml\r\nMoved=%s/moved.xml\r\nPrivate=%s/private.xml\r\nEmpty=\r\n' \
    "$base" "$base" "$base" > "$work/zavriofeeds.ini"
ini=(--ini "$work/zavriofeeds.ini")

expected=$("$tool" parse "$data/feed.xml")
check "parse of the fixture works" 0 $?

out=$("$tool" fetch Local "${ini[@]}")
check "catalogue name: exit status" 0 $?
check "catalogue name: same JSON as parse" "$expected" "$out"

out=$("$tool" fetch "$base/feed.xml")
check "address: same JSON as parse" "$expected" "$out"

out=$("$tool" fetch Moved "${ini[@]}")
check "301 to the feed" "$expected" "$out"

out=$("$tool" fetch Private "${ini[@]}")
check "feed behind a cookie check" "$expected" "$out"

size=$(stat -c %s "$data/feed.xml")
"$tool" fetch Local "${ini[@]}" --verbose >/dev/null 2>"$work/verbose"
check "--verbose lines" "Connecting to 127.0.0.1.
Connected.
Progress: $size of $size
Disconnecting.
Disconnected." "$(cat "$work/verbose")"

err=$("$tool" fetch "$base/missing.xml" 2>&1 >/dev/null)
check "404 exit status" 1 $?
check "404 error text" 1 "$(echo "$err" | grep -c 'HTTP/1.1 404 Not Found')"

out=$("$tool" fetch "$base/loop" 2>"$work/loop.err")
check "endless redirects end in an empty document that does not parse" 1 $?
check "endless redirects: the load error is in the JSON" 1 "$(echo "$out" | grep -c '"error": "')"
check "endless redirects: no download error" "" "$(cat "$work/loop.err")"

"$tool" fetch "$base/page.html" >/dev/null 2>&1
check "a page that is no feed" 1 $?

err=$("$tool" fetch Empty "${ini[@]}" 2>&1 >/dev/null)
check "empty catalogue address fails" 1 $?
check "empty catalogue address is named" 'zavrio-feeds fetch: the catalogue has no address for "Empty"' "$err"

port_closed=$((port == 65535 ? port - 1 : port + 1))
(exec 3<>"/dev/tcp/127.0.0.1/$port_closed") 2>/dev/null || {
    err=$("$tool" fetch "http://127.0.0.1:$port_closed/feed.xml" 2>&1 >/dev/null)
    check "refused connection exit status" 1 $?
    check "refused connection text" "zavrio-feeds fetch: Socket Error # 111" "$(echo "$err" | head -1 | tr -d '\r')"
}

"$tool" fetch >/dev/null 2>&1
check "no argument is a usage error" 2 $?

if [ $failures -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all zavrio-feeds fetch checks passed"
