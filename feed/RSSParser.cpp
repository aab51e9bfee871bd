#include "feed/RSSParser.h"

#include "feed/ParseHelpers.h"
#include "feed/SimpleRSS.h"
#include "feed/SimpleRSSException.h"

#include <array>
#include <exception>
#include <string_view>
#include <utility>

namespace zavrio {

void TSimpleParserRSS::Parse() {
    IXMLNode channel = Owner().XMLFile().DocumentElement().ChildByName("channel");
    if (!channel.FindChild("item") && !channel.FindChild("category"))
        return;

    const int count = channel.ChildCount();
    for (int i = 0; i < count; ++i) {
        IXMLNode node = channel.ChildAt(i);
        readChannelChild(node);
        try {
            readGuardedChannelChild(node);
        } catch (const std::exception&) {
            // A bad optional channel element costs only the rest of itself.
        }
    }
}

void TSimpleParserRSS::readChannelChild(const IXMLNode& node) {
    if (node.NodeType() != ntElement)
        return;
    const std::string name = node.NodeName();
    TRSSChannel& channel = Owner().Channel();
    if (name == "category") {
        TRSSChannelCategory& category = channel.Optional().Categories().Add();
        if (auto value = ValueOf(node))
            category.SetCategory(*value);
        if (auto domain = AttributeNodeValue(node, "domain"))
            category.SetDomain(*domain);
    } else if (name == "item") {
        readItem(node, Owner().Items().Add());
    } else if (name == "title") {
        if (auto value = ValueOf(node))
            channel.Required().SetTitle(*value);
    } else if (name == "link") {
        if (auto value = ValueOf(node))
            channel.Required().SetLink(*value);
    } else if (name == "description") {
        if (auto value = ValueOf(node))
            channel.Required().SetDesc(*value);
    }
}

void TSimpleParserRSS::readItem(const IXMLNode& node, TRSSItem& item) {
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
    if (const IXMLNode& guid = part[GUID]) {
        item.GUID().SetInclude(true);
        if (auto value = ValueOf(guid))
            item.GUID().SetGUID(std::move(*value));
        if (auto permaLink = AttributeNodeValue(guid, "isPermaLink"))
            item.GUID().SetIsPermaLink(*permaLink == "true");
    }
    if (auto date = ValueOf(part[PubDate]))
        item.PubDate().LoadFromRFC822(*date);
    if (const IXMLNode& source = part[Source])
        ReadSource(source, item);
    ReadItemCategories(node, item, false);
}

void TSimpleParserRSS::readGuardedChannelChild(const IXMLNode& node) {
    if (node.NodeType() != ntElement)
        return;
    const std::string name = node.NodeName();
    TRSSChannelOpt& optional = Owner().Channel().Optional();
    if (name == "language") {
        auto code = ValueOf(node);
        if (code)
            optional.SetLanguage(LanguageFromCode(*code));
        if (optional.Language() == langX) {
            if (code)
                optional.SetXLang(*code);
        } else {
            optional.SetXLang("");
        }
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
            if (auto value = AddedAttributeValue(node, "domain"))
                cloud.SetDomain(*value);
            if (auto value = AddedAttributeValue(node, "port"))
                cloud.SetPort(Integer(*value));
            if (auto value = AddedAttributeValue(node, "path"))
                cloud.SetPath(*value);
            if (auto value = AddedAttributeValue(node, "registerProcedure"))
                cloud.SetRegisterProcedure(*value);
            if (auto value = AddedAttributeValue(node, "protocol"))
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
        try {
            ReadSkipHours(node, Owner());
        } catch (const std::exception&) {
            // The hours read before the failure stay set.
        }
    } else if (name == "skipDays") {
        try {
            ReadSkipDays(node, Owner());
        } catch (const std::exception&) {
            // The days read before the failure stay set.
        }
    }
}

} // namespace zavrio
