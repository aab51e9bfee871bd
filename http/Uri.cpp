#include "http/Uri.h"
#include "http/HttpText.h"
#include "platform/TextToolkit.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>

namespace zavrio {

namespace {

// The five parts of RFC 3986 section 3; "defined" flags tell an empty
// authority or query from an absent one, which resolution must respect.
struct TRefParts {
    std::string scheme;
    bool hasScheme = false;
    std::string authority;
    bool hasAuthority = false;
    std::string path;
    std::string query;
    bool hasQuery = false;
    std::string fragment;
    bool hasFragment = false;
};

TRefParts SplitReference(const std::string& ref) {
    TRefParts p;
    std::string rest = ref;
    const auto hash = rest.find('#');
    if (hash != std::string::npos) {
        p.hasFragment = true;
        p.fragment = rest.substr(hash + 1);
        rest.erase(hash);
    }
    const auto qm = rest.find('?');
    if (qm != std::string::npos) {
        p.hasQuery = true;
        p.query = rest.substr(qm + 1);
        rest.erase(qm);
    }
    const auto colon = rest.find(':');
    if (colon != std::string::npos && colon > 0 &&
        std::isalpha(static_cast<unsigned char>(rest[0]))) {
        const bool schemeChars =
            std::all_of(rest.begin(), rest.begin() + static_cast<long>(colon), [](unsigned char c) {
                return std::isalnum(c) || c == '+' || c == '-' || c == '.';
            });
        if (schemeChars) {
            p.hasScheme = true;
            p.scheme = rest.substr(0, colon);
            rest.erase(0, colon + 1);
        }
    }
    if (rest.rfind("//", 0) == 0) {
        p.hasAuthority = true;
        const auto slash = rest.find('/', 2);
        p.authority = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    p.path = rest;
    return p;
}

// RFC 3986 section 5.2.4.
std::string RemoveDotSegments(std::string in) {
    std::string out;
    while (!in.empty()) {
        if (in.rfind("../", 0) == 0) {
            in.erase(0, 3);
        } else if (in.rfind("./", 0) == 0) {
            in.erase(0, 2);
        } else if (in.rfind("/./", 0) == 0) {
            in.erase(0, 2);
        } else if (in == "/.") {
            in = "/";
        } else if (in.rfind("/../", 0) == 0 || in == "/..") {
            in = in == "/.." ? "/" : in.substr(3);
            const auto last = out.rfind('/');
            out.erase(last == std::string::npos ? 0 : last);
        } else if (in == "." || in == "..") {
            in.clear();
        } else {
            const auto next = in.find('/', in[0] == '/' ? 1 : 0);
            out += in.substr(0, next);
            in = next == std::string::npos ? std::string() : in.substr(next);
        }
    }
    return out;
}

std::string Recompose(const TRefParts& p) {
    std::string s;
    if (p.hasScheme) {
        s += p.scheme + ":";
    }
    if (p.hasAuthority) {
        s += "//" + p.authority;
    }
    s += p.path;
    if (p.hasQuery) {
        s += "?" + p.query;
    }
    if (p.hasFragment) {
        s += "#" + p.fragment;
    }
    return s;
}

} // namespace

Uri::Uri(const std::string& address) : Address(address) {
    std::string rest = address;
    const auto sep = rest.find("://");
    if (sep != std::string::npos) {
        Protocol = AsciiLowerCopy(rest.substr(0, sep));
        rest.erase(0, sep + 3);
        const auto end = rest.find_first_of("/?#");
        std::string authority = rest.substr(0, end);
        rest = end == std::string::npos ? std::string() : rest.substr(end);
        const auto at = authority.rfind('@');
        if (at != std::string::npos) {
            authority.erase(0, at + 1);
        }
        if (!authority.empty() && authority[0] == '[') {
            const auto close = authority.find(']');
            Host = authority.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            if (close != std::string::npos && close + 1 < authority.size() &&
                authority[close + 1] == ':') {
                Port = authority.substr(close + 2);
            }
        } else {
            const auto colon = authority.rfind(':');
            Host = authority.substr(0, colon);
            if (colon != std::string::npos) {
                Port = authority.substr(colon + 1);
            }
        }
    }
    const auto hash = rest.find('#');
    if (hash != std::string::npos) {
        Fragment = rest.substr(hash);
        rest.erase(hash);
    }
    const auto qm = rest.find('?');
    if (qm != std::string::npos) {
        Query = rest.substr(qm);
        rest.erase(qm);
    }
    Path = rest;
}

std::optional<int> Uri::PortNumber() const {
    if (Port.empty())
        return std::nullopt;
    if (Port.size() > 5 ||
        !std::all_of(Port.begin(), Port.end(), [](unsigned char c) { return std::isdigit(c); }))
        return 0;
    const int port = std::stoi(Port);
    return port <= 65535 ? port : 0;
}

std::string Uri::Target() const {
    return (Path.empty() ? std::string("/") : Path) + Query;
}

bool Uri::HostIsAddress() const {
    unsigned char buf[16];
    return inet_pton(AF_INET, Host.c_str(), buf) == 1 ||
           inet_pton(AF_INET6, Host.c_str(), buf) == 1;
}

std::string Uri::Resolve(const std::string& base, const std::string& reference) {
    const TRefParts r = SplitReference(reference);
    const TRefParts b = SplitReference(base);
    TRefParts t;
    if (r.hasScheme) {
        t = r;
        t.path = RemoveDotSegments(r.path);
    } else {
        if (r.hasAuthority) {
            t.hasAuthority = true;
            t.authority = r.authority;
            t.path = RemoveDotSegments(r.path);
            t.hasQuery = r.hasQuery;
            t.query = r.query;
        } else {
            if (r.path.empty()) {
                t.path = b.path;
                t.hasQuery = r.hasQuery || b.hasQuery;
                t.query = r.hasQuery ? r.query : b.query;
            } else {
                if (r.path[0] == '/') {
                    t.path = RemoveDotSegments(r.path);
                } else if (b.hasAuthority && b.path.empty()) {
                    t.path = RemoveDotSegments("/" + r.path);
                } else {
                    const auto last = b.path.rfind('/');
                    const std::string merged =
                        (last == std::string::npos ? std::string() : b.path.substr(0, last + 1)) +
                        r.path;
                    t.path = RemoveDotSegments(merged);
                }
                t.hasQuery = r.hasQuery;
                t.query = r.query;
            }
            t.hasAuthority = b.hasAuthority;
            t.authority = b.authority;
        }
        t.hasScheme = b.hasScheme;
        t.scheme = b.scheme;
    }
    t.hasFragment = r.hasFragment;
    t.fragment = r.fragment;
    return Recompose(t);
}

} // namespace zavrio
