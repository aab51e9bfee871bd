#pragma once
// The failure type of the feed component and its parsers: a message and
// nothing more.

#include <stdexcept>

namespace zavrio {

class ESimpleRSSException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace zavrio
