#pragma once
// Failures raised by the XML document layer (TXMLDocument, IXMLNode).

#include <stdexcept>
#include <string>

namespace zavrio {

// A node operation that the node's content does not allow, for example Text of
// an element holding markup: "Element does not contain a single text node".
class EXMLDocError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Malformed input given to TXMLDocument::Load. The message is
// Reason + "\r\n" + "Line: " + Line + "\r\n" + SrcText, where SrcText is the first
// 40 characters of the offending source line.
class EDOMParseError : public std::runtime_error {
public:
    EDOMParseError(std::string reason, int line, std::string srcText);

    const std::string& Reason() const { return reason_; }
    int Line() const { return line_; }
    const std::string& SrcText() const { return srcText_; }

private:
    std::string reason_;
    int line_;
    std::string srcText_;
};

} // namespace zavrio
