#include "feed/XMLInputLimits.h"

#include "feed/XMLErrors.h"

#include <algorithm>
#include <string>

namespace zavrio {

namespace {

// Follows quoting character by character: true while c is inside (or opens
// or closes) a quoted value, quote holding the open quote character.
bool quoted(char c, char& quote) {
    if (quote) {
        if (c == quote)
            quote = 0;
        return true;
    }
    if (c == '"' || c == '\'') {
        quote = c;
        return true;
    }
    return false;
}

// Position just past the first occurrence of end at or after from, or the
// end of the text.
std::size_t skipPast(std::string_view text, std::size_t from, std::string_view end) {
    const std::size_t at = text.find(end, from);
    return at == std::string_view::npos ? text.size() : at + end.size();
}

// The document type declaration may hold an internal subset in brackets,
// whose declarations hold ">" of their own.
std::size_t skipDoctype(std::string_view text, std::size_t from) {
    int depth = 0;
    char quote = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted(c, quote)) {
            continue;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            depth = std::max(0, depth - 1);
        } else if (c == '>' && depth == 0) {
            return i + 1;
        }
    }
    return text.size();
}

[[noreturn]] void tooManyAttributes(std::string_view text, std::size_t tagStart) {
    const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + tagStart, '\n'));
    throw EDOMParseError("An element has more than " + std::to_string(MaxAttributesPerElement) +
                             " attributes, the limit for a document",
                         line, std::string(text.substr(tagStart, 40)));
}

} // namespace

void CheckXMLInputLimits(std::string_view text) {
    if (text.size() > MaxDocumentBytes)
        throw EDOMParseError("The document of " + std::to_string(text.size()) +
                                 " bytes exceeds the limit of " + std::to_string(MaxDocumentBytes) +
                                 " bytes",
                             0, "");
    std::size_t i = 0;
    while ((i = text.find('<', i)) != std::string_view::npos) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<!--")) {
            i = skipPast(text, i + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            i = skipPast(text, i + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            i = skipPast(text, i + 2, "?>");
        } else if (rest.starts_with("<!")) {
            i = skipDoctype(text, i + 2);
        } else {
            // A start or end tag. No "<" can stand inside a tag, so the tag
            // and the text after it reach to the next "<"; when that stretch
            // holds few "=" at all, the tag cannot hold many attributes.
            const std::size_t next = std::min(text.find('<', i + 1), text.size());
            if (static_cast<std::size_t>(std::count(text.begin() + static_cast<long>(i),
                                                    text.begin() + static_cast<long>(next), '=')) <=
                MaxAttributesPerElement) {
                i = next;
                continue;
            }
            // Otherwise every "=" outside quotes starts an attribute.
            const std::size_t tagStart = i;
            std::size_t attributes = 0;
            char quote = 0;
            for (++i; i < text.size(); ++i) {
                const char c = text[i];
                if (quoted(c, quote)) {
                    continue;
                } else if (c == '=') {
                    if (++attributes > MaxAttributesPerElement)
                        tooManyAttributes(text, tagStart);
                } else if (c == '>') {
                    ++i;
                    break;
                }
            }
        }
    }
}

} // namespace zavrio
