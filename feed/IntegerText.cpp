#include "IntegerText.h"

#include "platform/TextToolkit.h"

#include <cstdint>
#include <string>

namespace zavrio {

std::optional<std::int32_t> TryFeedStrToInt(std::string_view text) {
    text = TrimBlanks(text);

    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;

    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{INT32_MAX} + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t FeedStrToInt(std::string_view text) {
    if (auto value = TryFeedStrToInt(text))
        return *value;
    throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
}

std::int32_t FeedStrToIntDef(std::string_view text, std::int32_t fallback) {
    return TryFeedStrToInt(text).value_or(fallback);
}

} // namespace zavrio
