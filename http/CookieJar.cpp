#include "http/CookieJar.h"
#include "http/HttpText.h"
#include "platform/TextToolkit.h"

#include "http/Uri.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace zavrio {

namespace {

std::string Unquote(const std::string& s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') {
        return s.substr(1, s.size() - 2);
    }
    return s;
}

// Splits at sep outside double quotes.
std::vector<std::string> SplitOutsideQuotes(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::string cur;
    bool quoted = false;
    for (char c : s) {
        if (c == '"') {
            quoted = !quoted;
        }
        if (c == sep && !quoted) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    return parts;
}

// RFC 6265 section 5.1.3.
bool DomainMatches(const std::string& host, const std::string& domain) {
    if (host == domain) {
        return true;
    }
    if (host.size() <= domain.size() || Uri("http://" + host).HostIsAddress()) {
        return false;
    }
    return host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
           host[host.size() - domain.size() - 1] == '.';
}

// RFC 6265 section 5.1.4.
bool PathMatches(const std::string& requestPath, const std::string& cookiePath) {
    if (requestPath == cookiePath) {
        return true;
    }
    if (requestPath.rfind(cookiePath, 0) != 0) {
        return false;
    }
    return cookiePath.back() == '/' || requestPath[cookiePath.size()] == '/';
}

std::string DefaultPath(const std::string& requestPath) {
    if (requestPath.empty() || requestPath[0] != '/') {
        return "/";
    }
    const auto last = requestPath.rfind('/');
    return last == 0 ? std::string("/") : requestPath.substr(0, last);
}

// Accepts the usual cookie date forms ("Wdy, DD Mon YYYY HH:MM:SS GMT" and
// "Wdy, DD-Mon-YY HH:MM:SS GMT"); returns false when the date is unreadable,
// which makes the attribute ignored.
bool ParseCookieDate(const std::string& text, std::time_t& out) {
    static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    std::tm tm{};
    bool haveTime = false, haveDay = false, haveMonth = false, haveYear = false;
    std::string token;
    auto handle = [&](const std::string& tok) {
        if (tok.empty()) {
            return;
        }
        int h, m, s;
        if (!haveTime && std::sscanf(tok.c_str(), "%d:%d:%d", &h, &m, &s) == 3) {
            tm.tm_hour = h;
            tm.tm_min = m;
            tm.tm_sec = s;
            haveTime = true;
            return;
        }
        if (std::isdigit(static_cast<unsigned char>(tok[0]))) {
            const int v = std::atoi(tok.c_str());
            if (!haveDay && tok.size() <= 2) {
                tm.tm_mday = v;
                haveDay = true;
            } else if (!haveYear) {
                tm.tm_year = (v < 70 ? v + 2000 : v < 100 ? v + 1900 : v) - 1900;
                haveYear = true;
            }
            return;
        }
        const std::string l = AsciiLowerCopy(tok.substr(0, 3));
        for (int i = 0; i < 12 && !haveMonth; ++i) {
            if (l == months[i]) {
                tm.tm_mon = i;
                haveMonth = true;
            }
        }
    };
    for (char c : text) {
        if (c == ' ' || c == ',' || c == '-' || c == '\t') {
            handle(token);
            token.clear();
        } else {
            token += c;
        }
    }
    handle(token);
    if (!(haveDay && haveMonth && haveYear)) {
        return false;
    }
    out = timegm(&tm);
    return true;
}

} // namespace

