#pragma once
// Header values are trimmed of the protocol's optional whitespace, blanks and
// tabs only: other control characters are part of the value. (Names and
// schemes compare in ASCII lower case: AsciiLowerCopy of the text toolkit.)

#include <string>

namespace zavrio {

std::string HttpTrim(const std::string& s);

} // namespace zavrio
