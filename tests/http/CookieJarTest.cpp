#include "http/CookieJar.h"

#include "http/Uri.h"

#include <gtest/gtest.h>

namespace zavrio {
namespace {

std::string HeaderFor(const CookieJar& jar, const std::string& address) {
    return jar.CookieHeader(Uri(address));
}

TEST(CookieJar, HostOnlyCookieGoesBackToTheSameHostOnly) {
    CookieJar jar;
    jar.AddServerCookie("sid=abc; HttpOnly", Uri("http://feeds.example.test/a/feed.xml"), false);
    EXPECT_EQ(HeaderFor(jar, "http://feeds.example.test/a/other"), "sid=abc");
    EXPECT_EQ(HeaderFor(jar, "http://FEEDS.example.test:8080/a/"), "sid=abc");
    EXPECT_EQ(HeaderFor(jar, "http://www.feeds.example.test/a/x"), "");
    EXPECT_EQ(HeaderFor(jar, "http://example.test/a/x"), "");
    // Default path is the directory of the request path: /a.
    EXPECT_EQ(HeaderFor(jar, "http://feeds.example.test/"), "");
    EXPECT_EQ(HeaderFor(jar, "http://feeds.example.test/ab"), "");
}

TEST(CookieJar, DomainAndPathMatching) {
    CookieJar jar;
    const Uri from("http://www.example.test/feeds/list");
    jar.AddServerCookie("d=1; Domain=.example.test; Path=/", from, false);
    jar.AddServerCookie("p=2; Path=/feeds", from, false);
    jar.AddServerCookie("evil=3; Domain=other.test", from, false); // not ours to set
    jar.AddServerCookie("tld=4; Domain=xample.test", from, false); // not a domain match
    jar.AddServerCookie("s=5; Secure", from, false);               // only https sends it
    const std::pair<const char*, const char*> cases[] = {
        {"http://www.example.test/feeds/x", "p=2; d=1"}, // longer path first
        {"http://www.example.test/feeds", "p=2; d=1"},
        {"http://www.example.test/feedsx", "d=1"},
        {"http://img.example.test/feeds/x", "d=1"},
        {"http://example.test/", "d=1"},
        {"http://other.test/", ""},
        {"http://xample.test/", ""},
        {"https://www.example.test/feeds/x", "p=2; s=5; d=1"},
    };
    for (const auto& [address, expected] : cases) {
        EXPECT_EQ(HeaderFor(jar, address), expected) << address;
    }
}

TEST(CookieJar, ReplacesKeepsOrderAndExpires) {
    CookieJar jar;
    const Uri from("http://h.test/");
    jar.AddServerCookie("a=1", from, false);
    jar.AddServerCookie("b=2", from, false);
    jar.AddServerCookie("a=3", from, false);
    EXPECT_EQ(HeaderFor(jar, "http://h.test/"), "a=3; b=2");
    jar.AddServerCookie("a=gone; Max-Age=0", from, false);
    EXPECT_EQ(HeaderFor(jar, "http://h.test/"), "b=2");
    jar.AddServerCookie("b=gone; Expires=Thu, 01 Jan 1970 00:00:00 GMT", from, false);
    EXPECT_EQ(HeaderFor(jar, "http://h.test/"), "");
    // A date in the future keeps it; Max-Age wins over Expires.
    jar.AddServerCookie("c=1; expires=Fri, 31-Dec-2100 23:59:59 GMT", from, false);
    jar.AddServerCookie("d=1; Max-Age=60; Expires=Thu, 01 Jan 1970 00:00:00 GMT", from, false);
    EXPECT_EQ(HeaderFor(jar, "http://h.test/"), "c=1; d=1");
    // Values without a name are ignored.
    jar.AddServerCookie("=x", from, false);
    jar.AddServerCookie("novalue", from, false);
    EXPECT_EQ(jar.Cookies().size(), 2u);
}

TEST(CookieJar, SetCookie2CarriesSeveralQuotedCookies) {
    CookieJar jar;
    jar.AddServerCookie("x=\"1,2\"; Version=\"1\"; Path=\"/\", y=\"two\"; Version=\"1\"",
                        Uri("http://h.test/a/b"), true);
    EXPECT_EQ(HeaderFor(jar, "http://h.test/"), "x=1,2");
    // y has the longer (default) path /a, so it comes first.
    EXPECT_EQ(HeaderFor(jar, "http://h.test/a/c"), "y=two; x=1,2");
}

TEST(CookieJar, SetCookieWithCommaInDateIsOneCookie) {
    CookieJar jar;
    jar.AddServerCookie("k=v; Expires=Wed, 09 Jun 2100 10:18:14 GMT; Path=/", Uri("http://h.test/"),
                        false);
    ASSERT_EQ(jar.Cookies().size(), 1u);
    EXPECT_EQ(HeaderFor(jar, "http://h.test/"), "k=v");
}

TEST(CookieJar, FullJarEvictsTheOldestCookie) {
    CookieJar jar;
    // 61 hosts of 50 cookies each: 3050 in all, 50 over the jar's limit.
    for (int host = 0; host <= 60; ++host) {
        const Uri from("http://h" + std::to_string(host) + ".test/");
        for (int i = 0; i < 50; ++i)
            jar.AddServerCookie("c" + std::to_string(i) + "=1", from, false);
    }
    EXPECT_EQ(jar.Cookies().size(), CookieJar::MaxCookies);
    EXPECT_EQ(HeaderFor(jar, "http://h0.test/"), ""); // the oldest host's all gone
    EXPECT_EQ(HeaderFor(jar, "http://h1.test/").substr(0, 5), "c0=1;"); // the next one whole
    // A replaced cookie keeps its age: refreshing h1's c0 does not save it
    // from being the next to go.
    jar.AddServerCookie("c0=2", Uri("http://h1.test/"), false);
    jar.AddServerCookie("new=1", Uri("http://h99.test/"), false);
    EXPECT_EQ(HeaderFor(jar, "http://h1.test/").find("c0="), std::string::npos);
    EXPECT_EQ(HeaderFor(jar, "http://h99.test/"), "new=1");
}

} // namespace
} // namespace zavrio
