#include "http/TIdHTTP.h"

#include "ClientTestSupport.h"
#include "ScriptedServer.h"
#include "TestCertificates.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace zavrio {
namespace {

using httptest::GetError;
using httptest::Ok;
using httptest::RequestTarget;
using test::ScriptedServer;
using test::ServerConn;
using test::TestCertificates;

const TestCertificates& Trusted() {
    const TestCertificates& certificates = TestCertificates::Get();
    certificates.TrustOnlyTheAuthority();
    return certificates;
}

TEST(Https, SendsThePlainRequestInsideTlsAndKeepsTheConnection) {
    const TestCertificates& certificates = Trusted();
    ScriptedServer server(ScriptedServer::Always(Ok("secure feed")), certificates.Server);
    const std::string port = std::to_string(server.Port());
    TIdHTTP http;
    http.SecureTransport = true;
    std::vector<std::string> statuses;
    http.OnStatus = [&statuses](ClientStatus, const std::string& text) {
        statuses.push_back(text);
    };
    std::string body;
    http.Get(server.Address("/a%20b/feed.xml?x=1"), body);
    EXPECT_EQ(body, "secure feed");
    http.Get(server.Address("/again"), body);
    EXPECT_EQ(body, "secure feed");

    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(server.Requests()[0], "GET /a%20b/feed.xml?x=1 HTTP/1.1\r\n"
                                    "Content-Type: text/html\r\n"
                                    "Host: 127.0.0.1:" +
                                        port +
                                        "\r\n"
                                        "Accept: text/html, */*\r\n"
                                        "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                                        "\r\n");
    EXPECT_EQ(server.Connections(), 1);
    const std::vector<std::string> expected = {"Connecting to 127.0.0.1.", "Connected."};
    EXPECT_EQ(statuses, expected);
    // An address literal is verified as an IP address and sends no server name.
    EXPECT_EQ(server.ServerNames(), std::vector<std::string>{""});

    // A host name goes out as the server name, and the certificate is
    // verified for that name.
    http.Disconnect(); // the server serves one connection at a time
    TIdHTTP named;
    named.SecureTransport = true;
    named.Get("https://localhost:" + port + "/named", body);
    EXPECT_EQ(body, "secure feed");
    EXPECT_EQ(server.ServerNames().back(), "localhost");
    EXPECT_NE(server.Requests().back().find("\r\nHost: localhost:" + port + "\r\n"),
              std::string::npos);
}

TEST(Https, WithoutSecureTransportNothingIsSent) {
    const TestCertificates& certificates = Trusted();
    ScriptedServer server(ScriptedServer::Always(Ok("secure feed")), certificates.Server);
    TIdHTTP http;
    std::string body;
    EXPECT_EQ(GetError(http, server.Address("/feed.xml"), body), "IOHandler value is not valid");
    EXPECT_THROW(http.Get(server.Address("/feed.xml"), body), NoSecureTransport);
    EXPECT_EQ(server.Connections(), 0);
}

TEST(Https, RejectedCertificatesNameTheReasonAndTheHost) {
    const TestCertificates& certificates = Trusted();
    struct Case {
        const test::TlsIdentity& identity;
        std::string host;
        std::string reason;
    };
    const Case cases[] = {
        {certificates.Untrusted, "127.0.0.1", "unable to get local issuer certificate"},
        {certificates.Expired, "127.0.0.1", "certificate has expired"},
        {certificates.OtherName, "127.0.0.1", "IP address mismatch"},
        {certificates.OtherName, "localhost", "hostname mismatch"},
    };
    for (const Case& c : cases) {
        ScriptedServer server(ScriptedServer::Always(Ok("never")), c.identity);
        TIdHTTP http;
        http.SecureTransport = true;
        std::string body = "stale";
        const std::string address =
            "https://" + c.host + ":" + std::to_string(server.Port()) + "/feed.xml";
        EXPECT_EQ(GetError(http, address, body),
                  "The certificate of " + c.host + " could not be verified: " + c.reason)
            << c.identity.CertificateFile;
        EXPECT_EQ(body, "");
        EXPECT_FALSE(http.Connected());
        EXPECT_TRUE(server.Requests().empty()) << "a request went to an unverified server";
    }
}

TEST(Https, ServerThatSpeaksNoTlsFails) {
    Trusted();
    ScriptedServer plain([](ServerConn& conn) {
        conn.Send("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
        conn.ReadRequest();
    });
    TIdHTTP http;
    http.SecureTransport = true;
    std::string body;
    const std::string error =
        GetError(http, "https://127.0.0.1:" + std::to_string(plain.Port()) + "/feed.xml", body);
    EXPECT_EQ(error.rfind("TLS connection to 127.0.0.1 failed: ", 0), 0u) << error;
}

TEST(Https, BodyEndsWithTheConnectionWithOrWithoutTlsGoodbye) {
    const TestCertificates& certificates = Trusted();
    for (const bool polite : {true, false}) {
        ScriptedServer server(
            [polite](ServerConn& conn) {
                conn.ReadRequest();
                conn.Send("HTTP/1.1 200 OK\r\n\r\n<rss/>");
                if (polite)
                    conn.Close();
                else
                    conn.Drop();
            },
            certificates.Server);
        TIdHTTP http;
        http.SecureTransport = true;
        std::string body;
        EXPECT_EQ(GetError(http, server.Address("/"), body), "<no error>") << polite;
        EXPECT_EQ(body, "<rss/>");
    }
}

TEST(Https, RedirectsBetweenHttpAndHttps) {
    const TestCertificates& certificates = Trusted();
    std::atomic<int> plainPort{0};
    std::atomic<int> securePort{0};
    ScriptedServer plain([&securePort](ServerConn& conn) {
        for (std::string request; !(request = conn.ReadRequest()).empty();) {
            if (RequestTarget(request) == "/start") {
                conn.Send("HTTP/1.1 301 Moved\r\nLocation: https://127.0.0.1:" +
                          std::to_string(securePort.load()) +
                          "/feed\r\nSet-Cookie: a=1; Path=/\r\nContent-Length: 0\r\n\r\n");
            } else {
                conn.Send(Ok("back on plain " + RequestTarget(request)));
            }
        }
    });
    ScriptedServer secure(
        [&plainPort](ServerConn& conn) {
            for (std::string request; !(request = conn.ReadRequest()).empty();) {
                conn.Send("HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:" +
                          std::to_string(plainPort.load()) + "/back\r\nContent-Length: 0\r\n\r\n");
            }
        },
        certificates.Server);
    plainPort = plain.Port();
    securePort = secure.Port();

    TIdHTTP http;
    http.SecureTransport = true;
    std::string body;
    http.Get(plain.Address("/start"), body);
    EXPECT_EQ(body, "back on plain /back");
    ASSERT_EQ(secure.Requests().size(), 1u);
    EXPECT_EQ(RequestTarget(secure.Requests()[0]), "/feed");
    // The cookie set on plain HTTP goes along inside the tunnel.
    EXPECT_NE(secure.Requests()[0].find("\r\nCookie: a=1\r\n"), std::string::npos);
    EXPECT_EQ(plain.Requests().size(), 2u);

    // Without a secure transport the redirect to https is where it ends.
    http.Disconnect(); // the plain server serves one connection at a time
    TIdHTTP plainOnly;
    EXPECT_EQ(GetError(plainOnly, plain.Address("/start"), body), "IOHandler value is not valid");
    EXPECT_EQ(secure.Requests().size(), 1u);
}

TEST(Https, PumpsAndCanBeAbortedDuringTheHandshakeAndTheBody) {
    const TestCertificates& certificates = Trusted();
    // Accepts the connection and never answers the handshake.
    ScriptedServer silent([](ServerConn& conn) { conn.ReadRequest(); });
    const std::string silentAddress =
        "https://127.0.0.1:" + std::to_string(silent.Port()) + "/feed.xml";
    {
        TIdHTTP http;
        http.SecureTransport = true;
        int pumps = 0;
        http.OnPump = [&] {
            if (++pumps == 3)
                http.Disconnect();
        };
        std::string body;
        EXPECT_THROW(http.Get(silentAddress, body), DownloadAborted);
        EXPECT_EQ(pumps, 3);
    }
    {
        TIdHTTP http;
        http.SecureTransport = true;
        http.ConnectTimeout = 600; // the product waits 120000 ms
        std::string body;
        EXPECT_EQ(GetError(http, silentAddress, body), "Connect timed out.");
    }

    std::atomic<int> pumps{0};
    ScriptedServer slow(
        [&pumps](ServerConn& conn) {
            conn.ReadRequest();
            conn.Send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nla");
            // The rest only once the client has shown that it pumps meanwhile.
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (pumps < 3 && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            conn.Send("te");
            conn.ReadRequest();
        },
        certificates.Server);
    TIdHTTP http;
    http.SecureTransport = true;
    http.OnPump = [&pumps] { ++pumps; };
    std::string body;
    http.Get(slow.Address("/"), body);
    EXPECT_EQ(body, "late");
    EXPECT_GE(pumps.load(), 3);
}

TEST(Https, IdleConnectionClosedByTheServerIsReplaced) {
    const TestCertificates& certificates = Trusted();
    std::atomic<int> closed{0};
    ScriptedServer server(
        [&closed](ServerConn& conn) {
            conn.ReadRequest();
            conn.Send(Ok("once"));
            conn.Close();
            ++closed;
        },
        certificates.Server);
    TIdHTTP http;
    http.SecureTransport = true;
    std::string body;
    http.Get(server.Address("/"), body);
    for (int i = 0; i < 1000 && closed == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::vector<std::string> statuses;
    http.OnStatus = [&statuses](ClientStatus, const std::string& text) {
        statuses.push_back(text);
    };
    EXPECT_FALSE(http.Connected());
    http.Get(server.Address("/"), body);
    EXPECT_EQ(body, "once");
    EXPECT_EQ(server.Connections(), 2);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.front(), "Disconnected.");
}

} // namespace
} // namespace zavrio
