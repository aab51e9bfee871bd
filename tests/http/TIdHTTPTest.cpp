#include "http/TIdHTTP.h"

#include "ClientTestSupport.h"
#include "ScriptedServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

namespace zavrio {
namespace {

using httptest::GetError;
using httptest::Ok;
using httptest::RequestTarget;
using test::ScriptedServer;
using test::ServerConn;

const std::string kUserAgent = "Mozilla/3.0 (compatible; Indy Library)";

// Notifications in arrival order: "status:<text>", "begin:<n>", "work:<n>".
struct Recorder {
    std::vector<std::string> events;

    void Attach(TIdHTTP& http) {
        http.OnStatus = [this](ClientStatus, const std::string& text) {
            events.push_back("status:" + text);
        };
        http.OnWorkBegin = [this](WorkMode mode, std::int64_t expected) {
            EXPECT_EQ(mode, wmRead);
            events.push_back("begin:" + std::to_string(expected));
        };
        http.OnWork = [this](WorkMode mode, std::int64_t count) {
            EXPECT_EQ(mode, wmRead);
            events.push_back("work:" + std::to_string(count));
        };
    }

    // Consecutive "work" events collapsed to the last one, so the result does
    // not depend on how the kernel split the bytes.
    std::vector<std::string> Collapsed() const {
        std::vector<std::string> out;
        for (const std::string& e : events) {
            if (e.rfind("work:", 0) == 0 && !out.empty() && out.back().rfind("work:", 0) == 0) {
                out.back() = e;
            } else {
                out.push_back(e);
            }
        }
        return out;
    }

    bool Has(const std::string& event) const {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
};

// Answers by request target; unknown targets get a 500.
ScriptedServer::Handler Routes(std::map<std::string, std::string> routes) {
    return [routes = std::move(routes)](ServerConn& conn) {
        for (std::string request; !(request = conn.ReadRequest()).empty();) {
            const auto found = routes.find(RequestTarget(request));
            conn.Send(found != routes.end() ? found->second
                                            : "HTTP/1.1 500 No route\r\nContent-Length: 0\r\n\r\n");
        }
    };
}

TEST(TIdHTTP, SendsExactlyTheRequestLineAndFiveHeaders) {
    ScriptedServer server(ScriptedServer::Always(Ok("ok")));
    TIdHTTP http;
    std::string body;
    http.Get(server.Address("/a%20b/feed.xml?x=1&y=%7E#frag"), body);
    EXPECT_EQ(body, "ok");
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], "GET /a%20b/feed.xml?x=1&y=%7E HTTP/1.1\r\n"
                                    "Content-Type: text/html\r\n"
                                    "Host: 127.0.0.1:" +
                                        std::to_string(server.Port()) +
                                        "\r\n"
                                        "Accept: text/html, */*\r\n"
                                        "User-Agent: " +
                                        kUserAgent + "\r\n\r\n");
    EXPECT_EQ(http.ResponseCode(), 200);
    EXPECT_EQ(http.ResponseText(), "HTTP/1.1 200 OK");
}

TEST(TIdHTTP, RequestHeadHostPortCookieAndFolding) {
    TIdHTTP http;
    const std::string tail = "Accept: text/html, */*\r\nUser-Agent: " + kUserAgent + "\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"http://example.test/feed", "example.test"},
        {"http://example.test:80/feed", "example.test"}, // port 80 written out
        {"http://example.test:8080/feed", "example.test:8080"},
        {"http://[::1]:81/feed", "[::1]:81"},
        // https leaves out its own port, 443, and names any other.
        {"https://example.test/feed", "example.test"},
        {"https://example.test:443/feed", "example.test"},
        {"https://example.test:80/feed", "example.test:80"},
    };
    for (const auto& [address, host] : cases) {
        EXPECT_EQ(http.RequestHead(address, ""), "GET /feed HTTP/1.1\r\nContent-Type: text/html\r\n"
                                                 "Host: " +
                                                     host + "\r\n" + tail + "\r\n")
            << address;
    }
    const std::string a55(55, 'a'); // "Cookie: x=1; long=" + a55 + ";" is 74 characters
    EXPECT_EQ(http.RequestHead("http://h.test/", "x=1; long=" + a55 + "; zz=22"),
              "GET / HTTP/1.1\r\nContent-Type: text/html\r\nHost: h.test\r\n" + tail +
                  "Cookie: x=1; long=" + a55 + ";\r\n zz=22\r\n\r\n");
}

