#pragma once
// The integer conversion of the feed code: an optionally signed decimal
// integer that fits 32 bits, with blanks (codes 32 and below) allowed around
// it and nothing else. Hexadecimal, fractions, separators and words are
// refused.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/IntConvert.h"

namespace zavrio {

std::optional<std::int32_t> TryFeedStrToInt(std::string_view text);

// Throws ConvertError "'<text>' is not a valid integer value".
std::int32_t FeedStrToInt(std::string_view text);

// The integer text spells, or fallback when it spells none.
std::int32_t FeedStrToIntDef(std::string_view text, std::int32_t fallback);

} // namespace zavrio
