#!/usr/bin/env bash
# zavrio-feeds fetch against nginx on a free loopback port: a static feed,
# a 301 to it, a feed behind a cookie check that a redirect sets, and the
# same feed over https (a certificate for 127.0.0.1 made here, trusted
# through SSL_CERT_FILE) with and without the setting that enables it.
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
# A test authority and a server certificate for 127.0.0.1 signed by it.
mkdir -p "$work/tls"
(
    cd "$work/tls" &&
        key="-newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes" &&
        printf '[req]\ndistinguished_name = dn\nprompt = no\n[dn]\nCN = unused\n[ca]\nbasicConstraints = critical, CA:TRUE\nkeyUsage = critical, keyCertSign, cRLSign\n' >req.cnf &&
        printf 'subjectAltName = IP:127.0.0.1\nextendedKeyUsage = serverAuth\n' >server.ext &&
        openssl req -x509 $key -config req.cnf -extensions ca -subj '/CN=fetch test authority' \
            -days 2 -keyout ca.key -out ca.pem &&
        openssl req $key -config req.cnf -subj /CN=127.0.0.1 -keyout server.key -out server.csr &&
        openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -set_serial 1 -days 2 \
            -extfile server.ext -out server.pem
) >"$work/openssl.log" 2>&1 || { echo "could not make the certificates:"; cat "$work/openssl.log"; exit 1; }
# nginx's workers drop root's rights; they must be able to read the pages.
chmod -R a+rX "$work"

start_nginx() {
    for _ in $(seq 1 20); do
        port=$((20000 + RANDOM % 40000))
        sport=$((port + 1))
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue
        (exec 3<>"/dev/tcp/127.0.0.1/$sport") 2>/dev/null && continue
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
        listen 127.0.0.1:$sport ssl;
        ssl_certificate $work/tls/server.pem;
        ssl_certificate_key $work/tls/server.key;
        root $work/www;
        location = /moved.xml { return 301 /feed.xml; }
        location = /to-https.xml { return 301 https://127.0.0.1:$sport/feed.xml; }
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
            (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null &&
                (exec 3<>"/dev/tcp/127.0.0.1/$sport") 2>/dev/null && return 0
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

# https: refused without the setting, with a line that names it; fetched
# with it, also behind a redirect from plain http.
secure="https://127.0.0.1:$sport"
export SSL_CERT_FILE="$work/tls/ca.pem"
printf '[feeds]\r\nSecure=%s/feed.xml\r\nToHttps=%s/to-https.xml\r\n' "$secure" "$base" \
    > "$work/plain.ini"
cp "$work/plain.ini" "$work/secure.ini"
printf '[http]\r\nSecureTransport=1\r\n' >> "$work/secure.ini"

err=$("$tool" fetch Secure --ini "$work/plain.ini" 2>&1 >/dev/null)
check "https without the setting: exit status" 1 $?
check "https without the setting: the error and the setting that enables it" \
    "zavrio-feeds fetch: IOHandler value is not valid
Set SecureTransport=1 in the [http] section of the settings file to fetch https addresses." "$err"
err=$("$tool" fetch ToHttps --ini "$work/plain.ini" 2>&1 >/dev/null)
check "redirect to https without the setting" 2 "$(echo "$err" | grep -c 'IOHandler value is not valid\|SecureTransport=1')"

out=$("$tool" fetch Secure --ini "$work/secure.ini")
check "https with the setting: exit status" 0 $?
check "https with the setting: same JSON as parse" "$expected" "$out"
out=$("$tool" fetch ToHttps --ini "$work/secure.ini")
check "redirect from http to https" "$expected" "$out"
err=$("$tool" fetch Secure --ini "$work/secure.ini" --verbose 2>&1 >/dev/null | head -1)
# The directory: SSL_CERT_DIR, else OpenSSL's own ("OPENSSLDIR: "/usr/lib/ssl"").
cert_dir=${SSL_CERT_DIR:-$(openssl version -d | cut -d'"' -f2)/certs}
check "--verbose names the certificates it trusts" \
    "Trusting the certificates of $work/tls/ca.pem and $cert_dir" "$err"

err=$(SSL_CERT_FILE=/dev/null "$tool" fetch Secure --ini "$work/secure.ini" 2>&1 >/dev/null)
check "untrusted certificate: exit status" 1 $?
check "untrusted certificate: the reason and the host" \
    "zavrio-feeds fetch: The certificate of 127.0.0.1 could not be verified: unable to get local issuer certificate" \
    "$err"
unset SSL_CERT_FILE

port_closed=$((port - 1)) # port + 1 serves https
(exec 3<>"/dev/tcp/127.0.0.1/$port_closed") 2>/dev/null || {
    err=$("$tool" fetch "http://127.0.0.1:$port_closed/feed.xml" 2>&1 >/dev/null)
    check "refused connection exit status" 1 $?
    check "refused connection text" "zavrio-feeds fetch: Socket Error # 111" "$(echo "$err" | head -1 | tr -d '\r')"
}

"$tool" fetch >/dev/null 2>&1
check "no argument is a usage error" 2 $?

if [ $failures -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all zavrio-feeds fetch checks passed"