TEST(TIdHTTP, FollowsRedirectsKeepingEveryCookie) {
    std::unique_ptr<ScriptedServer> server;
    std::atomic<int> port{0};
    // The absolute Location needs the port, known only once the server runs.
    server = std::make_unique<ScriptedServer>([&port](ServerConn& conn) {
        for (std::string request; !(request = conn.ReadRequest()).empty();) {
            const std::string target = RequestTarget(request);
            if (target == "/start") {
                conn.Send("HTTP/1.1 301 Moved Permanently\r\nLocation: /dir/step2\r\n"
                          "Set-Cookie: a=1; Path=/\r\nContent-Length: 5\r\n\r\nmoved");
            } else if (target == "/dir/step2") {
                conn.Send("HTTP/1.1 302 Found\r\nLocation: sub/../step3?x=y\r\n"
                          "Set-cookie2: b=\"2\"; Version=\"1\"; Path=\"/\"\r\n"
                          "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n");
            } else if (target == "/dir/step3?x=y") {
                conn.Send("HTTP/1.1 307 Temporary Redirect\r\nLocation: http://127.0.0.1:" +
                          std::to_string(port.load()) +
                          "/final\r\nSet-Cookie: c=3; Path=/\r\nContent-Length: 0\r\n\r\n");
            } else if (target == "/final") {
                conn.Send(Ok("<rss/>", "Set-Cookie: d=4; Path=/\r\n"));
            } else {
                conn.Send("HTTP/1.1 500 No route\r\nContent-Length: 0\r\n\r\n");
            }
        }
    });
    port = server->Port();
    TIdHTTP http;
    Recorder recorder;
    recorder.Attach(http);
    std::string body = "stale";
    http.Get(server->Address("/start"), body);
    EXPECT_EQ(body, "<rss/>");

    const auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 4u);
    const char* expectedCookies[] = {"", "a=1", "a=1; b=2", "a=1; b=2; c=3"};
    const char* expectedTargets[] = {"/start", "/dir/step2", "/dir/step3?x=y", "/final"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(RequestTarget(requests[i]), expectedTargets[i]);
        const std::string cookieLine = std::string("Cookie: ") + expectedCookies[i] + "\r\n\r\n";
        if (*expectedCookies[i]) {
            EXPECT_NE(requests[i].find("\r\n" + cookieLine), std::string::npos) << requests[i];
        } else {
            EXPECT_EQ(requests[i].find("Cookie:"), std::string::npos) << requests[i];
        }
    }
    // Redirect bodies report progress too, though they are dropped.
    EXPECT_TRUE(recorder.Has("begin:5"));
    EXPECT_TRUE(recorder.Has("begin:3"));

    // The cookies outlive the download.
    http.Get(server->Address("/final"), body);
    EXPECT_NE(server->Requests().back().find("\r\nCookie: a=1; b=2; c=3; d=4\r\n"),
              std::string::npos);
    EXPECT_EQ(server->Connections(), 1); // all on one kept-alive connection
}

TEST(TIdHTTP, FifteenthRedirectEndsWithEmptyBodyAndNoError) {
    ScriptedServer server(ScriptedServer::Always(
        "HTTP/1.1 302 Found\r\nLocation: /again\r\nContent-Length: 4\r\n\r\nbody"));
    TIdHTTP http;
    std::string body = "stale";
    EXPECT_EQ(GetError(http, server.Address("/first"), body), "<no error>");
    EXPECT_EQ(body, "");
    EXPECT_EQ(server.Requests().size(), 15u);
}

TEST(TIdHTTP, AnyAnswerWithLocationIsARedirect) {
    ScriptedServer server(Routes({
        {"/a", "HTTP/1.1 200 OK\r\nLocation: /b\r\nContent-Length: 8\r\n\r\nnot this"},
        {"/b", Ok("this")},
    }));
    TIdHTTP http;
    std::string body;
    http.Get(server.Address("/a"), body);
    EXPECT_EQ(body, "this");
    EXPECT_EQ(server.Requests().size(), 2u);
}

