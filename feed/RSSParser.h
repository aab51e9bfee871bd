#pragma once
// TSimpleParserRSS: reads an RSS 0.9x / 2.0 document (root "rss" without an
// "itunes" attribute) into the feed model.
//
// The channel's children are walked once, in document order. Categories,
// items and the channel's title, link and description are read unguarded:
// a failure there (an item with neither title nor description, markup inside
// a text element, an enclosure length that is not a number) ends the parse,
// leaving the items read so far, and the failing item as far as it got, in
// the model. The other channel elements are read inside a guard: a failure
// only skips the rest of that element.
//
// Besides RSS 2.0 an item's "dc:date", "content" and "content:encoded" are
// read. A channel without any "item" or "category" child is not read at all.

#include "feed/SimpleParserBase.h"

namespace zavrio {

class TRSSItem;

class TSimpleParserRSS : public TSimpleParserBase {
public:
    using TSimpleParserBase::TSimpleParserBase;

    void Parse() override;
    bool ReadsAsItem(const IXMLNode& element) const override;
    void ReadItemElement(const IXMLNode& element, TRSSItem& item) override {
        readItem(element, item);
    }

private:
    void readChannelChild(const IXMLNode& node);
    void readGuardedChannelChild(const IXMLNode& node);
    void readItem(const IXMLNode& node, TRSSItem& item);
};

} // namespace zavrio
