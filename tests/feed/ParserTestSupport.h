#pragma once
// Small helpers for the format parser tests: loading a document through the
// feed component and reading fixtures.

#include "feed/DateTimeFunctions.h"
#include "feed/SimpleRSS.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

namespace zavrio::parsertest {

inline std::string ReadFixture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open fixture " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

} // namespace zavrio::parsertest
