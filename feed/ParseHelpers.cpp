#include "ParseHelpers.h"

#include <array>
#include <string_view>

#include "feed/RSSChannel.h"
#include "feed/SimpleRSS.h"
#include "feed/XMLNode.h"
#include "platform/IntConvert.h"

namespace zavrio {

namespace {

// Hours in the order they are tried: "1".."23", then "0".
constexpr std::array<std::string_view, 24> HourTexts = {
    "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12",
    "13", "14", "15", "16", "17", "18", "19", "20", "21", "22", "23", "0"};

constexpr std::array<std::string_view, 7> DayTexts = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                      "Friday", "Saturday", "Sunday"};

// 0..63, or -1 outside the RFC 2045 alphabet.
int base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

std::string decodeBase64(const std::string& text) {
    if (text.size() % 4 != 0)
        throw ConvertError("Uneven size in DecodeToStream.");
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        // Characters outside the alphabet (pads in the first two places, line
        // breaks, blanks) carry no bits rather than being skipped, so every
        // group stays four characters wide.
        unsigned group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            int value = base64Value(text[i + k]);
            group = group << 6 | static_cast<unsigned>(value < 0 ? 0 : value);
        }
        std::size_t count = text[i + 2] == '=' ? 1 : text[i + 3] == '=' ? 2 : 3;
        bytes += static_cast<char>(group >> 16 & 0xFF);
        if (count > 1)
            bytes += static_cast<char>(group >> 8 & 0xFF);
        if (count > 2)
            bytes += static_cast<char>(group & 0xFF);
    }
    return bytes;
}

} // namespace

TLanguages LanguageFromCode(const std::string& text) {
    for (int i = 0; i < LanguageCodeCount; ++i) {
        auto language = static_cast<TLanguages>(i);
        if (LanguageCode(language) == text)
            return language;
    }
    return langX;
}

void ReadSkipHours(const IXMLNode& element, TRSSChannelSkipHours& hours) {
    int count = element.ChildCount();
    for (int i = 0; i < count; ++i) {
        XMLValue value = element.ChildAt(i).TextValue();
        if (!value)
            continue;
        for (std::size_t row = 0; row < HourTexts.size(); ++row)
            if (*value == HourTexts[row])
                hours.SetHour(row == HourTexts.size() - 1 ? 0 : static_cast<int>(row) + 1, true);
    }
}

void ReadSkipDays(const IXMLNode& element, TRSSChannelSkipDays& days) {
    using Setter = void (TRSSChannelSkipDays::*)(bool);
    static constexpr std::array<Setter, 7> Setters = {
        &TRSSChannelSkipDays::SetMonday,    &TRSSChannelSkipDays::SetTuesday,
        &TRSSChannelSkipDays::SetWednesday, &TRSSChannelSkipDays::SetThursday,
        &TRSSChannelSkipDays::SetFriday,    &TRSSChannelSkipDays::SetSaturday,
        &TRSSChannelSkipDays::SetSunday};
    int count = element.ChildCount();
    for (int i = 0; i < count; ++i) {
        XMLValue value = element.ChildAt(i).TextValue();
        if (!value)
            continue;
        for (std::size_t row = 0; row < DayTexts.size(); ++row)
            if (*value == DayTexts[row])
                (days.*Setters[row])(true);
    }
}

void ReadSkipHours(const IXMLNode& element, TSimpleRSS& owner) {
    ReadSkipHours(element, owner.Channel().Optional().SkipHours());
}

void ReadSkipDays(const IXMLNode& element, TSimpleRSS& owner) {
    ReadSkipDays(element, owner.Channel().Optional().SkipDays());
}

std::string DecodeContent(std::uint8_t mode, const std::string& text) {
    // Hand-written rather than a library decoder: the group-of-four rule
    // (nothing skipped, a pad in the third place ends the group) and the
    // uneven-size failure must hold exactly, which general decoders that skip
    // whitespace or reject stray characters do not give.
    return mode == 0 ? decodeBase64(text) : text;
}

} // namespace zavrio
