#include "http/Uri.h"

#include <gtest/gtest.h>

namespace zavrio {
namespace {

TEST(Uri, SplitsAddressWithoutReencoding) {
    const Uri uri("HTTP://user@Feeds.Example.test:8080/a%20b/feed.xml?x=1&y=a b#top");
    EXPECT_EQ(uri.Protocol, "http");
    EXPECT_EQ(uri.Host, "Feeds.Example.test");
    EXPECT_EQ(uri.Port, "8080");
    EXPECT_EQ(uri.Path, "/a%20b/feed.xml");
    EXPECT_EQ(uri.Query, "?x=1&y=a b");
    EXPECT_EQ(uri.Target(), "/a%20b/feed.xml?x=1&y=a b");
    EXPECT_FALSE(uri.HostIsAddress());
}

TEST(Uri, EmptyPathTargetsRootAndIPv6LiteralLosesBrackets) {
    const Uri root("http://example.test");
    EXPECT_EQ(root.Target(), "/");
    EXPECT_EQ(root.Port, "");
    const Uri query("http://example.test?q=1");
    EXPECT_EQ(query.Target(), "/?q=1");
    const Uri v6("http://[::1]:81/x");
    EXPECT_EQ(v6.Host, "::1");
    EXPECT_EQ(v6.Port, "81");
    EXPECT_TRUE(v6.HostIsAddress());
    EXPECT_TRUE(Uri("http://127.0.0.1/").HostIsAddress());
}

TEST(Uri, AddressWithoutSchemeIsAllPath) {
    const Uri uri("example.test/feed");
    EXPECT_EQ(uri.Protocol, "");
    EXPECT_EQ(uri.Host, "");
}

// The normal and abnormal examples of RFC 3986 section 5.4.
TEST(Uri, ResolvesReferencesAsRfc3986) {
    const std::string base = "http://a/b/c/d;p?q";
    const std::pair<const char*, const char*> cases[] = {
        {"g:h", "g:h"},
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q#s"},
        {"g?y#s", "http://a/b/c/g?y#s"},
        {";x", "http://a/b/c/;x"},
        {"", "http://a/b/c/d;p?q"},
        {".", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../..", "http://a/"},
        {"../../g", "http://a/g"},
        {"../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"/../g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {"..g", "http://a/b/c/..g"},
        {"./../g", "http://a/b/g"},
        {"g/./h", "http://a/b/c/g/h"},
        {"g/../h", "http://a/b/c/h"},
        {"g;x=1/../y", "http://a/b/c/y"},
        {"g?y/../x", "http://a/b/c/g?y/../x"},
        {"http://other:8080/feed", "http://other:8080/feed"},
    };
    for (const auto& [ref, expected] : cases) {
        EXPECT_EQ(Uri::Resolve(base, ref), expected) << "reference \"" << ref << "\"";
    }
    // A base without a path still gets a "/" before a relative reference.
    EXPECT_EQ(Uri::Resolve("http://host:81", "feed.xml"), "http://host:81/feed.xml");
}

} // namespace
} // namespace zavrio
