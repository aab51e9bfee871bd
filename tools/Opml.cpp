#include "tools/Opml.h"

#include "feed/XMLDocument.h"
#include "feed/XMLErrors.h"
#include "platform/TextToolkit.h"

#include <cstdint>
#include <set>

namespace zavrio {

namespace {

// Length of the well-formed UTF-8 sequence at text[i], or 0 when there is none.
std::size_t utf8SequenceAt(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    std::uint32_t min = 0;
    std::uint32_t code = 0;
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, code = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, code = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, code = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3Fu);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < min || code > 0x10FFFF || surrogate ? 0 : length;
}

std::string attributeText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t length = utf8SequenceAt(text, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (length > 1) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        // Written as references so that a reader's attribute normalisation
        // does not turn them into spaces.
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20)
                out += c;
        }
        ++i;
    }
    return out;
}

void collectOutlines(const IXMLNode& parent, std::vector<FeedEntry>& feeds) {
    for (int i = 0; i < parent.ChildCount(); ++i) {
        const IXMLNode child = parent.ChildAt(i);
        if (child.NodeType() != ntElement || !child.HasLocalName("outline"))
            continue;
        const XMLValue address = child.AttributeValue("xmlUrl");
        if (address && !address->empty()) {
            XMLValue name = child.AttributeValue("text");
            if (!name || name->empty())
                name = child.AttributeValue("title");
            feeds.push_back({name && !name->empty() ? *name : *address, *address});
        }
        collectOutlines(child, feeds);
    }
}

// The name made one the settings file keeps as it is.
std::string holdableName(const FeedEntry& outline) {
    std::string name = outline.Name;
    for (char& c : name)
        if (c == '=' || c == '[' || c == ']' || IsBlank(c))
            c = ' ';
    name = std::string(TrimBlanks(name));
    return name.empty() ? outline.Address : name;
}

bool nameTaken(const std::vector<FeedEntry>& feeds, const std::string& name) {
    for (const FeedEntry& feed : feeds)
        if (SameTextNoCase(feed.Name, name))
            return true;
    return false;
}

} // namespace

std::string WriteOpml(const std::vector<FeedEntry>& feeds) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<opml version=\"2.0\">\n"
                      "  <head>\n"
                      "    <title>Zavrio screensaver feeds</title>\n"
                      "  </head>\n"
                      "  <body>\n";
    for (const FeedEntry& feed : feeds) {
        const std::string name = attributeText(feed.Name);
        out += "    <outline type=\"rss\" text=\"" + name + "\" title=\"" + name + "\" xmlUrl=\"" +
               attributeText(feed.Address) + "\"/>\n";
    }
    out += "  </body>\n</opml>\n";
    return out;
}

std::vector<FeedEntry> ReadOpml(std::string_view bytes, const std::string& source) {
    TXMLDocument document;
    try {
        document.Load(bytes);
    } catch (const EDOMParseError& e) {
        throw OpmlError("\"" + source + "\" is not an OPML file: " + e.what());
    }
    const IXMLNode root = document.DocumentElement();
    if (!root || root.LocalName() != "opml")
        throw OpmlError("\"" + source + "\" is not an OPML file: its root element is <" +
                        (root ? root.NodeName() : std::string()) + ">, not <opml>");
    std::vector<FeedEntry> feeds;
    if (const IXMLNode body = root.FindChild("body"))
        collectOutlines(body, feeds);
    return feeds;
}

ImportResult ImportFeeds(CatalogueEditor& editor, const std::vector<FeedEntry>& outlines) {
    ImportResult result;
    for (const FeedEntry& outline : outlines) {
        const std::vector<FeedEntry> current = editor.List();
        bool known = false;
        for (const FeedEntry& feed : current)
            known = known || feed.Address == outline.Address;
        if (known) {
            result.Skipped.push_back({outline, "already in the catalogue"});
            continue;
        }
        const std::string base = holdableName(outline);
        std::string name = base;
        for (int n = 2; nameTaken(current, name); ++n)
            name = base + " (" + std::to_string(n) + ")";
        try {
            editor.Add(name, outline.Address);
            result.Added.push_back({name, outline.Address});
        } catch (const CatalogueError& e) {
            result.Skipped.push_back({outline, e.what()});
        }
    }
    return result;
}

} // namespace zavrio