TEST(TIdHTTP, SkipsContinueStatus) {
    ScriptedServer server(ScriptedServer::Always(
        "HTTP/1.1 100 Continue\r\nX-Note: skipped\r\n\r\n" + Ok("after continue")));
    TIdHTTP http;
    std::string body;
    http.Get(server.Address("/"), body);
    EXPECT_EQ(body, "after continue");
    EXPECT_EQ(http.ResponseCode(), 200);
}

TEST(TIdHTTP, ChunkedBodyEachChunkItsOwnRead) {
    ScriptedServer server(
        ScriptedServer::Always("HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n"
                               "5 text after a blank is ignored\r\nhello\r\n"
                               "07\r\n, world\r\n"
                               "0\r\n\r\n"));
    TIdHTTP http;
    Recorder recorder;
    recorder.Attach(http);
    std::string body;
    http.Get(server.Address("/chunked"), body);
    EXPECT_EQ(body, "hello, world");
    const std::vector<std::string> expected = {"status:Connecting to 127.0.0.1.",
                                               "status:Connected.",
                                               "status:Chunk Started",
                                               "begin:5",
                                               "work:5",
                                               "begin:7",
                                               "work:7"};
    EXPECT_EQ(recorder.Collapsed(), expected);
    // The trailer line was consumed: the kept connection serves the next answer.
    http.Get(server.Address("/chunked"), body);
    EXPECT_EQ(body, "hello, world");
    EXPECT_EQ(server.Connections(), 1);
}

