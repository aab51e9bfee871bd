#include "feed/RDFParser.h"

#include "feed/ParseHelpers.h"
#include "feed/SimpleRSS.h"

#include <array>
#include <exception>
#include <string_view>
#include <utility>

namespace zavrio {

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
            TRSSChannelCategory& category = Owner().Channel().Optional().Categories().Add();
            if (auto value = ValueOf(node))
                category.SetCategory(*value);
            if (auto domain = AttributeNodeValue(node, "domain"))
                category.SetDomain(*domain);
        } else if (name == "item") {
            readItem(node, Owner().Items().Add());
        }
        readRequiredText(node);
        try {
            readChannelVocabulary(node);
        } catch (const std::exception&) {
            // A bad optional channel element costs only the rest of itself.
        }
    }
}

void TSimpleParserRDF::readChannel(const IXMLNode& channel) {
    const int count = channel.ChildCount();
    for (int i = 0; i < count; ++i) {
        IXMLNode child = channel.ChildAt(i);
        if (child.NodeType() == ntElement)
            readRequiredText(child);
    }
}

// "title", "link" and "description" set the channel's texts both inside
// "channel" and at the root level.
void TSimpleParserRDF::readRequiredText(const IXMLNode& node) {
    const std::string name = node.NodeName();
    TRSSChannelReq& required = Owner().Channel().Required();
    if (name == "title") {
        if (auto value = ValueOf(node))
            required.SetTitle(*value);
    } else if (name == "link") {
        if (auto value = ValueOf(node))
            required.SetLink(*value);
    } else if (name == "description") {
        if (auto value = ValueOf(node))
            required.SetDesc(*value);
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
    if (auto guid = ValueOf(part[GUID])) {
        item.GUID().SetInclude(true);
        item.GUID().SetGUID(std::move(*guid));
        if (auto permaLink = AttributeNodeValue(part[GUID], "isPermaLink"))
            item.GUID().SetIsPermaLink(*permaLink == "true");
    }
    if (auto date = ValueOf(part[PubDate]))
        item.PubDate().LoadFromRFC822(*date);
    if (const IXMLNode& source = part[Source])
        ReadSource(source, item);
    // Dublin Core subjects are this format's categories.
    ReadItemCategories(node, item, true);
}

void TSimpleParserRDF::readChannelVocabulary(const IXMLNode& node) {
    const std::string name = node.NodeName();
    TRSSChannelOpt& optional = Owner().Channel().Optional();
    if (name == "language") {
        auto code = ValueOf(node);
        if (code)
            optional.SetLanguage(LanguageFromCode(*code));
        // A known language leaves XLang as it was.
        if (optional.Language() == langX)
            optional.SetXLang(code.value_or(""));
    } else if (name == "copyright") {
        if (auto value = ValueOf(node))
            optional.SetCopyright(*value);
    } else if (name == "managingEditor") {
        if (auto value = ValueOf(node))
            optional.SetManagingEditor(*value);
    } else if (name == "webMaster") {
        if (auto value = ValueOf(node))
            optional.SetWebMaster(*value);
    } else if (name == "pubDate") {
        if (auto value = ValueOf(node))
            optional.PubDate().LoadFromRFC822(*value);
    } else if (name == "lastBuildDate") {
        if (auto value = ValueOf(node))
            optional.LastBuildDate().LoadFromRFC822(*value);
    } else if (name == "generator") {
        if (auto value = ValueOf(node))
            optional.SetGenerator(*value);
    } else if (name == "docs") {
        if (auto value = ValueOf(node))
            optional.SetDocs(*value);
    } else if (name == "cloud") {
        TRSSCloud& cloud = optional.Cloud();
        cloud.SetInclude(node.AttributeCount() > 0);
        if (cloud.Include()) {
            if (auto value = AttributeNodeValue(node, "domain"))
                cloud.SetDomain(*value);
            if (auto value = AttributeNodeValue(node, "port"))
                cloud.SetPort(Integer(*value));
            if (auto value = AttributeNodeValue(node, "path"))
                cloud.SetPath(*value);
            if (auto value = AttributeNodeValue(node, "registerProcedure"))
                cloud.SetRegisterProcedure(*value);
            if (auto value = AttributeNodeValue(node, "protocol"))
                cloud.SetProtocol(*value);
        }
    } else if (name == "ttl") {
        if (auto value = ValueOf(node))
            optional.SetTTL(Integer(*value));
    } else if (name == "image") {
        TRSSImage& image = optional.Image();
        image.SetInclude(node.ChildCount() > 0);
        if (image.Include()) {
            if (auto value = ChildValue(node, "url"))
                image.Required().SetURL(*value);
            if (auto value = ChildValue(node, "title"))
                image.Required().SetTitle(*value);
            if (auto value = ChildValue(node, "link"))
                image.Required().SetLink(*value);
            if (auto value = ChildValue(node, "description"))
                image.Optional().SetDescription(*value);
            if (auto value = ChildValue(node, "width"))
                image.Optional().SetWidth(Integer(*value));
            if (auto value = ChildValue(node, "height"))
                image.Optional().SetHeight(Integer(*value));
        }
    } else if (name == "rating") {
        if (auto value = ValueOf(node))
            optional.SetRating(*value);
    } else if (name == "textInput") {
        TRSSTextInput& input = optional.TextInput();
        input.SetInclude(node.ChildCount() > 0);
        if (input.Include()) {
            if (auto value = ChildValue(node, "title"))
                input.SetTitle(*value);
            if (auto value = ChildValue(node, "description"))
                input.SetDescription(*value);
            if (auto value = ChildValue(node, "link"))
                input.SetLink(*value);
            if (auto value = ChildValue(node, "name"))
                input.SetTextInputName(*value);
        }
    } else if (name == "skipHours") {
        ReadSkipHours(node, Owner());
    } else if (name == "skipDays") {
        ReadSkipDays(node, Owner());
    }
}

} // namespace zavrio
