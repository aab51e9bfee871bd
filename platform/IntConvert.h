#pragma once
// The program's string-to-integer conversion, shared by the settings file, the
// command line and the hexadecimal helpers.
//
// Accepted: optional leading blanks (code 32 or less), an optional sign, then
// either decimal digits or hexadecimal digits after "$", "0x" or "0X". Nothing
// may follow the digits. Decimal values must fit a signed 32-bit integer;
// hexadecimal values may use all 32 bits and wrap ("$FFFFFFFF" is -1).

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zavrio {

// A text that is not a number; the message is "'%s' is not a valid integer value".
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::optional<std::int32_t> TryStrToInt(std::string_view text);

// Throws ConvertError naming the text.
std::int32_t StrToInt(std::string_view text);

} // namespace zavrio
