#include "feed/RSSParser.h"

#include "feed/SimpleRSS.h"
#include "feed/SimpleRSSException.h"

#include <array>
#include <exception>
#include <string_view>
#include <utility>

namespace zavrio {

bool TSimpleParserRSS::ReadsAsItem(const IXMLNode& element) const {
    return InWalkedRSSChannel(element);
}

void TSimpleParserRSS::Parse() {
    WalkRSSChannel([this](const IXMLNode& node) {
        readChannelChild(node);
        try {
            readGuardedChannelChild(node);
        } catch (const std::exception&) {
            // A bad optional channel element costs only the rest of itself.
        }
    });
}

void TSimpleParserRSS::readChannelChild(const IXMLNode& node) {
    if (node.NodeType() != ntElement)
        return;
    const std::string name = node.NodeName();
    if (name == "category")
        ReadChannelCategory(node);
    else if (name == "item")
        Owner().ReadItem(node, [&](TRSSItem& item) { readItem(node, item); });
    else
        ReadRequiredChannelText(node, name);
}

void TSimpleParserRSS::readItem(const IXMLNode& node, TRSSItem& item) {
    ReadItemMedia(node, item);
    // The parts an item may have, found in one walk. Reading texts adds no
    // elements, so these stay the first matches throughout.
    enum Part {
        Title,
        Description,
        Link,
        Content,
        ContentEncoded,
        Author,
        Comments,
        DCDate,
        Enclosure,
        GUID,
        PubDate,
        Source,
        PartCount
    };
    static constexpr std::array<std::string_view, PartCount> PartNames = {
        "title",    "description", "link",      "content", "content:encoded", "author",
        "comments", "dc:date",     "enclosure", "guid",    "pubDate",         "source"};
    std::array<IXMLNode, PartCount> part;
    node.FindChildren(PartNames, part);

    if (!part[Title] && !part[Description])
        throw ESimpleRSSException(std::string("Required Field Missing. Field: ") + "item" + " -> " +
                                  "title");
    if (auto value = ValueOf(part[Title]))
        item.SetTitle(std::move(*value));
    if (auto link = ValueOf(part[Link]))
        item.SetLink(std::move(*link));
    // Later sources win: "description" over "content:encoded" over "content".
    for (Part source : {Content, ContentEncoded, Description})
        if (auto value = DescriptionValue(part[source]))
            item.SetDescription(std::move(*value));
    if (auto author = ValueOf(part[Author]))
        item.Author().SetName(std::move(*author));
    if (auto comments = ValueOf(part[Comments]))
        item.SetComments(std::move(*comments));
    if (auto date = ValueOf(part[DCDate]))
        item.PubDate().LoadFromISO8601(*date);

    if (const IXMLNode& enclosure = part[Enclosure])
        ReadEnclosure(enclosure, item);
    if (const IXMLNode& guid = part[GUID])
        ReadGUID(guid, item, false);
    if (auto date = ValueOf(part[PubDate]))
        item.PubDate().LoadFromRFC822(*date);
    if (const IXMLNode& source = part[Source])
        ReadSource(source, item);
    ReadItemCategories(node, item, false);
}

void TSimpleParserRSS::readGuardedChannelChild(const IXMLNode& node) {
    if (node.NodeType() != ntElement)
        return;
    ReadChannelVocabulary(
        node, {.RSSXLang = true, .ChannelTexts = true, .CloudAttribute = &AddedAttributeValue});
}

} // namespace zavrio