TEST(TIdHTTP, BadChunkSizeNamesTheLine) {
    ScriptedServer server(ScriptedServer::Always(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n0\r\n\r\n"));
    TIdHTTP http;
    std::string body;
    EXPECT_EQ(GetError(http, server.Address("/"), body),
              "Invalid chunk size line \"zz\" in the answer.");
    EXPECT_EQ(body, "");
}

TEST(TIdHTTP, BodyWithoutLengthIsReadUntilClose) {
    std::string big;
    for (int i = 0; big.size() < 300000; ++i) {
        big += "<item>" + std::to_string(i) + "</item>\n";
    }
    ScriptedServer server([&big](ServerConn& conn) {
        conn.ReadRequest();
        conn.Send("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n" + big);
        conn.Close();
    });
    TIdHTTP http;
    Recorder recorder;
    recorder.Attach(http);
    std::string body;
    http.Get(server.Address("/"), body);
    EXPECT_EQ(body, big);
    const std::vector<std::string> expected = {
        "status:Connecting to 127.0.0.1.", "status:Connected.", "begin:0",
        "work:" + std::to_string(big.size()), "status:Disconnected."};
    EXPECT_EQ(recorder.Collapsed(), expected);
    EXPECT_FALSE(http.Connected());
}

// A feed cut short is no feed: the download fails as a cut-short chunked
// body does, instead of handing half a document to the parser.
TEST(TIdHTTP, BodyCutShortOfItsLengthFails) {
    ScriptedServer server([](ServerConn& conn) {
        conn.ReadRequest();
        conn.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly ten..");
        conn.Close();
    });
    TIdHTTP http;
    std::string body;
    EXPECT_EQ(GetError(http, server.Address("/"), body), "Connection Closed Gracefully.");
    EXPECT_EQ(body, "");
}

// Framing by RFC 9112 section 6.3: lengths that disagree or are no number
// fail; chunked wins over a length.
TEST(TIdHTTP, ContentLengthMustBeOneNumber) {
    const std::pair<std::string, std::string> cases[] = {
        {"Content-Length: 5\r\nContent-Length: 6\r\n",
         "Conflicting Content-Length values \"5\" and \"6\" in the answer."},
        {"Content-Length: 5, 7\r\n",
         "Conflicting Content-Length values \"5\" and \"7\" in the answer."},
        {"Content-Length: -5\r\n", "Invalid Content-Length \"-5\" in the answer."},
        {"Content-Length: five\r\n", "Invalid Content-Length \"five\" in the answer."},
        {"Content-Length: 5x\r\n", "Invalid Content-Length \"5x\" in the answer."},
        {"Content-Length: \r\n", "Invalid Content-Length \"\" in the answer."},
        {"Content-Length: 123456789012345678901\r\n",
         "Invalid Content-Length \"123456789012345678901\" in the answer."},
        // 19 digits fit the counter, and are then far over the body limit.
        {"Content-Length: 1234567890123456789\r\n",
         "Response body of 1234567890123456789 bytes exceeds the limit of 67108864 bytes."},
    };
    for (const auto& [header, error] : cases) {
        ScriptedServer server(ScriptedServer::Always("HTTP/1.1 200 OK\r\n" + header + "\r\nhello"));
        TIdHTTP http;
        std::string body;
        EXPECT_EQ(GetError(http, server.Address("/"), body), error) << header;
        EXPECT_EQ(body, "");
    }

    // The same length twice is one length.
    ScriptedServer repeated(ScriptedServer::Always(
        "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 5, 5\r\n\r\nhello"));
    TIdHTTP http;
    std::string body;
    http.Get(repeated.Address("/"), body);
    EXPECT_EQ(body, "hello");
}

TEST(TIdHTTP, ChunkedWinsOverContentLengthAndTheConnectionIsNotKept) {
    ScriptedServer server(ScriptedServer::Always(
        "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n"
        "5\r\nhello\r\n0\r\n\r\n"));
    TIdHTTP http;
    std::string body;
    for (int i = 0; i < 2; ++i) {
        http.Get(server.Address("/"), body);
        EXPECT_EQ(body, "hello");
    }
    EXPECT_EQ(server.Connections(), 2);

    // Chunked only as the last coding frames the body; otherwise it runs to the close.
    ScriptedServer gzipped([](ServerConn& conn) {
        conn.ReadRequest();
        conn.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked, gzip\r\nContent-Length: 2\r\n"
                  "\r\n5\r\nhello\r\n0\r\n\r\n");
        conn.Close();
    });
    http.Get(gzipped.Address("/"), body);
    EXPECT_EQ(body, "5\r\nhello\r\n0\r\n\r\n");
}

TEST(TIdHTTP, ChunkedTrailerIsReadToItsEmptyLine) {
    ScriptedServer server(
        ScriptedServer::Always("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                               "2\r\nok\r\n0\r\nX-A: 1\r\nX-B: 2\r\n\r\n"));
    TIdHTTP http;
    std::string body;
    for (int i = 0; i < 3; ++i) {
        http.Get(server.Address("/"), body);
        EXPECT_EQ(body, "ok");
    }
    EXPECT_EQ(server.Connections(), 1); // each next answer starts in step
}

TEST(TIdHTTP, EveryInterimAnswerIsSkipped) {
    ScriptedServer server(ScriptedServer::Always(
        "HTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </s.css>\r\n\r\n" +
        Ok("the feed")));
    TIdHTTP http;
    std::string body;
    http.Get(server.Address("/"), body);
    EXPECT_EQ(body, "the feed");
    EXPECT_EQ(http.ResponseCode(), 200);
}

TEST(TIdHTTP, HeaderBlockIsCappedInBytesAndLines) {
    const std::string line300 = "X-Filler: " + std::string(288, 'f') + "\r\n"; // 300 bytes
    std::string manyShort;
    for (int i = 0; i < 1000; ++i)
        manyShort += "X-" + std::to_string(i) + ": 1\r\n";
    std::string manyLong;
    for (int i = 0; i < 900; ++i)
        manyLong += line300;
    const std::pair<std::string, std::string> cases[] = {
        {manyShort, "The answer's header exceeds the limit of 1000 lines."},
        {manyLong, "The answer's header exceeds the limit of 262144 bytes."},
    };
    for (const auto& [headers, error] : cases) {
        // The server would go on for ever; the client stops at the limit.
        ScriptedServer server([&headers](ServerConn& conn) {
            conn.ReadRequest();
            conn.Send("HTTP/1.1 200 OK\r\n" + headers);
            while (!conn.ReadRequest().empty()) {
            }
        });
        TIdHTTP http;
        std::string body;
        EXPECT_EQ(GetError(http, server.Address("/"), body), error);
    }
}

TEST(TIdHTTP, ManyCookiesStayWithinTheJarsLimits) {
    std::string cookies;
    for (int i = 0; i < 80; ++i)
        cookies += "Set-Cookie: c" + std::to_string(i) + "=" + std::string(100, 'v') + "\r\n";
    ScriptedServer server(ScriptedServer::Always(Ok("x", cookies)));
    TIdHTTP http;
    std::string body;
    http.Get(server.Address("/"), body);
    ASSERT_EQ(http.CookieManager().Cookies().size(), CookieJar::MaxPerDomain);
    // The oldest went first: c0 to c29.
    EXPECT_EQ(http.CookieManager().Cookies().front().Name, "c30");
    http.Get(server.Address("/"), body);
    const std::string sent = server.Requests().back();
    EXPECT_EQ(sent.find("c29="), std::string::npos);
    EXPECT_NE(sent.find("c79="), std::string::npos);
}

TEST(TIdHTTP, ErrorStatusFailsWithItsStatusLine) {
    const std::pair<std::string, int> cases[] = {
        {"HTTP/1.1 404 Not Found", 404},
        {"HTTP/1.1 401 Unauthorized", 401},
        {"HTTP/1.0 407 Proxy Authentication Required", 407},
        {"HTTP/1.1 304 Not Modified", 304},      // not a redirect
        {"HTTP/1.1 301 Moved Permanently", 301}, // a redirect with nowhere to go
        {"HTTP/1.1 500 Internal Server Error", 500},
    };
    for (const auto& [statusLine, code] : cases) {
        ScriptedServer server(ScriptedServer::Always(
            statusLine +
            "\r\nWWW-Authenticate: Basic realm=\"x\"\r\nContent-Length: 9\r\n\r\nerror doc"));
        TIdHTTP http;
        Recorder recorder;
        recorder.Attach(http);
        std::string body = "stale";
        try {
            http.Get(server.Address("/feed"), body);
            ADD_FAILURE() << statusLine << " did not fail";
        } catch (const HttpStatusError& e) {
            EXPECT_EQ(std::string(e.what()), statusLine);
            EXPECT_EQ(e.ErrorCode(), code);
        }
        EXPECT_EQ(body, "");
        EXPECT_EQ(server.Requests().size(), 1u) << statusLine;
        ASSERT_GE(recorder.events.size(), 2u);
        EXPECT_EQ(recorder.events[recorder.events.size() - 2], "status:Disconnecting.");
        EXPECT_EQ(recorder.events.back(), "status:Disconnected.");
        EXPECT_FALSE(http.Connected());
    }
}

TEST(TIdHTTP, ClosingBeforeAStatusLineIsClosedGracefully) {
    const std::string partial[] = {"", "HTTP/1.1 200 OK\r\nContent-Le"};
    for (const std::string& sent : partial) {
        ScriptedServer server([&sent](ServerConn& conn) {
            conn.ReadRequest();
            conn.Send(sent);
            conn.Close();
        });
        TIdHTTP http;
        std::string body;
        EXPECT_EQ(GetError(http, server.Address("/"), body), "Connection Closed Gracefully.")
            << "after \"" << sent << "\"";
    }
}

TEST(TIdHTTP, HeaderLinesUpTo16384Characters) {
    const std::string name = "X-Long: ";
    const std::string atLimit = name + std::string(16384 - name.size(), 'x');
    ScriptedServer server(Routes({
        {"/limit", "HTTP/1.1 200 OK\r\n" + atLimit + "\r\nContent-Length: 2\r\n\r\nok"},
        {"/over", "HTTP/1.1 200 OK\r\n" + atLimit + "x\r\nContent-Length: 2\r\n\r\nok"},
        {"/status", "HTTP/1.1 200 " + std::string(16400, 'S') + "\r\n\r\n"},
    }));
    TIdHTTP http;
    std::string body;
    EXPECT_EQ(GetError(http, server.Address("/limit"), body), "<no error>");
    EXPECT_EQ(body, "ok");
    EXPECT_EQ(GetError(http, server.Address("/over"), body), "Max line length exceeded.");
    EXPECT_EQ(GetError(http, server.Address("/status"), body), "Max line length exceeded.");
}

TEST(TIdHTTP, RefusedConnectionIsASocketError) {
    TIdHTTP http;
    Recorder recorder;
    recorder.Attach(http);
    std::string body;
    const int port = test::UnusedPort();
    EXPECT_EQ(GetError(http, "http://127.0.0.1:" + std::to_string(port) + "/feed", body),
              "Socket Error # 111\r\nConnection refused");
    const std::vector<std::string> expected = {"status:Connecting to 127.0.0.1."};
    EXPECT_EQ(recorder.events, expected);
    EXPECT_FALSE(http.Connected());
}

TEST(TIdHTTP, UnknownHostIsAResolverSocketError) {
    // ".invalid" is reserved: the resolver refuses it without any traffic.
    TIdHTTP http;
    Recorder recorder;
    recorder.Attach(http);
    std::string body;
    EXPECT_EQ(GetError(http, "http://no-such-feed-host.invalid/rss", body),
              "Socket Error # -2\r\nName or service not known");
    const std::vector<std::string> expected = {
        "status:Resolving hostname no-such-feed-host.invalid."};
    EXPECT_EQ(recorder.events, expected);
}

TEST(TIdHTTP, OnlyPlainHttpAddressesConnect) {
    ScriptedServer server(ScriptedServer::Always(Ok("plain")));
    const std::string port = std::to_string(server.Port());
    const std::pair<std::string, std::string> cases[] = {
        {"https://127.0.0.1:" + port + "/feed", "IOHandler value is not valid"},
        {"HTTPS://127.0.0.1/feed", "IOHandler value is not valid"},
        {"ftp://127.0.0.1/feed", ""},
        {"127.0.0.1/feed", ""}, // no scheme is another scheme
        {"http://127.0.0.1:99999/feed",
         "Invalid port \"99999\" in the address http://127.0.0.1:99999/feed"},
    };
    for (const auto& [address, error] : cases) {
        TIdHTTP http;
        std::string body;
        EXPECT_EQ(GetError(http, address, body), error) << address;
    }
    EXPECT_EQ(server.Connections(), 0);
    // Another scheme with a port is fetched as plain HTTP.
    TIdHTTP http;
    std::string body;
    http.Get("feed://127.0.0.1:" + port + "/x", body);
    EXPECT_EQ(body, "plain");
}

TEST(TIdHTTP, ResolvesHostNamesBeforeConnecting) {
    ScriptedServer server(ScriptedServer::Always(Ok("named")));
    TIdHTTP http;
    Recorder recorder;
    recorder.Attach(http);
    std::string body;
    http.Get("http://localhost:" + std::to_string(server.Port()) + "/", body);
    EXPECT_EQ(body, "named");
    EXPECT_EQ(recorder.events.front(), "status:Resolving hostname localhost.");
    EXPECT_TRUE(recorder.Has("status:Connecting to 127.0.0.1."));
    EXPECT_NE(server.Requests()[0].find("\r\nHost: localhost:"), std::string::npos);
}

TEST(TIdHTTP, KeepsTheConnectionUnlessTheServerCloses) {
    ScriptedServer keep(ScriptedServer::Always(Ok("k")));
    ScriptedServer close(ScriptedServer::Always(Ok("c", "Connection: close\r\n")));
    TIdHTTP http;
    std::string body;
    for (int i = 0; i < 3; ++i) {
        http.Get(keep.Address("/"), body);
    }
    EXPECT_EQ(keep.Connections(), 1);
    EXPECT_TRUE(http.Connected());
    for (int i = 0; i < 3; ++i) {
        http.Get(close.Address("/"), body);
        EXPECT_EQ(body, "c");
    }
    EXPECT_EQ(close.Connections(), 3);
}

TEST(TIdHTTP, RefusesBodiesOverTheLimit) {
    const std::pair<std::string, std::string> cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 1001\r\n\r\n" + std::string(1001, 'x'),
         "Response body of 1001 bytes exceeds the limit of 1000 bytes."},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n258\r\n" + std::string(600, 'x') +
             "\r\n258\r\n" + std::string(600, 'y') + "\r\n0\r\n\r\n",
         "Response body of at least 1200 bytes exceeds the limit of 1000 bytes."},
    };
    for (const auto& [response, error] : cases) {
        ScriptedServer server(ScriptedServer::Always(response));
        TIdHTTP http;
        http.MaxBodySize = 1000;
        std::string body;
        EXPECT_EQ(GetError(http, server.Address("/"), body), error);
        EXPECT_EQ(body, "");
    }
    ScriptedServer closing([](ServerConn& conn) {
        conn.ReadRequest();
        conn.Send("HTTP/1.1 200 OK\r\n\r\n" + std::string(1500, 'z'));
        conn.Close();
    });
    TIdHTTP http;
    http.MaxBodySize = 1000;
    std::string body;
    const std::string error = GetError(http, closing.Address("/"), body);
    EXPECT_NE(error.find("exceeds the limit of 1000 bytes."), std::string::npos) << error;

    // The default limit is 64 MiB; the header alone is refused.
    ScriptedServer huge(
        ScriptedServer::Always("HTTP/1.1 200 OK\r\nContent-Length: 67108865\r\n\r\n"));
    TIdHTTP defaults;
    EXPECT_EQ(GetError(defaults, huge.Address("/"), body),
              "Response body of 67108865 bytes exceeds the limit of 67108864 bytes.");
}