void CookieJar::AddServerCookie(const std::string& headerValue, const Uri& uri, bool setCookie2) {
    std::vector<std::string> cookies;
    if (setCookie2) {
        cookies = SplitOutsideQuotes(headerValue, ',');
    } else {
        // Expires dates contain commas, so a Set-Cookie value is one cookie.
        cookies.push_back(headerValue);
    }
    const std::string host = AsciiLowerCopy(uri.Host);
    for (const std::string& one : cookies) {
        const auto parts = SplitOutsideQuotes(one, ';');
        const std::string pair = HttpTrim(parts[0]);
        const auto eq = pair.find('=');
        if (eq == std::string::npos || HttpTrim(pair.substr(0, eq)).empty()) {
            continue;
        }
        Cookie cookie;
        cookie.Name = HttpTrim(pair.substr(0, eq));
        cookie.Value = HttpTrim(pair.substr(eq + 1));
        if (setCookie2) {
            cookie.Value = Unquote(cookie.Value);
        }
        cookie.Domain = host;
        cookie.Path = DefaultPath(uri.Path);
        bool expired = false;
        bool haveMaxAge = false;
        bool rejected = false;
        for (std::size_t i = 1; i < parts.size(); ++i) {
            const std::string attr = HttpTrim(parts[i]);
            const auto aeq = attr.find('=');
            const std::string key = AsciiLowerCopy(HttpTrim(attr.substr(0, aeq)));
            const std::string value =
                aeq == std::string::npos ? std::string() : Unquote(HttpTrim(attr.substr(aeq + 1)));
            if (key == "domain" && !value.empty()) {
                std::string domain = AsciiLowerCopy(value);
                if (domain[0] == '.') {
                    domain.erase(0, 1);
                }
                if (!DomainMatches(host, domain)) {
                    rejected = true; // a server may not set cookies for others
                } else {
                    cookie.Domain = domain;
                    cookie.HostOnly = false;
                }
            } else if (key == "path" && !value.empty() && value[0] == '/') {
                cookie.Path = value;
            } else if (key == "max-age") {
                char* end = nullptr;
                const long long age = std::strtoll(value.c_str(), &end, 10);
                if (!value.empty() && end && *end == '\0') {
                    haveMaxAge = true;
                    expired = age <= 0;
                }
            } else if (key == "expires" && !haveMaxAge) {
                std::time_t when;
                if (ParseCookieDate(value, when)) {
                    expired = when <= std::time(nullptr);
                }
            } else if (key == "secure") {
                cookie.Secure = true;
            } else if (key == "discard" || key == "version" || key == "comment" ||
                       key == "commenturl" || key == "port" || key == "httponly") {
                // Kept for the client's life anyway; nothing to do.
            }
        }
        if (!rejected) {
            Store(std::move(cookie), expired);
        }
    }
}

void CookieJar::Store(Cookie cookie, bool expired) {
    const auto same = std::find_if(cookies_.begin(), cookies_.end(), [&](const Cookie& c) {
        return c.Name == cookie.Name && c.Domain == cookie.Domain && c.Path == cookie.Path;
    });
    if (expired) {
        if (same != cookies_.end()) {
            cookies_.erase(same);
        }
        return;
    }
    if (same != cookies_.end()) {
        cookie.Order = same->Order; // a replaced cookie keeps its place
        *same = std::move(cookie);
        return;
    }
    cookie.Order = nextOrder_++;
    evictOldest([&](const Cookie& c) { return c.Domain == cookie.Domain; }, MaxPerDomain - 1);
    evictOldest([](const Cookie&) { return true; }, MaxCookies - 1);
    cookies_.push_back(std::move(cookie));
}

void CookieJar::evictOldest(const std::function<bool(const Cookie&)>& among, std::size_t keep) {
    // cookies_ is in creation order except for replacements, which keep
    // their order number in place; the oldest is the smallest number.
    for (;;) {
        auto oldest = cookies_.end();
        std::size_t count = 0;
        for (auto it = cookies_.begin(); it != cookies_.end(); ++it) {
            if (!among(*it))
                continue;
            ++count;
            if (oldest == cookies_.end() || it->Order < oldest->Order)
                oldest = it;
        }
        if (count <= keep)
            return;
        cookies_.erase(oldest);
    }
}

std::string CookieJar::CookieHeader(const Uri& uri) const {
    const std::string host = AsciiLowerCopy(uri.Host);
    const std::string path = uri.Path.empty() ? std::string("/") : uri.Path;
    const bool secure = uri.Protocol == "https";
    std::vector<const Cookie*> matching;
    for (const Cookie& c : cookies_) {
        const bool domainOk = c.HostOnly ? host == c.Domain : DomainMatches(host, c.Domain);
        if (domainOk && PathMatches(path, c.Path) && (secure || !c.Secure)) {
            matching.push_back(&c);
        }
    }
    std::stable_sort(matching.begin(), matching.end(), [](const Cookie* a, const Cookie* b) {
        if (a->Path.size() != b->Path.size()) {
            return a->Path.size() > b->Path.size();
        }
        return a->Order < b->Order;
    });
    std::string header;
    for (const Cookie* c : matching) {
        if (!header.empty()) {
            header += "; ";
        }
        header += c->Name + "=" + c->Value;
    }
    return header;
}

} // namespace zavrio
