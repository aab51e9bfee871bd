#pragma once
// TSimpleParseriTunes: reads an RSS 2.0 podcast document (root "rss" carrying
// an "itunes" attribute) into the feed model, "itunes:" elements included.
//
// The walk is the RSS one: the "channel" element, nothing read when it has
// neither an "item" nor a "category" child, one pass over its children with
// the same target fields. Unlike RSS the reading is strict:
// - every element or attribute on the path must hold a value: an empty one
//   (or one that a lookup appended, such as the empty "pubDate" the loader's
//   pre-read adds to a channel without one) throws EVariantTypeCastError
//   "Could not convert variant of type (Null) into type (String)", or
//   "(Integer)" for numbers;
// - nothing is guarded: the first failure ends the parse, leaving the items
//   read so far, and the failing item as far as it got, in the model;
// - missing required parts throw ESimpleRSSException
//   "Required Field Missing. Field: <parent> -> <field>" for item/title,
//   enclosure/url, enclosure/length, enclosure/type, source/url, image/url,
//   image/title, image/link and textInput/title, /description, /name, /link;
// - markup inside a text element throws EXMLDocError, and a number that is
//   not one ConvertError.
//
// The "itunes:" elements fill Channel().iTunes() and each item's iTunes();
// both Block flags start False and any "itunes:block" sets them. An
// "itunes:category" gives its "text" attribute as the category and, when it
// holds exactly one nested "itunes:category", that one's "text" as the
// subcategory; in an item it is not also an RSS category. A "guid" without
// "isPermaLink" is a permalink. "itunes:duration" is not read.

#include "feed/SimpleParserBase.h"

#include <stdexcept>
#include <string>

namespace zavrio {

class TRSSItem;
class TiTunesCategory;

// A value that is Null where text or a number was required.
class EVariantTypeCastError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TSimpleParseriTunes : public TSimpleParserBase {
public:
    using TSimpleParserBase::TSimpleParserBase;

    void Parse() override;
    bool ReadsAsItem(const IXMLNode& element) const override;
    void ReadItemElement(const IXMLNode& element, TRSSItem& item) override {
        readItem(element, item);
    }

private:
    void readChannelChild(const IXMLNode& node);
    void readItem(const IXMLNode& node, TRSSItem& item);

    // The node's text; Null throws EVariantTypeCastError.
    static std::string TextOf(const IXMLNode& node);
    // The node's text as an integer; Null throws EVariantTypeCastError.
    static int IntegerOf(const IXMLNode& node);
    // Text of element's first child node when it has any (a description
    // written as one CDATA section), else of element itself.
    static std::string DescriptionText(const IXMLNode& element);
    static void readCategory(const IXMLNode& element, TiTunesCategory& category);
    // Throw the required-field failure when element lacks that child or
    // attribute.
    static void requireChild(const IXMLNode& element, const char* parent, const char* name);
    static void requireAttribute(const IXMLNode& element, const char* parent, const char* name);
};

} // namespace zavrio