TEST(TIdHTTP, PumpsWhileWaitingForData) {
    std::atomic<int> pumps{0};
    ScriptedServer server([&pumps](ServerConn& conn) {
        conn.ReadRequest();
        // Answer only once the client has shown that it pumps while it waits.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (pumps < 3 && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        conn.Send(Ok("late"));
        conn.ReadRequest();
    });
    TIdHTTP http;
    http.OnPump = [&pumps] { ++pumps; };
    std::string body;
    http.Get(server.Address("/"), body);
    EXPECT_EQ(body, "late");
    EXPECT_GE(pumps.load(), 3);
}

// The first connection never answers; it only waits for the client to close.
void SilentThenServe(ServerConn& conn, const std::atomic<int>& served) {
    if (served == 0) {
        conn.ReadRequest();
        conn.ReadRequest();
        return;
    }
    for (std::string request; !(request = conn.ReadRequest()).empty();) {
        conn.Send(Ok("served " + RequestTarget(request)));
    }
}

TEST(TIdHTTP, DisconnectFromThePumpEndsTheWaitingGet) {
    std::atomic<int> connections{0};
    ScriptedServer server([&connections](ServerConn& conn) {
        SilentThenServe(conn, connections);
        ++connections;
    });
    TIdHTTP http;
    Recorder recorder;
    recorder.Attach(http);
    bool disconnected = false;
    http.OnPump = [&] {
        if (!disconnected) {
            disconnected = true;
            http.Disconnect();
        }
    };
    std::string body = "stale";
    try {
        http.Get(server.Address("/outer"), body);
        ADD_FAILURE() << "the interrupted Get returned";
    } catch (const DownloadAborted&) {
    }
    EXPECT_EQ(body, "");
    EXPECT_TRUE(recorder.Has("status:Disconnecting."));
    EXPECT_FALSE(http.Connected());
    // Still usable afterwards.
    http.Get(server.Address("/next"), body);
    EXPECT_EQ(body, "served /next");
}

