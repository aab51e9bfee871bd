#include "config/DescriptionHint.h"

#include "platform/TextToolkit.h"

#include <vector>

namespace zavrio {

namespace {

// True when some proper prefix of pattern is also its suffix (letter case
// ignored): only then can two occurrences overlap.
bool hasBorder(std::string_view pattern) {
    for (std::size_t n = 1; n < pattern.size(); ++n)
        if (SameTextNoCase(pattern.substr(0, n), pattern.substr(pattern.size() - n)))
            return true;
    return false;
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           SameTextNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// Every occurrence of text in s, left to right, without rescanning what was
// put in: the replacement never forms a new match.
std::string replaceOnce(std::string_view s, std::string_view what, std::string_view with) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0;;) {
        const std::size_t at = s.find(what, i);
        if (at == std::string_view::npos) {
            out.append(s.substr(i));
            return out;
        }
        out.append(s.substr(i, at - i)).append(with);
        i = at + what.size();
    }
}

// Splits at CR LF, CR or LF; a line end at the very end starts no new line.
std::vector<std::string_view> splitLines(std::string_view s) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\r' && s[i] != '\n')
            continue;
        lines.push_back(s.substr(start, i - start));
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < s.size())
        lines.push_back(s.substr(start));
    return lines;
}

// One pass that gives what deleting the first tag (or the text up to a
// stray ">", or after an unclosed "<") again and again would.
std::string removeMarkup(const std::string& s) {
    std::string kept;
    std::size_t i = 0;
    std::size_t lt = s.find('<'), gt = s.find('>');
    for (;;) {
        if (lt != std::string::npos && lt < i)
            lt = s.find('<', i);
        if (gt != std::string::npos && gt < i)
            gt = s.find('>', i);
        if (lt == std::string::npos && gt == std::string::npos) {
            kept.append(s, i);
            return kept;
        }
        if (gt != std::string::npos && (lt == std::string::npos || gt < lt)) {
            // Deleting from the start through ">" takes what was kept too.
            kept.clear();
            i = gt + 1;
        } else if (gt != std::string::npos) {
            kept.append(s, i, lt - i);
            i = gt + 1;
        } else {
            kept.append(s, i, lt - i);
            return kept;
        }
    }
}

} // namespace

void DeleteAllNoCase(std::string_view pattern, std::string& s) {
    if (pattern.empty())
        return;
    if (hasBorder(pattern)) {
        // The rule itself: overlapping occurrences make the order matter.
        for (std::size_t at; (at = FindNoCase(s, pattern)) != std::string_view::npos;)
            s.erase(at, pattern.size());
        return;
    }
    // Without a border, removing each occurrence the moment its last
    // character arrives gives the same text as rescanning from the start
    // after every removal, in one pass.
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        out += c;
        if (endsWithNoCase(out, pattern))
            out.resize(out.size() - pattern.size());
    }
    s = std::move(out);
}

std::string HtmlToPlainText(std::string s) {
    s = removeMarkup(s);
    DeleteAllNoCase("&nbsp", s);
    DeleteAllNoCase("&gt", s);
    if (!s.empty()) {
        const std::vector<std::string_view> lines = splitLines(s);
        std::string joined;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string_view line = TrimBlanks(lines[i]);
            if (line.empty())
                continue;
            joined.append(line);
            if (i + 1 < lines.size())
                joined.append("\r\n");
        }
        s = std::move(joined);
    }
    s = replaceOnce(s, "&quot;", "\"");
    s = replaceOnce(s, "&#39;", "'");
    return replaceOnce(s, "&amp;", "&");
}

std::string DescriptionHint(const std::string& description) {
    const std::string t = HtmlToPlainText(description);
    const std::size_t from = t.find("From:");
    if (from == std::string::npos)
        return std::string(CutToCharacters(t, 150)) + "...";
    // The two characters before "From:" go as well (whole characters).
    std::size_t end = from;
    for (int dropped = 0; dropped < 2 && end > 0; ++dropped) {
        --end;
        while (end > 0 && IsUtf8Continuation(t[end]))
            --end;
    }
    return t.substr(0, end);
}

} // namespace zavrio
