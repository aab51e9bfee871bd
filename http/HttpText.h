#pragma once
// Text rules of the protocol's own grammar: header names and schemes compare
// in ASCII lower case, and header values are trimmed of blanks and tabs only.

#include <string>

namespace zavrio {

std::string HttpLower(std::string s);
std::string HttpTrim(const std::string& s);

} // namespace zavrio
