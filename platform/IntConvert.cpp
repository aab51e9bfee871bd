#include "IntConvert.h"

#include "platform/TextToolkit.h"

namespace zavrio {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;

    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        int digit =
            hex ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (hex ? value > 0xFFFFFFFFull : value > 0x80000000ull)
            return std::nullopt;
    }
    if (hex) {
        auto bits = static_cast<std::uint32_t>(value);
        if (negative)
            bits = ~bits + 1u;
        return static_cast<std::int32_t>(bits);
    }
    if (!negative && value > 0x7FFFFFFFull)
        return std::nullopt;
    auto wide = static_cast<std::int64_t>(value);
    return static_cast<std::int32_t>(negative ? -wide : wide);
}

std::int32_t StrToInt(std::string_view text) {
    if (auto value = TryStrToInt(text))
        return *value;
    throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
}

} // namespace zavrio