TEST(TIdHTTP, AnotherGetFromThePumpTakesOver) {
    std::atomic<int> connections{0};
    ScriptedServer server([&connections](ServerConn& conn) {
        SilentThenServe(conn, connections);
        ++connections;
    });
    TIdHTTP http;
    bool nested = false;
    std::string inner;
    http.OnPump = [&] {
        if (!nested) {
            nested = true;
            http.Get(server.Address("/inner"), inner);
        }
    };
    std::string outer;
    EXPECT_THROW(http.Get(server.Address("/outer"), outer), DownloadAborted);
    EXPECT_EQ(inner, "served /inner");
    EXPECT_EQ(outer, "");
    http.Get(server.Address("/after"), outer);
    EXPECT_EQ(outer, "served /after");
}

} // namespace
} // namespace zavrio

namespace zavrio {
namespace {

// A listener whose accept queue is full drops further connection requests,
// so a connect to it waits like one to an unreachable host, without leaving
// the loopback interface.
class FullListener {
public:
    FullListener() {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(listen_, 0);
        socklen_t len = sizeof addr;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        for (int i = 0; i < 4; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
            fillers_.push_back(fd);
        }
    }
    ~FullListener() {
        for (int fd : fillers_) {
            ::close(fd);
        }
        ::close(listen_);
    }
    int Port() const { return port_; }

private:
    int listen_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;
};

TEST(TIdHTTP, ConnectTimesOutWhilePumping) {
    FullListener listener;
    TIdHTTP http;
    http.ConnectTimeout = 600; // the product waits 120000 ms
    int pumps = 0;
    http.OnPump = [&pumps] { ++pumps; };
    std::string body;
    EXPECT_EQ(GetError(http, "http://127.0.0.1:" + std::to_string(listener.Port()) + "/", body),
              "Connect timed out.");
    EXPECT_GE(pumps, 2);
    EXPECT_FALSE(http.Connected());
}

} // namespace
} // namespace zavrio

