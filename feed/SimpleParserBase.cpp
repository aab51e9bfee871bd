#include "feed/SimpleParserBase.h"

#include "feed/IntegerText.h"
#include "feed/ParseHelpers.h"
#include "feed/SimpleRSS.h"

#include <utility>

namespace zavrio {

XMLValue TSimpleParserBase::ValueOf(const IXMLNode& node) {
    if (!node)
        return std::nullopt;
    return node.TextValue();
}

XMLValue TSimpleParserBase::ChildValue(const IXMLNode& element, std::string_view name) {
    return ValueOf(element.FindChild(name));
}

XMLValue TSimpleParserBase::AttributeNodeValue(const IXMLNode& element, std::string_view name) {
    IXMLNode attribute = element.FindAttribute(name);
    if (!attribute)
        return std::nullopt;
    return attribute.TextValue();
}

XMLValue TSimpleParserBase::AddedAttributeValue(const IXMLNode& element, std::string_view name) {
    return element.AttributeByName(name).TextValue();
}

XMLValue TSimpleParserBase::DescriptionValue(const IXMLNode& element) {
    if (!element)
        return std::nullopt;
    if (element.ChildCount() > 0)
        return element.ChildAt(0).TextValue();
    return element.TextValue();
}

std::int32_t TSimpleParserBase::Integer(const std::string& value) {
    return FeedStrToInt(value);
}

IXMLNode TSimpleParserBase::readableRSSChannel() const {
    IXMLNode channel = Owner().XMLFile().DocumentElement().ChildByName("channel");
    if (!channel.FindChild("item") && !channel.FindChild("category"))
        return {};
    return channel;
}

void TSimpleParserBase::ReadChannelCategory(const IXMLNode& node) {
    TRSSChannelCategory& category = Owner().Channel().Optional().Categories().Add();
    if (auto value = ValueOf(node))
        category.SetCategory(*value);
    if (auto domain = AttributeNodeValue(node, "domain"))
        category.SetDomain(*domain);
}

bool TSimpleParserBase::ReadRequiredChannelText(const IXMLNode& node, const std::string& name) {
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
    } else {
        return false;
    }
    return true;
}

void TSimpleParserBase::ReadChannelVocabulary(const IXMLNode& node,
                                              const ChannelVocabulary& vocabulary) {
    const std::string name = node.NodeName();
    TRSSChannelOpt& optional = Owner().Channel().Optional();
    if (name == "language") {
        auto code = ValueOf(node);
        if (code)
            optional.SetLanguage(LanguageFromCode(*code));
        if (vocabulary.RSSXLang) {
            if (optional.Language() != langX)
                optional.SetXLang("");
            else if (code)
                optional.SetXLang(*code);
        } else if (optional.Language() == langX) {
            optional.SetXLang(code.value_or(""));
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
    } else if (name == "cloud" && vocabulary.CloudAttribute) {
        const AttributeReader attribute = vocabulary.CloudAttribute;
        TRSSCloud& cloud = optional.Cloud();
        cloud.SetInclude(node.AttributeCount() > 0);
        if (cloud.Include()) {
            if (auto value = attribute(node, "domain"))
                cloud.SetDomain(*value);
            if (auto value = attribute(node, "port"))
                cloud.SetPort(Integer(*value));
            if (auto value = attribute(node, "path"))
                cloud.SetPath(*value);
            if (auto value = attribute(node, "registerProcedure"))
                cloud.SetRegisterProcedure(*value);
            if (auto value = attribute(node, "protocol"))
                cloud.SetProtocol(*value);
        }
    } else if (vocabulary.ChannelTexts) {
        readChannelTexts(node, name, optional);
    }
}

void TSimpleParserBase::readChannelTexts(const IXMLNode& node, const std::string& name,
                                         TRSSChannelOpt& optional) {
    if (name == "copyright") {
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
    }
}

void TSimpleParserBase::ReadEnclosure(const IXMLNode& enclosure, TRSSItem& item) {
    if (auto url = AttributeNodeValue(enclosure, "url"))
        item.Enclosure().SetURL(std::move(*url));
    if (auto length = AttributeNodeValue(enclosure, "length"))
        item.Enclosure().SetLength(Integer(*length));
    if (auto type = AttributeNodeValue(enclosure, "type"))
        item.Enclosure().SetEnclosureType(std::move(*type));
    item.Enclosure().SetInclude(true);
}

void TSimpleParserBase::ReadSource(const IXMLNode& source, TRSSItem& item) {
    item.Source().SetInclude(true);
    if (auto title = ValueOf(source))
        item.Source().SetTitle(std::move(*title));
    if (auto url = AttributeNodeValue(source, "url"))
        item.Source().SetURL(std::move(*url));
}

void TSimpleParserBase::ReadItemCategories(const IXMLNode& node, TRSSItem& item,
                                           bool withSubjects) {
    const int count = node.ChildCount();
    for (int i = 0; i < count; ++i) {
        IXMLNode child = node.ChildAt(i);
        if (!child.HasLocalName("category") && !(withSubjects && child.HasLocalName("subject")))
            continue;
        TRSSItemCategory& category = item.Categories().Add();
        if (auto title = ValueOf(child))
            category.SetTitle(std::move(*title));
        if (auto domain = AttributeNodeValue(child, "domain"))
            category.SetDomain(std::move(*domain));
    }
}

} // namespace zavrio
