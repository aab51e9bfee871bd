#pragma once
// Small helpers for the format parser tests: loading a document through the
// feed component, reading fixtures, and model parts as plain values.

#include "TempDirectory.h"
#include "feed/DateTimeFunctions.h"
#include "feed/FeedModel.h"
#include "feed/SimpleRSS.h"

#include <cstdio>
#include <exception>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

namespace zavrio::parsertest {

using test::ReadFixture;

// Loads xml into rss and gives the failure's message, or "" when it loaded.
inline std::string LoadError(TSimpleRSS& rss, std::string_view xml) {
    try {
        rss.LoadFromBytes(xml);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

// "YYYY-MM-DD hh:mm:ss", for comparing model dates with what a feed says.
inline std::string DateText(TDateTime value) {
    const DateTimeParts p = DecodeDateTime(value);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.Year, p.Month, p.Day,
                  p.Hour, p.Minute, p.Second);
    return text;
}

// A model part as a plain value: a test compares the whole part in one
// expectation, and a failure prints every field of both sides.
struct EnclosureFields {
    bool Include;
    std::string URL;
    int Length;
    std::string Type;
    bool operator==(const EnclosureFields&) const = default;
};
inline EnclosureFields Fields(const TRSSItemEnclosure& e) {
    return {e.Include(), e.URL(), e.Length(), e.EnclosureType()};
}
inline void PrintTo(const EnclosureFields& f, std::ostream* os) {
    *os << "{Include " << f.Include << ", URL \"" << f.URL << "\", Length " << f.Length
        << ", Type \"" << f.Type << "\"}";
}

struct SourceFields {
    bool Include;
    std::string Title;
    std::string URL;
    bool operator==(const SourceFields&) const = default;
};
inline SourceFields Fields(const TRSSItemSource& s) {
    return {s.Include(), s.Title(), s.URL()};
}
inline void PrintTo(const SourceFields& f, std::ostream* os) {
    *os << "{Include " << f.Include << ", Title \"" << f.Title << "\", URL \"" << f.URL << "\"}";
}

struct ImageFields {
    bool Include;
    std::string URL;
    std::string Title;
    std::string Link;
    std::string Description;
    int Width;
    int Height;
    bool operator==(const ImageFields&) const = default;
};
inline ImageFields Fields(const TRSSImage& i) {
    return {i.Include(),          i.Required().URL(),         i.Required().Title(),
            i.Required().Link(),  i.Optional().Description(), i.Optional().Width(),
            i.Optional().Height()};
}
inline void PrintTo(const ImageFields& f, std::ostream* os) {
    *os << "{Include " << f.Include << ", URL \"" << f.URL << "\", Title \"" << f.Title
        << "\", Link \"" << f.Link << "\", Description \"" << f.Description << "\", Width "
        << f.Width << ", Height " << f.Height << "}";
}

struct TextInputFields {
    bool Include;
    std::string Title;
    std::string Description;
    std::string Name;
    std::string Link;
    bool operator==(const TextInputFields&) const = default;
};
inline TextInputFields Fields(const TRSSTextInput& t) {
    return {t.Include(), t.Title(), t.Description(), t.TextInputName(), t.Link()};
}
inline void PrintTo(const TextInputFields& f, std::ostream* os) {
    *os << "{Include " << f.Include << ", Title \"" << f.Title << "\", Description \""
        << f.Description << "\", Name \"" << f.Name << "\", Link \"" << f.Link << "\"}";
}

} // namespace zavrio::parsertest