namespace zavrio {
namespace {

// Bodies that never end: the dropped ones are given up after their limit,
// and the connection is not reused after that.
TEST(TIdHTTP, DroppedBodiesGiveUpAfterTheirLimit) {
    ScriptedServer server([](ServerConn& conn) {
        for (std::string request; !(request = conn.ReadRequest()).empty();) {
            const std::string target = RequestTarget(request);
            if (target == "/redirect") {
                conn.Send("HTTP/1.1 302 Found\r\nLocation: /feed\r\n\r\nendless");
            } else if (target == "/error") {
                conn.Send("HTTP/1.1 403 Forbidden\r\nContent-Length: 100\r\n\r\npartial");
            } else {
                conn.Send(Ok("the feed"));
            }
        }
    });
    TIdHTTP http;
    http.RedirectBodyLimit = 200;
    http.ErrorBodyLimit = 100;
    std::string body;
    http.Get(server.Address("/redirect"), body);
    EXPECT_EQ(body, "the feed");
    EXPECT_EQ(GetError(http, server.Address("/error"), body), "HTTP/1.1 403 Forbidden");
    EXPECT_EQ(server.Requests().size(), 3u);
    // The endless redirect body spoilt the first connection.
    EXPECT_EQ(server.Connections(), 2);
}

} // namespace
} // namespace zavrio

