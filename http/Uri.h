#pragma once
// The parts of an address, as the HTTP client needs them.
//
// Parsing never re-encodes: the request target is the path and query exactly
// as written in the address. Resolve implements reference resolution of
// RFC 3986 section 5 for relative "Location" values.

#include <optional>
#include <string>

namespace zavrio {

class Uri {
public:
    Uri() = default;
    // Splits "scheme://[user@]host[:port]/path?query#fragment". An address
    // without "://" has an empty scheme and host and is all path. Never throws.
    explicit Uri(const std::string& address);

    std::string Address;  // as given
    std::string Protocol; // lower case, "" when absent
    std::string Host;     // as written, IPv6 literals without brackets
    std::string Port;     // "" when absent
    std::string Path;     // from the first "/" up to "?" or "#", may be ""
    std::string Query;    // with its "?", "" when absent
    std::string Fragment; // with its "#", "" when absent

    // path + query, "/" when the path is empty.
    std::string Target() const;
    // Port as a number: std::nullopt when the address names no port, 0 when
    // Port is not a number from 1 to 65535.
    std::optional<int> PortNumber() const;
    // True when Host is an IPv4 or IPv6 literal.
    bool HostIsAddress() const;

    // The absolute address that reference names relative to base.
    static std::string Resolve(const std::string& base, const std::string& reference);
};

} // namespace zavrio
