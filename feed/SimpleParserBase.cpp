#include "feed/SimpleParserBase.h"

#include "feed/IntegerText.h"

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

} // namespace zavrio