namespace zavrio {
namespace {

// Data that keeps arriving faster than the pump interval must not starve
// the GUI: the client also pumps after every wait that brought data.
TEST(TIdHTTP, PumpsAfterEachWaitThatBringsData) {
    ScriptedServer server([](ServerConn& conn) {
        conn.ReadRequest();
        conn.Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n");
        for (int i = 0; i < 10; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            conn.Send("x");
        }
        conn.ReadRequest();
    });
    TIdHTTP http;
    int pumps = 0;
    http.OnPump = [&pumps] { ++pumps; };
    std::string body;
    http.Get(server.Address("/"), body);
    EXPECT_EQ(body, std::string(10, 'x'));
    EXPECT_GE(pumps, 3);
}

// A kept connection that the server closed while idle is noticed before it
// is used again, instead of failing the next download.
TEST(TIdHTTP, IdleConnectionClosedByTheServerIsReplaced) {
    std::atomic<int> closed{0};
    ScriptedServer server([&closed](ServerConn& conn) {
        conn.ReadRequest();
        conn.Send(Ok("once"));
        conn.Close();
        ++closed;
    });
    TIdHTTP http;
    Recorder recorder;
    recorder.Attach(http);
    std::string body;
    http.Get(server.Address("/"), body);
    for (int i = 0; i < 1000 && closed == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    recorder.events.clear();
    http.Get(server.Address("/"), body);
    EXPECT_EQ(body, "once");
    EXPECT_EQ(server.Connections(), 2);
    EXPECT_EQ(recorder.events.front(), "status:Disconnected.");
}

} // namespace
} // namespace zavrio

namespace zavrio {
namespace {

// The server closes a kept connection just as the next request arrives: no
// byte of an answer came, so the request goes out again on a new connection.
// On a fresh connection the same close is a failure.
TEST(TIdHTTP, RequestOnAKeptConnectionTheServerDroppedIsSentAgain) {
    std::atomic<int> connections{0};
    ScriptedServer server([&connections](ServerConn& conn) {
        const int number = connections++;
        conn.ReadRequest();
        if (number == 0) {
            conn.Send(Ok("first"));
            conn.ReadRequest(); // read, then dropped unanswered
            return;
        }
        if (number == 2) {
            return; // a fresh connection closed without an answer
        }
        conn.Send(Ok("second"));
        conn.ReadRequest();
    });
    TIdHTTP http;
    std::string body;
    http.Get(server.Address("/one"), body);
    EXPECT_EQ(body, "first");
    http.Get(server.Address("/two"), body);
    EXPECT_EQ(body, "second");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(RequestTarget(requests[1]), "/two");
    EXPECT_EQ(RequestTarget(requests[2]), "/two");
    http.Disconnect();
    EXPECT_EQ(GetError(http, server.Address("/three"), body), "Connection Closed Gracefully.");
}

} // namespace
} // namespace zavrio
