#include "feed/SimpleParserBase.h"

#include "feed/IntegerText.h"
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
        const std::string local = child.LocalName();
        if (local != "category" && !(withSubjects && local == "subject"))
            continue;
        TRSSItemCategory& category = item.Categories().Add();
        if (auto title = ValueOf(child))
            category.SetTitle(std::move(*title));
        if (auto domain = AttributeNodeValue(child, "domain"))
            category.SetDomain(std::move(*domain));
    }
}

} // namespace zavrio
