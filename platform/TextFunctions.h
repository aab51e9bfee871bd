#pragma once
// Small text functions shared by the windows and the installer. Positions
// count from 1 and 0 means "not found"; texts are 8-bit (UTF-8) strings and
// lengths count bytes.

#include <cstdint>
#include <string>

namespace zavrio {

// Position of pattern in text, both lower-cased (A-Z only); 0 when absent or
// when pattern is empty.
int PosNoCase(const std::string& pattern, const std::string& text);

// text without any character that occurs in chars.
std::string DeleteChars(const std::string& text, const std::string& chars);

// The signed 32-bit value of "$" + text; throws ConvertError
// ("'$text' is not a valid integer value") when it is not hexadecimal.
std::int32_t HexToInt(const std::string& text);

} // namespace zavrio
