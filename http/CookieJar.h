#pragma once
// The cookies an HTTP client has been given, kept for the client's life.
//
// Cookies come from "Set-Cookie" (RFC 6265) and "Set-Cookie2" (RFC 2965)
// header values and go back in the "Cookie" header of later requests whose
// host domain-matches and whose path path-matches the cookie. A cookie with
// the same name, domain and path replaces the older one; one that is already
// expired (Max-Age 0 or less, or an Expires date in the past) removes it.
// "Secure" cookies go only with https requests.
//
// A server must not make the client hold an unbounded number of cookies: the
// jar keeps at most MaxPerDomain cookies of one domain and MaxCookies in all
// (the least numbers RFC 6265 section 6.1 asks a client to keep); a new
// cookie beyond either evicts the oldest one of that domain, or of the jar.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zavrio {

class Uri;

struct Cookie {
    std::string Name;
    std::string Value;
    std::string Domain; // lower case, without a leading "."
    bool HostOnly = true;
    std::string Path;
    bool Secure = false;
    std::uint64_t Order = 0; // creation order, for the sending order
};

class CookieJar {
public:
    static constexpr std::size_t MaxPerDomain = 50;
    static constexpr std::size_t MaxCookies = 3000;

    // Stores the cookie(s) of one header value received for uri.
    // setCookie2 selects the RFC 2965 form, where one value may carry
    // several comma-separated cookies. Malformed values are ignored.
    void AddServerCookie(const std::string& headerValue, const Uri& uri, bool setCookie2);

    // "name=value; name2=value2" for uri, longer paths first, then older
    // first; empty when none match.
    std::string CookieHeader(const Uri& uri) const;

    const std::vector<Cookie>& Cookies() const { return cookies_; }
    void Clear() { cookies_.clear(); }

private:
    void Store(Cookie cookie, bool expired);
    // Drops the oldest cookies among those matching until at most keep remain.
    void evictOldest(const std::function<bool(const Cookie&)>& among, std::size_t keep);

    std::vector<Cookie> cookies_;
    std::uint64_t nextOrder_ = 0;
};

} // namespace zavrio
