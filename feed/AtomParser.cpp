#include "feed/AtomParser.h"

#include "feed/ParseHelpers.h"
#include "feed/SimpleRSS.h"

#include <array>
#include <exception>
#include <string_view>
#include <utility>

namespace zavrio {

void TSimpleParserAtom::Parse() {
    IXMLNode root = Owner().XMLFile().DocumentElement();
    IXMLNode container = root.FindChild("head");
    if (!container)
        container = root;

    const int count = container.ChildCount();
    for (int i = 0; i < count; ++i) {
        IXMLNode node = container.ChildAt(i);
        if (node.NodeType() == ntElement)
            readFeedLevel(node);
    }
    for (int i = 0; i < count; ++i) {
        IXMLNode node = container.ChildAt(i);
        if (node.NodeType() != ntElement)
            continue;
        if (node.NodeName() == "entry")
            Owner().ReadItem(node, [&](TRSSItem& item) { readEntry(node, item); });
        try {
            // Atom has its own words for the channel texts, so only the
            // vocabulary all formats share is read here.
            ReadChannelVocabulary(node, {});
        } catch (const std::exception&) {
            // A bad optional channel element costs only the rest of itself.
        }
    }
}

void TSimpleParserAtom::readFeedLevel(const IXMLNode& node) {
    const std::string name = node.NodeName();
    TRSSChannel& channel = Owner().Channel();
    if (name == "title") {
        if (auto value = ValueOf(node))
            channel.Required().SetTitle(*value);
    } else if (name == "link") {
        // Any "link" with an "href", even an empty one, replaces the one before.
        if (auto href = node.AttributeValue("href"))
            channel.Required().SetLink(*href);
    } else if (name == "tagline") {
        if (auto value = ValueOf(node))
            channel.Required().SetDesc(*value);
    } else if (name == "generator") {
        if (auto value = ValueOf(node))
            channel.Optional().SetGenerator(*value);
    } else if (name == "modified") {
        if (auto value = ValueOf(node))
            channel.Optional().PubDate().LoadFromISO8601(*value);
    }
}

namespace {

// The parts an entry may have, found in one walk over its children. Reading
// texts adds no elements, so these stay the first matches throughout.
enum EntryPart {
    Title,
    Link,
    Content,
    Summary,
    Author,
    Comments,
    Modified,
    Enclosure,
    Id,
    PubDate,
    Source,
    EntryPartCount
};
constexpr std::array<std::string_view, EntryPartCount> EntryPartNames = {
    "title",    "link",      "content", "summary", "author", "comments",
    "modified", "enclosure", "id",      "pubDate", "source"};

} // namespace

void TSimpleParserAtom::readEntry(const IXMLNode& node, TRSSItem& item) {
    ReadItemMedia(node, item);
    std::array<IXMLNode, EntryPartCount> part;
    node.FindChildren(EntryPartNames, part);
    if (auto title = ValueOf(part[Title]))
        item.SetTitle(std::move(*title));
    if (const IXMLNode& link = part[Link])
        if (auto href = link.AttributeValue("href"))
            item.SetLink(std::move(*href));

    IXMLNode content = part[Content] ? part[Content] : part[Summary];
    if (content) {
        if (auto description = DescriptionValue(content))
            item.SetDescription(std::move(*description));
        // Decodes what Description holds even when this element gave nothing.
        if (content.AttributeValue("mode") == "base64")
            item.SetDescription(DecodeContent(0, item.Description()));
    }

    if (const IXMLNode& author = part[Author]) {
        if (auto name = ChildValue(author, "name"))
            item.Author().SetName(std::move(*name));
        if (auto email = ChildValue(author, "email"))
            item.Author().SetEMail(std::move(*email));
        if (auto url = ChildValue(author, "url"))
            item.Author().SetURL(std::move(*url));
    }
    if (auto comments = ValueOf(part[Comments]))
        item.SetComments(std::move(*comments));
    try {
        readGuardedEntryParts(node, part, item);
    } catch (const std::exception&) {
        // A bad date, enclosure, id, source or category costs only the rest of
        // this entry's optional parts.
    }
}

void TSimpleParserAtom::readGuardedEntryParts(const IXMLNode& node, std::span<const IXMLNode> part,
                                              TRSSItem& item) {
    if (auto date = ValueOf(part[Modified]))
        item.PubDate().LoadFromISO8601(*date);
    if (const IXMLNode& enclosure = part[Enclosure])
        ReadEnclosure(enclosure, item);
    if (auto id = ValueOf(part[Id])) {
        item.GUID().SetInclude(true);
        item.GUID().SetGUID(std::move(*id));
    }
    if (auto date = ValueOf(part[PubDate]))
        item.PubDate().LoadFromRFC822(*date);
    if (const IXMLNode& source = part[Source])
        ReadSource(source, item);
    ReadItemCategories(node, item, false);
}

} // namespace zavrio
