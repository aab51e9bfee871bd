#include "feed/RDFParser.h"

#include "feed/SimpleRSS.h"

#include <array>
#include <exception>
#include <string_view>
#include <utility>

namespace zavrio {

bool TSimpleParserRDF::ReadsAsItem(const IXMLNode& element) const {
    // Parse reads every "item" child of the document element.
    const IXMLNode parent = element.ParentNode();
    return element.NodeType() == ntElement && element.NodeName() == "item" && parent &&
           !parent.ParentNode();
}

void TSimpleParserRDF::Parse() {
    IXMLNode root = Owner().XMLFile().DocumentElement();
    const int count = root.ChildCount();
    for (int i = 0; i < count; ++i) {
        IXMLNode node = root.ChildAt(i);
        if (node.NodeType() != ntElement)
            continue;
        const std::string name = node.NodeName();
        if (name == "channel") {
            readChannel(node);
        } else if (name == "category") {
            ReadChannelCategory(node);
        } else if (name == "item") {
            Owner().ReadItem(node, [&](TRSSItem& item) { readItem(node, item); });
        }
        ReadRequiredChannelText(node, name);
        try {
            ReadChannelVocabulary(node,
                                  {.ChannelTexts = true, .CloudAttribute = &AttributeNodeValue});
        } catch (const std::exception&) {
            // A bad optional channel element costs only the rest of itself.
        }
    }
}

// "title", "link" and "description" set the channel's texts both inside
// "channel" and at the root level.
void TSimpleParserRDF::readChannel(const IXMLNode& channel) {
    const int count = channel.ChildCount();
    for (int i = 0; i < count; ++i) {
        IXMLNode child = channel.ChildAt(i);
        if (child.NodeType() == ntElement)
            ReadRequiredChannelText(child, child.NodeName());
    }
}

namespace {

// The parts an item may have, found in one walk over its children. Reading
// texts adds no elements, so these stay the first matches throughout.
enum ItemPart {
    Title,
    Link,
    Description,
    Author,
    Comments,
    DCDate,
    Enclosure,
    GUID,
    PubDate,
    Source,
    ItemPartCount
};
constexpr std::array<std::string_view, ItemPartCount> ItemPartNames = {
    "title",   "link",      "description", "author",  "comments",
    "dc:date", "enclosure", "guid",        "pubDate", "source"};

} // namespace

void TSimpleParserRDF::readItem(const IXMLNode& node, TRSSItem& item) {
    ReadItemMedia(node, item);
    std::array<IXMLNode, ItemPartCount> part;
    node.FindChildren(ItemPartNames, part);
    if (auto title = ValueOf(part[Title]))
        item.SetTitle(std::move(*title));
    if (auto link = ValueOf(part[Link]))
        item.SetLink(std::move(*link));
    if (auto description = ValueOf(part[Description]))
        item.SetDescription(std::move(*description));
    if (auto author = ValueOf(part[Author]))
        item.Author().SetName(std::move(*author));
    if (auto comments = ValueOf(part[Comments]))
        item.SetComments(std::move(*comments));
    try {
        readGuardedItemParts(node, part, item);
    } catch (const std::exception&) {
        // A bad date, enclosure, guid, source or category costs only the rest
        // of this item's optional parts.
    }
}

void TSimpleParserRDF::readGuardedItemParts(const IXMLNode& node, std::span<const IXMLNode> part,
                                            TRSSItem& item) {
    if (auto date = ValueOf(part[DCDate]))
        item.PubDate().LoadFromISO8601(*date);
    if (const IXMLNode& enclosure = part[Enclosure])
        ReadEnclosure(enclosure, item);
    // A guid without text says nothing, whatever its attribute holds.
    if (part[GUID])
        ReadGUID(part[GUID], item, true);
    if (auto date = ValueOf(part[PubDate]))
        item.PubDate().LoadFromRFC822(*date);
    if (const IXMLNode& source = part[Source])
        ReadSource(source, item);
    // Dublin Core subjects are this format's categories.
    ReadItemCategories(node, item, true);
}

} // namespace zavrio
