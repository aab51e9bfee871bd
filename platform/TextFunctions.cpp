#include "TextFunctions.h"

#include "platform/IntConvert.h"
#include "platform/TextToolkit.h"

#include <cctype>

namespace zavrio {

int PosNoCase(const std::string& pattern, const std::string& text) {
    if (pattern.empty())
        return 0;
    const std::size_t at = FindNoCase(text, pattern);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string DeleteChars(const std::string& text, const std::string& chars) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (chars.find(c) == std::string::npos)
            out += c;
    return out;
}

std::int32_t HexToInt(const std::string& text) {
    // Only hex digits may follow the "$": blanks or a sign would pass the
    // general conversion but are no hexadecimal number.
    const std::string dollar = "$" + text;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            throw ConvertError("'" + dollar + "' is not a valid integer value");
    return StrToInt(dollar);
}

} // namespace zavrio
